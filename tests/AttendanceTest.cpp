// Attendance counts stations, not spellings of their calls, and only nets that were kept.
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"
#include "report/NetExport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
constexpr std::int64_t day = 24LL * 3600 * 1000;
constexpr std::int64_t firstNet = 1'796'778'000'000; // 2026-12-09 01:00 UTC

struct TestClock {
    std::int64_t now = firstNet;
    CheckInList::Clock fn()
    {
        return [this] { return now; };
    }
};

QStringList rows(const std::vector<Attendance>& stations)
{
    QStringList out;
    for (const Attendance& a : stations)
        out << QStringLiteral("%1 %2 %3").arg(a.call, a.name).arg(a.nets);
    return out;
}
} // namespace

TEST(Attendance, OneStationWhateverItsSourceItsPaddingAndItsLetterCase)
{
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    // W1AW from the FCC file, then typed, then as a new station in small letters; N0NEW is a
    // new station twice; K5ALL comes from the roster to every net.
    const std::vector<std::pair<CheckInFields, CheckInSource>> nets[] = {
        { { { "  W1AW", "PERCY", "NEWINGTON", "CT" }, CheckInSource::Fcc },
            { { "K5ALL", "Al", "", "" }, CheckInSource::Roster } },
        { { { "W1AW", "Percy", "", "" }, CheckInSource::Manual },
            { { "K5ALL", "Al", "", "" }, CheckInSource::Roster },
            { { "N0NEW", "", "", "" }, CheckInSource::Manual } },
        { { { "w1aw ", "Hiram", "", "" }, CheckInSource::Manual },
            { { "K5ALL", "Al", "", "" }, CheckInSource::Roster },
            { { "n0new", "", "", "" }, CheckInSource::Manual } },
    };
    TestClock clock;
    for (const auto& net : nets) {
        CheckInList list(&journal, clock.fn());
        list.addDateLine(QStringLiteral("a net"));
        for (const auto& [fields, source] : net)
            list.addCheckIn(fields, source);
        list.markSaved();
        clock.now += 7 * day;
    }
    for (const char* call : { "W1AW", "  W1AW", "w1aw" }) {
        const auto r = journal.recentAttendance(QString::fromLatin1(call), 10);
        EXPECT_EQ(r.nets, 3) << call;
        EXPECT_EQ(r.outOf, 3) << call;
        EXPECT_EQ(r.lastUtcMs, firstNet + 14 * day) << call;
    }
    EXPECT_EQ(attendanceNote(journal.recentAttendance(QStringLiteral("N0NEW"), 10), QTimeZone::utc()),
        "2 of last 3 nets, last 2026-12-23");
    EXPECT_EQ(journal.recentAttendance(QStringLiteral("   "), 10).nets, 0);
    // One row per station, under its call alone, with the latest name it was given.
    EXPECT_EQ(rows(journal.attendance(firstNet, firstNet + 30 * day)),
        (QStringList { "K5ALL Al 3", "N0NEW  2", "W1AW Hiram 3" }));
}

TEST(Attendance, DiscardedNetsAreNoAttendance)
{
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    TestClock clock;
    const auto net = [&](const QString& call) {
        auto list = std::make_unique<CheckInList>(&journal, clock.fn());
        list->addDateLine(QStringLiteral("a net"));
        list->addCheckIn({ QStringLiteral("K5ALL"), "Al", "", "" }, CheckInSource::Roster);
        list->addCheckIn({ call, "", "", "" }, CheckInSource::Manual);
        clock.now += day;
        return list;
    };
    net(QStringLiteral("K5SAVED"))->markSaved();
    net(QStringLiteral("K5GONE"))->markDiscarded(); // thrown away at the close
    const auto open = net(QStringLiteral("K5OPEN")); // still on the list: it counts

    const auto all = journal.recentAttendance(QStringLiteral("K5ALL"), 10);
    EXPECT_EQ(all.nets, 2);
    EXPECT_EQ(all.outOf, 2);
    EXPECT_EQ(journal.recentAttendance(QStringLiteral("K5GONE"), 10).nets, 0);
    EXPECT_EQ(journal.recentAttendance(QStringLiteral("K5GONE"), 10).lastUtcMs, 0);
    EXPECT_EQ(journal.recentAttendance(QStringLiteral("K5OPEN"), 10).nets, 1);
    EXPECT_EQ(rows(journal.attendance(firstNet, firstNet + 10 * day)),
        (QStringList { "K5ALL Al 2", "K5OPEN  1", "K5SAVED  1" }));
}

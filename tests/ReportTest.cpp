// The net's record as the club secretary gets it: statuses, the CSV files read back by an
// independent CSV reader, the printed report and attendance over many nets.
#include "checkin/CheckInList.h"
#include "checkin/CheckInStatus.h"
#include "journal/NetJournal.h"
#include "report/NetExport.h"
#include "report/NetReport.h"
#include "report/NetSummary.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

namespace {
constexpr std::int64_t minute = 60'000;
constexpr std::int64_t day = 24 * 60 * minute;
// 2026-12-09 01:00:00 UTC, which is 19:00 of 2026-12-08 in Chicago.
constexpr std::int64_t netStart = 1'796'778'000'000;

struct TestClock {
    std::int64_t now = netStart;
    CheckInList::Clock fn()
    {
        return [this] { return now; };
    }
};

// For the CSV tests, which read their files back with Python (not built for Windows).
#ifndef _WIN32
const QString python = QStringLiteral("/usr/bin/python3");

// Rows of a CSV file as Python's csv module reads it.
QJsonArray readWithPython(const QString& file)
{
    QProcess p;
    p.start(python,
        { QStringLiteral("-c"),
            QStringLiteral("import csv, json, sys\n"
                           "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                           "    json.dump(list(csv.reader(f, strict=True)), sys.stdout)\n"),
            file });
    if (!p.waitForFinished(20'000) || p.exitCode() != 0) {
        ADD_FAILURE() << "python could not read the file: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
}

QStringList strings(const QJsonValue& row)
{
    QStringList out;
    for (const QJsonValue& v : row.toArray())
        out << v.toString();
    return out;
}

bool writeFile(const QString& name, const QByteArray& data)
{
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// True when every line break outside quotes is CR LF.
bool recordsEndWithCrLf(const QByteArray& csv)
{
    bool quoted = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        if (csv[i] == '"')
            quoted = !quoted;
        else if (!quoted && csv[i] == '\n' && (i == 0 || csv[i - 1] != '\r'))
            return false;
        else if (!quoted && csv[i] == '\r' && (i + 1 == csv.size() || csv[i + 1] != '\n'))
            return false;
    }
    return !quoted && csv.endsWith("\r\n");
}
#endif

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30'000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Pages of a PDF as poppler counts them, or -1 without poppler.
int popplerPages(const QString& pdf)
{
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdfinfo.isEmpty())
        return -1;
    const auto m
        = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
              .match(run(pdfinfo, { pdf }));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// Page objects in the file itself, as a check beside poppler's.
int pageObjects(const QString& pdf)
{
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return int(
        QString::fromLatin1(f.readAll()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
}

// A net of n stations on the list, with statuses and an identification every 20 check-ins.
std::vector<JournalEntry> makeNet(CheckInList& list, TestClock& clock, int n)
{
    list.addDateLine(QStringLiteral("12/8/26"));
    for (int i = 1; i <= n; ++i) {
        clock.now += 30'000;
        const QString call = QStringLiteral("W%1X").arg(i, 3, 10, QLatin1Char('0'));
        const QString names[] = { "Bill & Carol", "Ann", "Jim", "Mary Lou" };
        const QString cities[] = { "Quartzsite", "Yuma", "Lake Havasu City", "Ajo" };
        const QString name = i == 7 ? QStringLiteral("Zoë Łój") : names[i % 4];
        list.addCheckIn({ call, name, cities[i % 4], QStringLiteral("AZ") }, CheckInSource::Roster);
        const auto statuses = checkInStatuses();
        list.setStatus(list.size() - 1, statuses[std::size_t(i) % statuses.size()].code);
        if (i % 20 == 0)
            list.markIdentified();
    }
    return currentNet(list);
}
} // namespace

TEST(ReportStatus, EveryStatusIsFoundByItsCodeAndByItsAltKey)
{
    QStringList codes, labels, keys;
    std::set<unsigned> colours;
    for (const CheckInStatus& s : checkInStatuses()) {
        codes << s.code;
        labels << s.label;
        keys << s.key;
        colours.insert(s.rgb);
        EXPECT_EQ(statusByCode(s.code), &s);
        EXPECT_EQ(statusByKey(s.key), &s);
        EXPECT_EQ(statusByKey(s.key.toLower()), &s);
        EXPECT_LE(s.rgb, 0xffffffu);
    }
    EXPECT_EQ(codes, (QStringList { "R", "T", "M/S", "EB", "G", "OUT", "NH" }));
    EXPECT_EQ(keys, (QStringList { "R", "T", "M", "E", "G", "O", "N" }));
    EXPECT_EQ(labels.first(), "Relay (R)");
    EXPECT_EQ(colours.size(), 7u); // each tells itself apart on the list
    EXPECT_EQ(statusByCode(QStringLiteral("r")), nullptr); // codes are kept exactly
    EXPECT_EQ(statusByCode(QString()), nullptr);
    EXPECT_EQ(statusByKey(QLatin1Char('X')), nullptr);
    EXPECT_EQ(statusByKey(QLatin1Char('S')), nullptr); // M/S is set with M
}

TEST(ReportSummary, TheNetOnTheListIsTheOneOfTheLatestDateWithItsOwnIdentifications)
{
    TestClock clock;
    clock.now = netStart - day;
    CheckInList list(nullptr, clock.fn());
    list.addDateLine(QStringLiteral("12/7/26"));
    list.addCheckIn({ "K1OLD", "Old", "A", "TX" }, CheckInSource::Roster); // yesterday's net
    clock.now = netStart - 5 * minute;
    list.addDateLine(QStringLiteral("12/8/26"));
    list.markIdentified(); // the control station opens the net before anyone checks in
    clock.now = netStart;
    list.addCheckIn({ "K5A", "Ann", "Waco", "TX" }, CheckInSource::Roster);
    list.addDateLine(QStringLiteral("12/8/26")); // back from another page: the same net
    clock.now += 4 * minute;
    list.addCheckIn({ "K5B", "Bob", "Waco", "TX" }, CheckInSource::Fcc);
    list.setStatus(list.size() - 1, QStringLiteral("R"));
    clock.now += 4 * minute;
    list.addCheckIn({ "K5C", "Cy", "Waco", "TX" }, CheckInSource::Manual);
    list.setStatus(list.size() - 1, QStringLiteral("X?")); // a code this program does not know
    clock.now += 12 * minute;
    list.markIdentified();

    const NetSummary s = summarizeNet(list, QStringLiteral("K5NCS"));
    EXPECT_EQ(s.date, "12/8/26");
    EXPECT_EQ(s.netControl, "K5NCS");
    EXPECT_EQ(s.count, 3);
    EXPECT_EQ(s.startUtcMs, netStart);
    EXPECT_EQ(s.endUtcMs, netStart + 20 * minute); // the last identification
    EXPECT_EQ(durationText(s.durationMs()), "0:20:00");
    // The opening identification, the first check-in's and the last one; none of yesterday.
    EXPECT_EQ(s.identifications,
        (std::vector<std::int64_t> { netStart - 5 * minute, netStart, netStart + 20 * minute }));
    int sum = 0;
    QStringList shown;
    for (const StatusCount& c : s.byStatus) {
        sum += c.count;
        if (c.count)
            shown << QStringLiteral("%1=%2").arg(c.code).arg(c.count);
    }
    EXPECT_EQ(sum, s.count);
    EXPECT_EQ(shown, (QStringList { "R=1", "X?=1", "=1" }));
    EXPECT_EQ(s.byStatus.front().code, "R");
    EXPECT_EQ(summarizeNet(list, QString(), netStart + 90 * minute).durationMs(), 90 * minute);

    const NetSummary empty = summarizeNet(std::vector<JournalEntry> {}, {}, QString());
    EXPECT_EQ(empty.count, 0);
    EXPECT_EQ(empty.endUtcMs, 0);
    EXPECT_EQ(durationText(empty.durationMs()), "0:00:00");
}

// Not built for Windows: it reads the file back with Python's csv module, which runs on Linux.
#ifndef _WIN32
TEST(ReportCsv, AwkwardNamesComeThroughPythonsCsvReaderIntact)
{
    if (!QFileInfo::exists(python))
        GTEST_SKIP() << "no python3";
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    TestClock clock;
    CheckInList list(&journal, clock.fn());
    list.setOperator(QStringLiteral("K5NCS")); // every line says who logged it
    list.addDateLine(QStringLiteral("12/8/26"));
    const std::vector<CheckInFields> stations {
        { "K5A", "Smith, John", "Waco", "TX" },
        { "K5B", "Ann \"Sunny\" Lee", "O'Fallon", "MO" },
        { "K5C", "Two\nLines", "Crlf\r\nCity", "NM" },
        { "K5D", "José Müller Æøå 李", "Española", "NM" },
        { "K5E", "#1 fan", "", " " },
        { "K5F", "\"", ",", "\"\"" },
    };
    for (const CheckInFields& f : stations) {
        list.addCheckIn(f, CheckInSource::Spreadsheet);
        clock.now += 5 * minute;
    }
    list.setStatus(2, QStringLiteral("M/S"));
    list.addDateLine(QStringLiteral("12/8/26")); // not a check-in: not exported
    list.markIdentified();

    // The journal gives back what the CSV is made from, as after a restore.
    CheckInList restored(&journal, clock.fn());
    restored.restore(list.netId());
    const NetSummary summary = summarizeNet(restored, QStringLiteral("K5NCS"));
    const QTimeZone chicago("America/Chicago");
    ASSERT_TRUE(chicago.isValid());
    const QByteArray csv = netCsv(summary, currentNet(restored), chicago);
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(recordsEndWithCrLf(csv));
    const QString file = dir.filePath("net.csv");
    ASSERT_TRUE(writeFile(file, csv));

    const QJsonArray rows = readWithPython(file);
    ASSERT_EQ(rows.size(), 11 + qsizetype(stations.size()));
    const QStringList headerBlock[] = {
        { "# date", "12/8/26" },
        { "# net control", "K5NCS" },
        { "# start utc", "2026-12-09 01:00:00" },
        { "# start local", "2026-12-08 19:00:00" },
        { "# end utc", "2026-12-09 01:30:00" },
        { "# end local", "2026-12-08 19:30:00" },
        { "# duration", "0:30:00" },
        { "# count", "6" },
        { "# identifications utc", "2026-12-09 01:00:00", "2026-12-09 01:30:00" },
        { "# local time zone", "America/Chicago" },
        { "number", "call", "name", "city", "state", "status", "source", "utc_time", "local_time",
            "logged by" },
    };
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(strings(rows[i]), headerBlock[i]) << i;
    for (int i = 0; i < int(stations.size()); ++i) {
        const CheckInFields& f = stations[std::size_t(i)];
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(netStart + i * 5 * minute, QTimeZone::utc());
        EXPECT_EQ(strings(rows[11 + i]),
            (QStringList { QString::number(i + 1), f.call, f.name, f.city, f.state, i == 1 ? "M/S" : "",
                "spreadsheet", at.toString("yyyy-MM-dd HH:mm:ss"),
                at.addSecs(-6 * 3600).toString("yyyy-MM-dd HH:mm:ss"), "K5NCS" }))
            << i;
    }
}
#endif

// Not built for Windows: it reads the file back with Python's csv module, which runs on Linux.
#ifndef _WIN32
TEST(ReportCsv, AttendanceListsEveryStationWithItsNetsAndDates)
{
    if (!QFileInfo::exists(python))
        GTEST_SKIP() << "no python3";
    QTemporaryDir dir;
    const QTimeZone chicago("America/Chicago");
    const std::vector<Attendance> stations {
        { "K5A", "Smith, John", 3, netStart, netStart + 14 * day },
        { "W1Ü", "Zoë \"Z\"", 1, netStart + 2 * day, netStart + 2 * day },
    };
    const QByteArray csv = attendanceCsv(stations, chicago);
    EXPECT_TRUE(recordsEndWithCrLf(csv));
    ASSERT_TRUE(writeFile(dir.filePath("a.csv"), csv));
    const QJsonArray rows = readWithPython(dir.filePath("a.csv"));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(strings(rows[0]), (QStringList { "call", "name", "nets", "first_date", "last_date" }));
    // Evening nets in Chicago fall on the next day in UTC; the secretary's dates are local.
    EXPECT_EQ(strings(rows[1]), (QStringList { "K5A", "Smith, John", "3", "2026-12-08", "2026-12-22" }));
    EXPECT_EQ(strings(rows[2]), (QStringList { "W1Ü", "Zoë \"Z\"", "1", "2026-12-10", "2026-12-10" }));
    // Without time-zone data the dates are UTC dates rather than blanks.
    EXPECT_TRUE(
        attendanceCsv(stations, QTimeZone()).contains("K5A,\"Smith, John\",3,2026-12-09,2026-12-23\r\n"));
    EXPECT_EQ(attendanceNote({ 2, 10, netStart }, QTimeZone()), "2 of last 10 nets, last 2026-12-09");
}
#endif

TEST(ReportPdf, UpToAHundredCheckInsFitOnePageAndALongerListLosesNoLine)
{
    QTemporaryDir dir;
    const QTimeZone chicago("America/Chicago");
    for (int n : { 0, 12, 60, 100, 260 }) {
        TestClock clock;
        CheckInList list(nullptr, clock.fn());
        const std::vector<JournalEntry> lines = makeNet(list, clock, n);
        if (n == 12) { // the control station identifies late once
            clock.now += 11 * minute;
            list.markIdentified();
        }
        const NetSummary summary = summarizeNet(lines, list.identifications(), QStringLiteral("K5NCS"));
        const QString file = dir.filePath(QStringLiteral("net%1.pdf").arg(n));
        QString error;
        ASSERT_TRUE(writeNetReportPdf(file, summary, lines, &error, chicago)) << error.toStdString();
        const int expected = n <= 100 ? 1 : 2;
        EXPECT_EQ(pageObjects(file), expected) << n;
        const int poppler = popplerPages(file);
        if (poppler >= 0) {
            EXPECT_EQ(poppler, expected) << n;
        }
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            continue;
        const QString text = run(pdftotext, { file, QStringLiteral("-") });
        for (const JournalEntry& e : lines)
            if (!e.dateLine && !text.contains(e.call))
                ADD_FAILURE() << n << " check-ins: " << e.call.toStdString() << " is missing";
        if (n >= 7) {
            EXPECT_TRUE(text.contains(QStringLiteral("Zoë Łój"))) << n;
        }
        EXPECT_TRUE(text.contains(QStringLiteral("Net control: K5NCS"))) << n;
        EXPECT_TRUE(text.contains(QStringLiteral("Check-ins: %1").arg(n))) << n;
        EXPECT_EQ(text.contains(QStringLiteral("01:17*")), n == 12) << n;
    }
}

TEST(ReportPdf, AFileThatCannotBeWrittenIsReportedAndLeavesNothing)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("no/such/folder/net.pdf");
    QString error;
    EXPECT_FALSE(writeNetReportPdf(file, NetSummary {}, {}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST(ReportAttendance, CountsOverManyNetsComeFromTheJournal)
{
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    const QTimeZone chicago("America/Chicago");
    // Twelve weekly evening nets. K5ALL comes to every one, K5ODD to every other one, K5ONCE
    // to the second only; K5GONE's only check-in was deleted; K5TWICE checks in twice in the
    // last net; a line without a call is no station; a thirteenth net with a date line and no
    // check-in is no net attended.
    for (int week = 0; week < 13; ++week) {
        TestClock clock;
        clock.now = netStart + week * 7 * day;
        CheckInList list(&journal, clock.fn());
        list.addDateLine(QStringLiteral("week %1").arg(week));
        if (week == 12)
            break;
        list.addCheckIn({ "K5ALL", "All", "", "" }, CheckInSource::Roster);
        if (week % 2 == 0)
            list.addCheckIn({ "K5ODD", "Odd", "", "" }, CheckInSource::Roster);
        if (week == 1) {
            list.addCheckIn({ "K5ONCE", "Once", "", "" }, CheckInSource::Manual);
            list.addCheckIn({ "  ", "No call given", "", "" }, CheckInSource::Manual);
        }
        if (week == 11) {
            list.addCheckIn({ "K5GONE", "Gone", "", "" }, CheckInSource::Manual);
            list.remove(list.size() - 1);
            clock.now += minute;
            list.addCheckIn({ "K5TWICE", "Twice", "", "" }, CheckInSource::Manual);
            clock.now += minute;
            list.addCheckIn({ "K5TWICE", "Twice again", "", "" }, CheckInSource::Manual);
        }
        list.markSaved();
    }
    const std::int64_t lastNet = netStart + 11 * 7 * day;

    const auto all = journal.recentAttendance(QStringLiteral("K5ALL"), 10);
    EXPECT_EQ(all.nets, 10);
    EXPECT_EQ(all.outOf, 10);
    EXPECT_EQ(attendanceNote(all, chicago), "10 of last 10 nets, last 2027-02-23");
    EXPECT_EQ(attendanceNote(journal.recentAttendance(QStringLiteral("K5ODD"), 10), chicago),
        "5 of last 10 nets, last 2027-02-16");
    EXPECT_EQ(attendanceNote(journal.recentAttendance(QStringLiteral("K5ONCE"), 10), chicago),
        "0 of last 10 nets, last 2026-12-15");
    EXPECT_EQ(attendanceNote(journal.recentAttendance(QStringLiteral("K5TWICE"), 10), chicago),
        "1 of last 10 nets, last 2027-02-23");
    EXPECT_EQ(journal.recentAttendance(QStringLiteral("K5TWICE"), 10).lastUtcMs, lastNet + 2 * minute);
    EXPECT_EQ(attendanceNote(journal.recentAttendance(QStringLiteral("K5GONE"), 10), chicago), "");
    // A station is its call whatever the letter case it is asked in.
    EXPECT_EQ(attendanceNote(journal.recentAttendance(QStringLiteral("k5all"), 10), chicago),
        "10 of last 10 nets, last 2027-02-23");
    EXPECT_EQ(attendanceNote({ 1, 1, netStart }, chicago), "1 of last 1 net, last 2026-12-08");

    // The second to the fourth net, chosen by their local dates.
    const auto [from, to] = attendanceRange(QDate(2026, 12, 15), QDate(2026, 12, 29), chicago);
    const std::vector<Attendance> some = journal.attendance(from, to);
    QStringList got;
    for (const Attendance& a : some)
        got << QStringLiteral("%1 %2 %3").arg(a.call).arg(a.nets).arg(csvTime(a.firstUtcMs, chicago).left(10))
                + QStringLiteral("..") + csvTime(a.lastUtcMs, chicago).left(10);
    EXPECT_EQ(got,
        (QStringList { "K5ALL 3 2026-12-15..2026-12-29", "K5ODD 1 2026-12-22..2026-12-22",
            "K5ONCE 1 2026-12-15..2026-12-15" }));
    const auto whole = journal.attendance(netStart, lastNet + day);
    ASSERT_EQ(whole.size(), 4u); // never the deleted K5GONE, nor a line without a call
    EXPECT_EQ(whole[3].call, "K5TWICE");
    EXPECT_EQ(whole[3].nets, 1);
    EXPECT_EQ(whole[3].name, "Twice again"); // the latest name given
    EXPECT_TRUE(journal.attendance(netStart - 7 * day, netStart - 1).empty());
}

TEST(ReportCsv, FieldsASpreadsheetWouldRunAsFormulasAreWrittenAsText)
{
    const std::pair<QString, QByteArray> fields[] = {
        { "=HYPERLINK(\"http://x\";\"y\")", "\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\"" },
        { "+1 555", "'+1 555" },
        { "-2+3", "'-2+3" },
        { "@SUM(A1)", "'@SUM(A1)" },
        { "\t=1", "'\t=1" },
        { "\r=1", "\"'\r=1\"" },
        { "=1,2", "\"'=1,2\"" },
        // Everything else as it was.
        { "K5A", "K5A" },
        { " =1", " =1" },
        { "a=b", "a=b" },
        { "#1 fan", "#1 fan" },
        { "", "" },
        { "Smith, John", "\"Smith, John\"" },
    };
    for (const auto& [text, written] : fields)
        EXPECT_EQ(csvField(text), written) << text.toStdString();

    // Both files go through it.
    TestClock clock;
    CheckInList list(nullptr, clock.fn());
    list.addDateLine(QStringLiteral("12/8/26"));
    list.addCheckIn({ "K5A", "=HYPERLINK(\"http://x\";\"y\")", "-Yuma", "@AZ" }, CheckInSource::Manual);
    const QByteArray net
        = netCsv(summarizeNet(list, QStringLiteral("+K5NCS")), currentNet(list), QTimeZone::utc());
    EXPECT_TRUE(net.contains("\r\n1,K5A,\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\",'-Yuma,'@AZ,,manual,"))
        << net.toStdString();
    EXPECT_TRUE(net.contains("# net control,'+K5NCS\r\n"));
    const QByteArray attendance
        = attendanceCsv({ { "K5A", "=cmd|' /C calc'!A0", 1, netStart, netStart } }, QTimeZone::utc());
    EXPECT_TRUE(attendance.contains("\r\nK5A,'=cmd|' /C calc'!A0,1,")) << attendance.toStdString();
}

// Not built for Windows: it reads the report with poppler's pdftotext, which runs on Linux.
#ifndef _WIN32
TEST(ReportPdf, OnAComputerKeptOnUtcOneTimeColumnIsShown)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext (poppler-utils) is needed";
    QTemporaryDir dir;
    TestClock clock;
    CheckInList list(nullptr, clock.fn());
    const std::vector<JournalEntry> lines = makeNet(list, clock, 3);
    const NetSummary summary = summarizeNet(lines, list.identifications(), QStringLiteral("K5NCS"));
    // The column heads: the line of the list's header, as poppler lays the page out.
    const auto heads = [&](const QTimeZone& zone, const QString& name) {
        const QString file = dir.filePath(name);
        QString error;
        EXPECT_TRUE(writeNetReportPdf(file, summary, lines, &error, zone)) << error.toStdString();
        const QString text = run(pdftotext, { QStringLiteral("-layout"), file, QStringLiteral("-") });
        for (const QString& line : text.split(QLatin1Char('\n')))
            if (line.contains(QStringLiteral("No.")) && line.contains(QStringLiteral("Call")))
                return std::make_pair(line.simplified(), text);
        return std::make_pair(QString(), text);
    };
    for (const char* utc : { "UTC", "Etc/UTC" }) {
        const auto [head, text] = heads(QTimeZone(utc), QStringLiteral("utc.pdf"));
        EXPECT_EQ(head, "No. Call Name City, State Status UTC") << utc;
        EXPECT_TRUE(text.contains(QStringLiteral("Start: 2026-12-09 01:00 UTC "))) << utc;
        EXPECT_FALSE(text.contains(QStringLiteral("(01:"))) << utc; // no time told twice
    }
    const auto [head, text] = heads(QTimeZone("America/Chicago"), QStringLiteral("chicago.pdf"));
    EXPECT_EQ(head, "No. Call Name City, State Status UTC CST");
    EXPECT_TRUE(text.contains(QStringLiteral("2026-12-09 01:00 UTC (19:00 CST)")));
}
#endif

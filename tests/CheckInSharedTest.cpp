// The check-in list in a shared net, without a server: other operators' lines put in
// place, provisional numbers, who logged each line, and journals of earlier versions.
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {
CheckInFields station(const QString& call)
{
    return { call, QStringLiteral("Ann"), QStringLiteral("Waco"), QStringLiteral("TX") };
}

// What the list tells its observers, as (kind, index): the one way every part follows it.
struct Told : CheckInListObserver {
    enum Kind { Inserted, Removed, Changed };
    std::vector<std::pair<int, int>> changes;
    int resets = 0;
    void aboutToInsert(int) override { }
    void inserted(int index) override { changes.emplace_back(Inserted, index); }
    void aboutToRemove(int) override { }
    void removed(int index) override { changes.emplace_back(Removed, index); }
    void changed(int index) override { changes.emplace_back(Changed, index); }
    void aboutToReset() override { }
    void reset() override { ++resets; }
};

JournalEntry remoteLine(int number, const QString& call, const QString& by)
{
    JournalEntry e;
    e.number = number;
    e.call = call;
    e.name = QStringLiteral("Bob");
    e.loggedBy = by;
    e.utcMs = 1'765'000'000'000;
    return e;
}
} // namespace

TEST(CheckInShared, OtherOperatorsLinesArePutInPlaceAndToldToTheListener)
{
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    CheckInList list(&journal);
    list.setOperator("N5NCS");
    list.setNumbersProvisional(true);
    list.addCheckIn(station("K5A"), CheckInSource::Manual);
    EXPECT_EQ(list.line(0), "1?  K5A  Ann  Waco  TX");
    EXPECT_EQ(list.at(0).loggedBy, "N5NCS");
    // Observers added now are told of every change after, in the order they were added.
    Told told, view;
    list.addObserver(&told);
    list.addObserver(&view);

    // Another operator's line took number 1 first: it stands before this one, which gets 2,
    // loses its mark and stays in its place.
    const int theirs = list.applyRemote(remoteLine(1, "W5B", "K5LOG"));
    EXPECT_EQ(theirs, 0);
    ASSERT_TRUE(list.confirmNumber(list.at(1).seq, 2));
    EXPECT_EQ(list.lines(), (QStringList { "1  W5B  Bob" + QString(4, ' '), "2  K5A  Ann  Waco  TX" }));
    EXPECT_EQ(list.highestNumber(), 2);
    EXPECT_EQ(list.addCheckIn(station("K5C"), CheckInSource::Manual), 3);

    // Removed here, brought back elsewhere: the local undo must not bring it a second time.
    const JournalEntry k5a = list.at(1);
    ASSERT_TRUE(list.remove(1));
    EXPECT_EQ(list.applyRemoteRestore(k5a), 1); // before the provisional line, in number order
    EXPECT_FALSE(list.canUndo());
    ASSERT_TRUE(list.applyRemoteStatus(list.at(0).seq, "M/S"));
    ASSERT_TRUE(list.applyRemoteRemoval(list.at(2).seq));
    EXPECT_FALSE(list.applyRemoteRemoval(999));
    // The operator's own remove is told like the others' changes, to every observer.
    EXPECT_EQ(told.changes,
        (std::vector<std::pair<int, int>> { { Told::Inserted, 0 }, { Told::Changed, 1 },
            { Told::Inserted, 2 }, { Told::Removed, 1 }, { Told::Inserted, 1 }, { Told::Changed, 0 },
            { Told::Removed, 2 } }));
    EXPECT_EQ(view.changes, told.changes);
    list.removeObserver(&told);
    list.setStatus(1, "OUT");
    EXPECT_EQ(view.changes.size(), told.changes.size() + 1);
    list.setStatus(1, QString());

    // The journal holds the same list, with who logged each line.
    CheckInList reread(&journal);
    reread.restore(list.netId());
    ASSERT_EQ(reread.size(), 2);
    EXPECT_EQ(reread.at(1).loggedBy, "K5LOG");
    EXPECT_EQ(reread.at(1).status, "M/S");
}

TEST(CheckInShared, ASharedListStandsInNumberOrderWithProvisionalLinesLastAndTheDateFirst)
{
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    CheckInList list(&journal);
    list.setNumbersProvisional(true);
    list.applyRemote(remoteLine(2, "W5TWO", "K5LOG"));
    list.applyRemote(remoteLine(1, "W5ONE", "K5LOG"));
    // Two lines logged while the server could not be reached: at the end, marked.
    list.addCheckIn(station("K5X"), CheckInSource::Manual);
    list.addCheckIn(station("K5Y"), CheckInSource::Manual);
    // The date line of a later visit to the page heads the list all the same.
    list.addDateLine("12/9/26");
    list.applyRemote(remoteLine(3, "W5THREE", "N5NCS"));
    const auto calls = [&] {
        QStringList out;
        for (int i = 0; i < list.size(); ++i)
            out << (list.at(i).dateLine ? QStringLiteral("DATE")
                                        : QString::number(list.at(i).number)
                        + (list.at(i).provisional ? "?" : "") + " " + list.at(i).call);
        return out;
    };
    EXPECT_EQ(calls(), (QStringList { "DATE", "1 W5ONE", "2 W5TWO", "3 W5THREE", "3? K5X", "4? K5Y" }));
    // Numbered out of the order they were logged: each moves to its place.
    Told told;
    list.addObserver(&told);
    ASSERT_TRUE(list.confirmNumber(list.at(5).seq, 4));
    ASSERT_TRUE(list.confirmNumber(list.at(5).seq, 5));
    EXPECT_EQ(calls(), (QStringList { "DATE", "1 W5ONE", "2 W5TWO", "3 W5THREE", "4 K5Y", "5 K5X" }));
    EXPECT_EQ(told.changes,
        (std::vector<std::pair<int, int>> {
            { Told::Changed, 5 }, { Told::Removed, 5 }, { Told::Inserted, 4 }, { Told::Changed, 5 } }));
    list.removeObserver(&told);
    // The net begins at its first check-in by number, below the date line.
    EXPECT_EQ(list.netStartUtc(), list.at(1).utcMs);
}

TEST(CheckInShared, AJournalOfAnEarlierVersionIsUpgradedWithItsLinesKept)
{
    QTemporaryDir dir;
    const QByteArray file = QDir(dir.path()).filePath("journal.sqlite").toUtf8();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.constData(), &db), SQLITE_OK);
    // The tables as the first journals wrote them, without "logged by".
    ASSERT_EQ(
        sqlite3_exec(db,
            "CREATE TABLE nets(id INTEGER PRIMARY KEY, started_utc INTEGER NOT NULL, unsaved INTEGER "
            "NOT NULL DEFAULT 0, discarded INTEGER NOT NULL DEFAULT 0, saved_utc INTEGER);"
            "CREATE TABLE entries(net_id INTEGER NOT NULL, seq INTEGER NOT NULL, date_line INTEGER NOT "
            "NULL, number INTEGER NOT NULL, call TEXT NOT NULL, name TEXT NOT NULL, city TEXT NOT NULL, "
            "state TEXT NOT NULL, line TEXT NOT NULL, source TEXT NOT NULL, utc INTEGER NOT NULL, status "
            "TEXT NOT NULL DEFAULT '', deleted_utc INTEGER, PRIMARY KEY(net_id, seq));"
            "INSERT INTO nets VALUES(1, 5, 1, 0, NULL);"
            "INSERT INTO entries VALUES(1, 1, 0, 1, 'K5OLD', 'Ann', 'Waco', 'TX', '', 'manual', 5, '', "
            "NULL);",
            nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);

    NetJournal journal(dir.path());
    ASSERT_TRUE(journal.ok()) << journal.problem().toStdString();
    CheckInList list(&journal);
    list.restore(1);
    EXPECT_EQ(list.lines(), QStringList { "1  K5OLD  Ann  Waco  TX" });
    EXPECT_EQ(list.at(0).loggedBy, "");
    list.setOperator("N5NCS");
    list.addCheckIn(station("K5NEW"), CheckInSource::Manual);
    CheckInList reread(&journal);
    reread.restore(1);
    ASSERT_EQ(reread.size(), 2);
    EXPECT_EQ(reread.at(1).loggedBy, "N5NCS");
}

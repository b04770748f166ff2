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
    std::vector<std::pair<int, int>> told;
    list.setListener([&](const CheckInList::Change& c) { told.emplace_back(int(c.kind), c.index); });
    list.setOperator("N5NCS");
    list.setNumbersProvisional(true);
    list.addCheckIn(station("K5A"), CheckInSource::Manual);
    EXPECT_EQ(list.line(0), "1?  K5A  Ann  Waco  TX");
    EXPECT_EQ(list.at(0).loggedBy, "N5NCS");

    // Another operator's line took number 1 first: this line gets 2 and loses its mark.
    const int theirs = list.applyRemote(remoteLine(1, "W5B", "K5LOG"));
    EXPECT_EQ(theirs, 1);
    ASSERT_TRUE(list.confirmNumber(list.at(0).seq, 2));
    EXPECT_EQ(list.lines(), (QStringList { "2  K5A  Ann  Waco  TX", "1  W5B  Bob" + QString(4, ' ') }));
    EXPECT_EQ(list.highestNumber(), 2);
    EXPECT_EQ(list.addCheckIn(station("K5C"), CheckInSource::Manual), 3);

    // Removed here, brought back elsewhere: the local undo must not bring it a second time.
    const JournalEntry k5a = list.at(0);
    ASSERT_TRUE(list.remove(0));
    EXPECT_EQ(list.applyRemoteRestore(k5a), 0);
    EXPECT_FALSE(list.canUndo());
    ASSERT_TRUE(list.applyRemoteStatus(list.at(1).seq, "M/S"));
    ASSERT_TRUE(list.applyRemoteRemoval(list.at(2).seq));
    EXPECT_FALSE(list.applyRemoteRemoval(999));
    EXPECT_EQ(told,
        (std::vector<std::pair<int, int>> { { CheckInList::Change::Inserted, 1 },
            { CheckInList::Change::Changed, 0 }, { CheckInList::Change::Inserted, 0 },
            { CheckInList::Change::Changed, 1 }, { CheckInList::Change::Removed, 2 } }));

    // The journal holds the same list, with who logged each line.
    CheckInList reread(&journal);
    reread.restore(list.netId());
    ASSERT_EQ(reread.size(), 2);
    EXPECT_EQ(reread.at(1).loggedBy, "K5LOG");
    EXPECT_EQ(reread.at(1).status, "M/S");
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

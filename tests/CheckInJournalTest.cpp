// The check-in list model and the net journal under it: numbering, undo, restore after a
// crash, and a journal that is damaged, cannot be written or runs out of room.
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"

#include "FileSizeLimit.h"
#include "JournalDamage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {
CheckInFields station(const QString& call)
{
    return { call, QStringLiteral("Ann"), QStringLiteral("Waco"), QStringLiteral("TX") };
}

// A clock the test moves by hand.
struct TestClock {
    std::int64_t now = 1'765'000'000'000;
    CheckInList::Clock fn()
    {
        return [this] { return now; };
    }
};

QByteArray readAll(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(CheckInList, NumbersNeverRepeatAndUndoPutsLinesBackWhereTheyWere)
{
    CheckInList list;
    list.addDateLine("12/9/26");
    for (const char* call : { "K5A", "K5B", "K5C", "K5D" })
        list.addCheckIn(station(call), CheckInSource::Roster);
    EXPECT_EQ(list.checkInCount(), 4);
    ASSERT_TRUE(list.remove(2)); // 2  K5B
    ASSERT_TRUE(list.remove(3)); // 4  K5D (now at index 3)
    EXPECT_EQ(list.addCheckIn(station("K5E"), CheckInSource::Manual), 5);
    EXPECT_EQ(list.lines(),
        (QStringList {
            "DATE : 12/9/26", "1  K5A  Ann  Waco  TX", "3  K5C  Ann  Waco  TX", "5  K5E  Ann  Waco  TX" }));
    // Undone in reverse order, each where it stood and with its own number.
    EXPECT_EQ(list.undo(), 3);
    EXPECT_EQ(list.undo(), 2);
    EXPECT_FALSE(list.undo());
    EXPECT_EQ(list.lines(),
        (QStringList { "DATE : 12/9/26", "1  K5A  Ann  Waco  TX", "2  K5B  Ann  Waco  TX",
            "3  K5C  Ann  Waco  TX", "4  K5D  Ann  Waco  TX", "5  K5E  Ann  Waco  TX" }));
    EXPECT_FALSE(list.remove(6));
    EXPECT_FALSE(list.remove(-1));
    EXPECT_EQ(list.findCall("K5C"), 3);
    EXPECT_EQ(list.findCall("K5"), -1);
}

TEST(CheckInList, TheNetStartsAtItsFirstCheckInAndAnotherDateLineOfTheSameDayKeepsIt)
{
    TestClock clock;
    CheckInList list(nullptr, clock.fn());
    list.addDateLine("12/9/26");
    EXPECT_FALSE(list.netStartUtc());
    clock.now += 60'000;
    list.addCheckIn(station("K5A"), CheckInSource::Roster);
    const std::int64_t start = clock.now;
    EXPECT_EQ(list.netStartUtc(), start);
    EXPECT_EQ(list.identifications(), std::vector<std::int64_t> { start }); // the first check-in identifies
    list.addDateLine("12/9/26"); // back from another page
    clock.now += 60'000;
    list.addCheckIn(station("K5B"), CheckInSource::Roster);
    EXPECT_EQ(list.netStartUtc(), start);
    EXPECT_EQ(list.identifications().size(), 1u);
    list.addDateLine("12/10/26"); // the next day's net
    clock.now += 60'000;
    list.addCheckIn(station("K5C"), CheckInSource::Roster);
    EXPECT_EQ(list.netStartUtc(), clock.now);
    // The next day's net has its own identifications only.
    EXPECT_EQ(list.identifications(), std::vector<std::int64_t> { clock.now });
}

TEST(CheckInList, ASecondNetHasItsOwnClockNumbersAndIdentifications)
{
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    TestClock clock;
    CheckInList list(&journal, clock.fn());
    list.addDateLine("12/9/26");
    list.addCheckIn(station("K5A"), CheckInSource::Roster);
    clock.now += 5 * 60'000;
    list.markIdentified();
    list.addCheckIn(station("K5B"), CheckInSource::Roster);
    list.remove(2);
    const std::int64_t firstNet = list.netId();
    list.markSaved();

    // Saved and cleared: an hour later the next net starts on an empty list.
    list.beginNewNet();
    EXPECT_EQ(list.size(), 0);
    EXPECT_FALSE(list.isUnsaved());
    EXPECT_FALSE(list.canUndo());
    EXPECT_FALSE(list.netStartUtc());
    EXPECT_TRUE(list.identifications().empty());
    clock.now += 60 * 60'000;
    list.addDateLine("12/9/26"); // the same day
    clock.now += 60'000;
    EXPECT_EQ(list.addCheckIn(station("K5C"), CheckInSource::Roster), 1);
    EXPECT_EQ(list.netStartUtc(), clock.now);
    EXPECT_EQ(list.identifications(), std::vector<std::int64_t> { clock.now });
    EXPECT_EQ(list.lines(), (QStringList { "DATE : 12/9/26", "1  K5C  Ann  Waco  TX" }));
    // In the journal: a net of its own, and the saved one is never offered again.
    EXPECT_NE(list.netId(), firstNet);
    EXPECT_NE(list.netId(), 0);
    ASSERT_TRUE(journal.pendingNet());
    EXPECT_EQ(journal.pendingNet()->id, list.netId());
    EXPECT_EQ(journal.identifications(list.netId()), std::vector<std::int64_t> { clock.now });
    EXPECT_EQ(journal.entries(firstNet).size(), 2u); // the first net as it was left
}

TEST(CheckInList, OneStationWhateverThePaddingAndCaseOfItsCall)
{
    CheckInList list;
    list.addDateLine("12/9/26");
    list.addCheckIn({ "  W1AW", "PERCY", "", "" }, CheckInSource::Fcc);
    list.addCheckIn(station("K5A"), CheckInSource::Roster);
    for (const char* call : { "W1AW", "w1aw", " W1AW ", "  W1AW" })
        EXPECT_EQ(list.findCall(call), 1) << call;
    // Kept, shown and journalled with the call alone.
    EXPECT_EQ(list.line(1), "1  W1AW  PERCY    ");
    list.addCheckIn({ "w1aw", "Percy", "", "" }, CheckInSource::Manual);
    EXPECT_EQ(list.findCall("W1AW"), 3); // the latest
    EXPECT_EQ(list.findCall("W1AWX"), -1);
    EXPECT_EQ(list.findCall("W1A"), -1);
    EXPECT_EQ(list.findCall(""), -1);
}

TEST(NetJournal, ANetNeitherSavedNorDiscardedComesBackLineForLine)
{
    QTemporaryDir dir;
    TestClock clock;
    QStringList shown;
    {
        NetJournal journal(dir.path());
        ASSERT_TRUE(journal.ok()) << qPrintable(journal.problem());
        CheckInList list(&journal, clock.fn());
        list.addDateLine("12/9/26");
        list.addCheckIn({ "K5A", "Ann, \"Jr\"", "Waco", "TX" }, CheckInSource::Roster);
        list.addCheckIn(station("K5B"), CheckInSource::Fcc);
        list.addCheckIn(station("K5C"), CheckInSource::ClubSearch);
        list.remove(3); // 3  K5C: deleted, its number stays given
        list.remove(1);
        list.undo(); // K5A back
        list.setStatus(2, "T");
        shown = list.lines();
        EXPECT_TRUE(list.journalProblem().isEmpty());
    } // the program dies here without saving

    NetJournal journal(dir.path());
    const auto pending = journal.pendingNet();
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->checkIns, 2);
    CheckInList list(&journal, clock.fn());
    list.restore(pending->id);
    EXPECT_EQ(list.lines(), shown);
    EXPECT_TRUE(list.isUnsaved());
    EXPECT_EQ(list.at(2).status, "T");
    EXPECT_EQ(list.at(2).source, CheckInSource::Fcc);
    EXPECT_EQ(list.at(1).name, "Ann, \"Jr\"");
    // Numbering goes on after the highest number ever given, the deleted 3 included.
    EXPECT_EQ(list.addCheckIn(station("K5D"), CheckInSource::Manual), 4);
    EXPECT_EQ(list.lines().last(), "4  K5D  Ann  Waco  TX");

    // Saved: never offered again.
    list.markSaved();
    EXPECT_FALSE(NetJournal(dir.path()).pendingNet());
    // A change after the save makes it unsaved again; discarded, it is never offered.
    list.remove(1);
    EXPECT_TRUE(NetJournal(dir.path()).pendingNet());
    list.markDiscarded();
    EXPECT_FALSE(NetJournal(dir.path()).pendingNet());
}

TEST(NetJournal, RestoredNetGoesOnWithoutOverwritingDeletedLines)
{
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    CheckInList first(&journal);
    first.addCheckIn(station("K5A"), CheckInSource::Roster);
    first.addCheckIn(station("K5B"), CheckInSource::Roster);
    first.remove(1);

    CheckInList second(&journal);
    second.restore(first.netId());
    second.addCheckIn(station("K5C"), CheckInSource::Roster);
    EXPECT_TRUE(second.journalProblem().isEmpty()) << qPrintable(second.journalProblem());
    CheckInList third(&journal);
    third.restore(first.netId());
    EXPECT_EQ(third.lines(), (QStringList { "1  K5A  Ann  Waco  TX", "3  K5C  Ann  Waco  TX" }));
}

TEST(NetJournal, EveryChangeReachesTheDiskBeforeItIsShown)
{
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    ASSERT_TRUE(journal.ok()) << qPrintable(journal.problem());
    // FULL (2): the write-ahead log is synced at every commit.
    EXPECT_EQ(journal.queryText("PRAGMA synchronous"), "2");
    EXPECT_EQ(journal.queryText("PRAGMA journal_mode"), "wal");
    // The same when the journal is opened again over an existing file.
    CheckInList(&journal).addCheckIn(station("K5A"), CheckInSource::Roster);
    NetJournal again(dir.path());
    EXPECT_EQ(again.queryText("PRAGMA synchronous"), "2");
    EXPECT_EQ(again.queryText("PRAGMA journal_mode"), "wal");
}

TEST(NetJournal, OldLinesWithAPaddedCallAreReadWithTheCallAlone)
{
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    // As a journal written before calls were trimmed holds an FCC check-in.
    const std::int64_t net = journal.beginNet(1000);
    JournalEntry old;
    old.seq = 1;
    old.number = 1;
    old.call = QStringLiteral("  W1AW");
    old.name = QStringLiteral("PERCY");
    old.source = CheckInSource::Fcc;
    old.utcMs = 1000;
    ASSERT_TRUE(journal.append(net, old, true));
    ASSERT_EQ(journal.entries(net).size(), 1u);
    EXPECT_EQ(journal.entries(net)[0].call, "W1AW");
    CheckInList list(&journal);
    list.restore(net);
    EXPECT_EQ(list.lines(), QStringList { "1  W1AW  PERCY    " });
    EXPECT_EQ(list.findCall("W1AW"), 0);
}

TEST(NetJournal, ADamagedFileIsKeptAsideAndANewJournalStarts)
{
    QTemporaryDir dir;
    const QByteArray garbage(8192, 'x');
    {
        QFile f(dir.filePath("journal.sqlite"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(garbage);
    }
    NetJournal journal(dir.path());
    EXPECT_TRUE(journal.ok()) << qPrintable(journal.problem());
    ASSERT_FALSE(journal.keptAside().isEmpty());
    EXPECT_EQ(readAll(journal.keptAside()), garbage); // never deleted
    EXPECT_TRUE(journal.problem().contains(QFileInfo(journal.keptAside()).fileName()));
    CheckInList list(&journal);
    list.addCheckIn(station("K5A"), CheckInSource::Roster);
    EXPECT_TRUE(NetJournal(dir.path()).pendingNet());
}

TEST(NetJournal, AJournalThatCannotBeOpenedNeverStopsTheNet)
{
    QTemporaryDir dir;
    // A plain file where the journal's folder should be: nothing can be created there.
    QFile blocker(dir.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    NetJournal journal(dir.filePath("blocked/velmora"));
    EXPECT_FALSE(journal.ok());
    EXPECT_FALSE(journal.problem().isEmpty());
    CheckInList list(&journal);
    list.addDateLine("12/9/26");
    EXPECT_EQ(list.addCheckIn(station("K5A"), CheckInSource::Roster), 1);
    EXPECT_TRUE(list.remove(1));
    EXPECT_TRUE(list.undo());
    EXPECT_EQ(list.checkInCount(), 1);
    EXPECT_FALSE(list.journalProblem().isEmpty());
}

// Not built for Windows, which has no limit on the size of a process's files to stand in
// for a full disk.
#ifndef _WIN32
TEST(NetJournal, AFullDiskStopsTheJournalButNotTheList)
{
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    CheckInList list(&journal);
    list.addCheckIn(station("K5A"), CheckInSource::Roster);
    ASSERT_TRUE(list.journalProblem().isEmpty());
    {
        // The write-ahead log cannot grow: the next write fails as on a full disk.
        const qint64 wal = QFileInfo(dir.filePath("journal.sqlite-wal")).size();
        FileSizeLimit limit(wal);
        for (int i = 0; i < 5; ++i)
            list.addCheckIn(station(QStringLiteral("K6%1").arg(i)), CheckInSource::Roster);
    }
    EXPECT_EQ(list.checkInCount(), 6);
    EXPECT_FALSE(list.journalProblem().isEmpty());
    EXPECT_FALSE(journal.ok());
    // What was written before stays sound and readable.
    NetJournal again(dir.path());
    ASSERT_TRUE(again.ok()) << qPrintable(again.problem());
    ASSERT_TRUE(again.pendingNet());
    EXPECT_GE(again.pendingNet()->checkIns, 1);
}
#endif

TEST(NetJournal, AJournalDamagedInItsMiddleIsMovedAsideAndWhatCanBeReadComesBack)
{
    QTemporaryDir dir;
    const QStringList lastNet = journaldamage::writeNets(dir.path());
    const qint64 size = QFileInfo(dir.filePath("journal.sqlite")).size();
    ASSERT_GT(size, 100 * 1024);
    ASSERT_FALSE(QFile::exists(dir.filePath("journal.sqlite-wal"))); // all of it in the file
    const QByteArray damaged = journaldamage::damageMiddle(dir.path());
    ASSERT_EQ(damaged.size(), size);

    NetJournal journal(dir.path());
    ASSERT_TRUE(journal.ok()) << qPrintable(journal.problem());
    ASSERT_FALSE(journal.keptAside().isEmpty());
    EXPECT_TRUE(QFileInfo(journal.keptAside()).fileName().startsWith("journal.sqlite.damaged-"));
    EXPECT_EQ(readAll(journal.keptAside()), damaged); // moved, never changed
    // Both files named, in plain words, and what was read back.
    const QString told = journal.problem();
    EXPECT_TRUE(told.contains(QDir::toNativeSeparators(journal.keptAside()))) << qPrintable(told);
    EXPECT_TRUE(told.contains(QDir::toNativeSeparators(journal.path()))) << qPrintable(told);
    EXPECT_FALSE(told.contains("btree")) << qPrintable(told);
    const NetJournal::Salvaged read = journal.salvaged();
    EXPECT_GE(read.nets, journaldamage::kNets / 2);
    EXPECT_LE(read.nets, journaldamage::kNets);
    EXPECT_GT(read.checkIns, 0);
    EXPECT_LT(read.checkIns, journaldamage::kNets * journaldamage::kCheckInsPerNet); // a few pages are gone
    EXPECT_TRUE(told.contains(QStringLiteral("%1 nets with %2 check-ins").arg(read.nets).arg(read.checkIns)))
        << qPrintable(told);

    // The unsaved net at the end of the file is offered back whole, with its net control.
    const auto pending = journal.pendingNet();
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->checkIns, journaldamage::kCheckInsPerNet);
    CheckInList list(&journal);
    list.restore(pending->id);
    EXPECT_EQ(list.lines(), lastNet);
    EXPECT_EQ(journal.controlCall(pending->id), "K5NCS");
    // The new journal is sound and protects what comes next.
    list.addCheckIn(station("K5NEW"), CheckInSource::Manual);
    EXPECT_TRUE(list.journalProblem().isEmpty()) << qPrintable(list.journalProblem());
    NetJournal again(dir.path());
    EXPECT_TRUE(again.ok());
    EXPECT_TRUE(again.keptAside().isEmpty());
    EXPECT_EQ(again.pendingNet()->checkIns, journaldamage::kCheckInsPerNet + 1);
}

TEST(NetJournal, TheNetControlAndTheFileSavedToAreKeptWithTheNetAlsoInAnOlderJournal)
{
    QTemporaryDir dir;
    const QByteArray file = QDir(dir.path()).filePath("journal.sqlite").toUtf8();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.constData(), &db), SQLITE_OK);
    // A journal as the version before wrote it: nothing of the net control.
    ASSERT_EQ(sqlite3_exec(db,
                  "CREATE TABLE nets(id INTEGER PRIMARY KEY, started_utc INTEGER NOT NULL, unsaved INTEGER "
                  "NOT NULL DEFAULT 0, discarded INTEGER NOT NULL DEFAULT 0, saved_utc INTEGER);"
                  "INSERT INTO nets VALUES(1, 5, 1, 0, NULL);",
                  nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    {
        NetJournal journal(dir.path());
        ASSERT_TRUE(journal.ok()) << qPrintable(journal.problem());
        EXPECT_EQ(journal.controlCall(1), "");
        EXPECT_EQ(journal.lastSavedFile(), "");
        EXPECT_TRUE(journal.setControlCall(1, "K5NCS"));
        const std::int64_t second = journal.beginNet(10);
        EXPECT_TRUE(journal.setControlCall(second, "W1AW"));
        EXPECT_TRUE(journal.setSaved(1, 20));
        EXPECT_TRUE(journal.setSavedFile(1, "/nets/tuesday.txt"));
        EXPECT_TRUE(journal.setSaved(second, 30));
        EXPECT_TRUE(journal.setSavedFile(second, "/nets/wednesday.txt"));
    }
    NetJournal journal(dir.path());
    EXPECT_EQ(journal.controlCall(1), "K5NCS");
    EXPECT_EQ(journal.controlCall(2), "W1AW");
    EXPECT_EQ(journal.lastSavedFile(), "/nets/wednesday.txt");
}

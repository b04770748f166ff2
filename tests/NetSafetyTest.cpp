// What the operator picks is what is filled in, and no slip, full disk or crash costs a check-in.
#include "NetFixture.h"
#include "PageProbes.h"

#include "FileSizeLimit.h"
#include "JournalDamage.h"
#include "fcc/TfrmFCC2.h"
#include "pages/TfrmMainA.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>

namespace {
QByteArray readFile(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// An ARC roster where a longer call stands before the shorter one it begins with.
netfixture::Table amberWithPrefixCalls()
{
    netfixture::Table t = netfixture::amber();
    t.rows.insert(t.rows.begin(), { "K3XYZ", "3", "Zed", "Zoe", "Long", "K3ZOE", "Erie", "PA" });
    t.rows.push_back({ "K3XY", "3", "Xavier", "Yola", "Short", "", "Altoona", "PA" });
    return t;
}
} // namespace

class NetPageSafety : public NetPage {
protected:
    void writeFixture() override { netfixture::writeInstall(install.path(), amberWithPrefixCalls()); }
    QString note() const { return child<QLabel>(net(), "lblNOTE")->text(); }
    // The program ends without saving (a crash, as far as the journal knows) and starts again.
    void restart(std::deque<int> answers)
    {
        DestroyPages();
        dialogs.chosen = std::move(answers);
        dialogs.choices.clear();
        CreatePages(install.path());
    }
};

TEST_F(NetPageSafety, TheExactCallWinsOverALongerCallThatBeginsWithIt)
{
    openNetPage();
    clickLine("lstboxROSTER", "K3XY");
    EXPECT_EQ(selectedCall(), (QStringList { "K3XY", "Xavier", "Short", "Yola", "", "Altoona", "PA" }));
    clickLine("lstboxROSTER", "K3XYZ");
    EXPECT_EQ(selectedCall(), (QStringList { "K3XYZ", "Zed", "Long", "Zoe", "K3ZOE", "Erie", "PA" }));
    // The club search too; a partial entry still finds the first call that begins with it.
    edit("editCALLM")->setText("K3XY");
    click(w("VRSEARCH"));
    EXPECT_EQ(selectedCall()[1], "Xavier");
    edit("editCALLM")->setText("K3X");
    click(w("VRSEARCH"));
    EXPECT_EQ(selectedCall(), (QStringList { "K3X", "Zed", "Long", "Zoe", "K3ZOE", "Erie", "PA" }));
}

TEST_F(NetPageSafety, AfterAnFccRoundTripTheRosterOnScreenIsTheOneActedOn)
{
    openNetPage();
    click(w("panRV"));
    click(w("panA5"));
    click(w("VR3")); // the FCC page
    click(child(static_cast<QWidget*>(frmFCC2), "VrDemoButton1")); // its QUIT
    ASSERT_TRUE(net()->isVisible());
    EXPECT_EQ(lines("lstboxCheckIN").size(), 1); // no second date line for the same day
    EXPECT_EQ(netPage().currentGroup(), rgRV);
    EXPECT_EQ(face("panRV"), clGreen);
    EXPECT_TRUE(w("panRV2")->isVisible());
    clickLine("lstboxROSTER2", "K5RV1");
    EXPECT_EQ(selectedCall(), (QStringList { "K5RV1", "Ray", " ", "Rita", " ", "Dallas", "TX" }));
    click(w("panA1")); // refills the list on screen
    EXPECT_EQ(lines("lstboxROSTER2"), QStringList { "W1RV" });

    // The main page's CALL A NET keeps the roster too.
    click(w("panQUIT"));
    click(child(static_cast<QWidget*>(frmMainA), "VR4"));
    EXPECT_EQ(netPage().currentGroup(), rgRV);
    EXPECT_TRUE(w("panRV2")->isVisible());

    // After GROUP no list is on screen: area clicks fill no hidden list, and coming back shows ARC.
    click(w("panGROUP"));
    click(w("panA9"));
    EXPECT_EQ(lines("lstboxROSTER2"), QStringList { "W1RV" });
    click(w("panQUIT"));
    click(child(static_cast<QWidget*>(frmMainA), "VR4"));
    EXPECT_EQ(netPage().currentGroup(), rgARC);
    EXPECT_EQ(face("panARC"), clGreen);
    EXPECT_TRUE(w("panARC2")->isVisible());
}

TEST_F(NetPageSafety, ClubSearchLeavesNothingOfThePreviousStation)
{
    openNetPage();
    edit("editCALLM")->setText("KD3Q");
    click(w("VRSEARCH"));
    EXPECT_EQ(selectedCall(), (QStringList { "KD3Q", "Fay", "Hart", "Gil", "KD3R", "Pittsburgh", "PA" }));
    edit("editCALLM")->setText("W1RV"); // only on the RV roster
    click(w("VRSEARCH"));
    EXPECT_EQ(selectedCall(), (QStringList { "W1RV", "Tom", " ", " ", " ", "   ", "  " }));
    edit("editCALLM")->setText("N0WHERE");
    click(w("VRSEARCH"));
    EXPECT_EQ(selectedCall(), (QStringList { " ", " ", " ", " ", " ", "   ", "  " }));
}

TEST_F(NetPageSafety, ABlankCallIsNeverCheckedIn)
{
    openNetPage();
    addStation("   ");
    edit("editCALL2")->setText(" ");
    edit("editNAME")->setText("Ann");
    click(w("btnAdd"));
    EXPECT_EQ(lines("lstboxCheckIN").size(), 1);
    EXPECT_EQ(edit("editNoCheckins")->text().toInt(), 0);
    EXPECT_FALSE(note().isEmpty());
    EXPECT_TRUE(dialogs.shown.empty()); // a note on the page, no box to close
    EXPECT_FALSE(netPage().hasUnsavedCheckIns());
}

TEST_F(NetPageSafety, OnePressDeletesOneLineAndUndoBringsThemBack)
{
    openNetPage();
    for (const char* call : { "K5A", "K5B", "K5C", "K5D" })
        addStation(call);
    const QStringList full = lines("lstboxCheckIN");
    const auto l = list("lstboxCheckIN");
    l->setCurrentRow(2); // 2  K5B
    click(w("btnDelete"));
    click(w("btnDelete")); // the second press of a double click
    EXPECT_EQ(l->count(), 4);
    EXPECT_EQ(l->selectedItems().size(), 0);
    // A held Delete key repeats: still only one line goes.
    l->setCurrentRow(3); // 4  K5D
    l->setFocus();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(l, Qt::Key_Delete);
    EXPECT_EQ(lines("lstboxCheckIN"), (QStringList { full[0], full[1], full[3] }));
    EXPECT_EQ(edit("editNoCheckins")->text(), "2");

    QTest::keyClick(l, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(lines("lstboxCheckIN"), (QStringList { full[0], full[1], full[3], full[4] }));
    QTest::keyClick(l, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(lines("lstboxCheckIN"), full);
    EXPECT_EQ(edit("editNoCheckins")->text(), "4");
    QTest::keyClick(l, Qt::Key_Z, Qt::ControlModifier); // nothing left to undo
    EXPECT_EQ(lines("lstboxCheckIN"), full);
}

// Not built for Windows, which has no limit on the size of a process's files to stand in
// for a full disk.
#ifndef _WIN32
TEST_F(NetPageSafety, ASaveThatRunsOutOfRoomLeavesTheOldFileAsItWas)
{
    openNetPage();
    for (int i = 0; i < 20; ++i)
        addStation(QStringLiteral("K5N%1").arg(i));
    QTemporaryDir out;
    const QString file = out.filePath("net.txt");
    const QByteArray good = "DATE : earlier\r\n1  K5OLD  Ann  Waco  TX\r\n";
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(good);
    }
    dialogs.fileNames = { file };
    {
        FileSizeLimit limit(100); // far less than the list
        click(w("panSAVE"));
    }
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, Dialogs::Kind::Error);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QDir::toNativeSeparators(file)))
        << qPrintable(dialogs.shown[0].text);
    EXPECT_EQ(readFile(file), good);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList { "net.txt" }); // no leftovers
    EXPECT_TRUE(netPage().hasUnsavedCheckIns());
    EXPECT_TRUE(note().isEmpty());

    // With room again the same save goes through and says so on the page.
    dialogs.fileNames = { file };
    click(w("panSAVE"));
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(QString::fromUtf8(readFile(file)).split("\r\n").size(), 22);
    EXPECT_FALSE(netPage().hasUnsavedCheckIns());
    EXPECT_TRUE(note().contains("net.txt"));
}
#endif

TEST_F(NetPageSafety, TheSaveDialogProposesADatedNameInTheLastFolderUsed)
{
    openNetPage();
    addStation("K5A");
    const QString name = QStringLiteral("net-%1.txt").arg(QDate::currentDate().toString(Qt::ISODate));
    dialogs.fileNames = { "" };
    click(w("panSAVE"));
    ASSERT_EQ(dialogs.proposedNames.size(), 1);
    const QFileInfo first(dialogs.proposedNames[0]);
    EXPECT_EQ(first.fileName(), name);
    EXPECT_EQ(first.absolutePath(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    EXPECT_NE(first.absolutePath(), QDir(install.path()).absolutePath());

    QTemporaryDir out;
    dialogs.fileNames = { out.filePath("tuesday.txt"), "" };
    click(w("panSAVE"));
    click(w("panSAVE"));
    ASSERT_EQ(dialogs.proposedNames.size(), 3);
    EXPECT_EQ(dialogs.proposedNames[2], QDir(out.path()).filePath(name));
}

TEST_F(NetPageSafety, AnUnsavedNetIsOfferedAtTheNextStartAndRestoredLineForLine)
{
    openNetPage();
    clickLine("lstboxROSTER", "K3XY");
    click(w("btnAdd2"));
    for (const char* call : { "K5A", "K5B", "K5C" })
        addStation(call);
    const auto l = list("lstboxCheckIN");
    l->setCurrentRow(4); // 4  K5C
    click(w("btnDelete"));
    const QStringList shown = lines("lstboxCheckIN");

    restart({ 0 });
    ASSERT_EQ(dialogs.choices.size(), 1);
    EXPECT_TRUE(dialogs.choices[0].startsWith("An unsaved net from ")) << qPrintable(dialogs.choices[0]);
    EXPECT_TRUE(dialogs.choices[0].endsWith(" with 3 check-ins was found. Restore it?"));
    EXPECT_EQ(dialogs.choiceButtons, (QStringList { "Restore", "Discard" }));
    EXPECT_EQ(lines("lstboxCheckIN"), shown);
    EXPECT_EQ(edit("editNoCheckins")->text(), "3");
    EXPECT_TRUE(netPage().hasUnsavedCheckIns());
    openNetPage();
    addStation("K5E");
    EXPECT_TRUE(lines("lstboxCheckIN").last().startsWith("5  K5E")); // after the highest given

    // Discarded at the next start: the list starts empty and the net is never offered again.
    restart({ 1 });
    EXPECT_EQ(dialogs.choices.size(), 1);
    EXPECT_TRUE(lines("lstboxCheckIN").isEmpty());
    restart({ 0 });
    EXPECT_TRUE(dialogs.choices.isEmpty());
}

TEST_F(NetPageSafety, SavedOrDiscardedOnQuitIsNeverOffered)
{
    openNetPage();
    addStation("K5A");
    QTemporaryDir out;
    dialogs.fileNames = { out.filePath("saved.txt") };
    click(w("panSAVE"));
    restart({ 0 });
    EXPECT_TRUE(dialogs.choices.isEmpty());

    openNetPage();
    addStation("K5B");
    dialogs.answers = { Dialogs::SaveChoice::Discard };
    static_cast<QWidget*>(frmMainA)->close();
    restart({ 0 });
    EXPECT_TRUE(dialogs.choices.isEmpty());
}

TEST_F(NetPageSafety, ANetKilledInTheMiddleOfItsCheckInsComesBackWhole)
{
    QProcess child;
    child.start(binaryDir() + "/bin/velmora-journal-child", { JournalFolder(), "400" });
    ASSERT_TRUE(child.waitForStarted());
    // Killed while it is still writing, once 60 check-ins are known to be durable.
    int acknowledged = 0;
    while (acknowledged < 60 && child.waitForReadyRead(10000))
        while (child.canReadLine())
            acknowledged = child.readLine().trimmed().toInt();
    ASSERT_GE(acknowledged, 60) << child.readAllStandardError().constData();
    child.kill(); // SIGKILL, or TerminateProcess on Windows: no chance to tidy up
    ASSERT_TRUE(child.waitForFinished());
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    restart({ 0 });
    ASSERT_EQ(dialogs.choices.size(), 1);
    const QStringList back = lines("lstboxCheckIN");
    ASSERT_GE(back.size(), acknowledged + 1);
    EXPECT_EQ(back[0], "DATE : 12/9/26");
    // Every line acknowledged is there, numbered without a gap, and nothing else.
    for (int i = 1; i < back.size(); ++i)
        EXPECT_EQ(back[i], QStringLiteral("%1  K%2ABC  Op %1  Waco  TX").arg(i).arg(i % 10));
}

TEST_F(NetPageSafety, AnUnwritableJournalIsToldOnceAndTheNetGoesOn)
{
    QFile blocker(install.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetJournalFolder(install.filePath("not-a-folder/velmora"));
    restart({});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains("NOT being protected"));
    openNetPage();
    addStation("K5A");
    addStation("K5B");
    EXPECT_EQ(edit("editNoCheckins")->text(), "2");
    EXPECT_EQ(dialogs.shown.size(), 0u); // openNetPage cleared the first; no second box
}

TEST_F(NetPageSafety, ADamagedJournalIsKeptAsideAndTheOperatorTold)
{
    DestroyPages();
    QFile damaged(QDir(JournalFolder()).filePath("journal.sqlite"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, '\xff'));
    damaged.close();
    restart({});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains("kept")) << qPrintable(dialogs.shown[0].text);
    const QStringList aside = QDir(JournalFolder()).entryList({ "journal.sqlite.damaged-*" });
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(QDir(JournalFolder()).filePath(aside[0])), QByteArray(4096, '\xff'));
    openNetPage();
    addStation("K5A");
    restart({ 0 });
    EXPECT_EQ(dialogs.choices.size(), 1); // the new journal protects the net
}

TEST_F(NetPageSafety, AJournalDamagedInItsMiddleIsSetAsideItsNetOfferedBackAndProtectionGoesOn)
{
    DestroyPages();
    const QStringList lastNet = journaldamage::writeNets(JournalFolder());
    const QByteArray damaged = journaldamage::damageMiddle(JournalFolder());
    ASSERT_FALSE(damaged.isEmpty());
    restart({ 0 });
    // One message, in plain words, naming both files and what was read back.
    ASSERT_EQ(dialogs.shown.size(), 1u) << qPrintable(dialogs.texts().join('|'));
    const QString told = dialogs.shown[0].text;
    const QStringList aside = QDir(JournalFolder()).entryList({ "journal.sqlite.damaged-*" });
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(QDir(JournalFolder()).filePath(aside[0])), damaged);
    EXPECT_TRUE(told.contains(QDir::toNativeSeparators(QDir(JournalFolder()).filePath(aside[0]))))
        << qPrintable(told);
    EXPECT_TRUE(told.contains(QDir::toNativeSeparators(QDir(JournalFolder()).filePath("journal.sqlite"))));
    EXPECT_TRUE(told.contains("were read back")) << qPrintable(told);
    EXPECT_FALSE(told.contains("NOT being protected"));
    EXPECT_FALSE(told.contains("btree"));
    // The unsaved net is offered back and restored, with its net control.
    ASSERT_EQ(dialogs.choices.size(), 1);
    EXPECT_TRUE(dialogs.choices[0].endsWith(" with 30 check-ins was found. Restore it?"));
    EXPECT_EQ(lines("lstboxCheckIN"), lastNet);
    EXPECT_EQ(edit("editNCS")->text(), "K5NCS");
    openNetPage();
    EXPECT_FALSE(w("lblUNPROTECTED")->isVisible());

    // Protection goes on: a net checked in and killed in the new journal comes back.
    DestroyPages();
    QProcess child;
    child.start(binaryDir() + "/bin/velmora-journal-child", { JournalFolder(), "400" });
    ASSERT_TRUE(child.waitForStarted());
    int acknowledged = 0;
    while (acknowledged < 20 && child.waitForReadyRead(10000))
        while (child.canReadLine())
            acknowledged = child.readLine().trimmed().toInt();
    ASSERT_GE(acknowledged, 20) << child.readAllStandardError().constData();
    child.kill(); // SIGKILL, or TerminateProcess on Windows: no chance to tidy up
    ASSERT_TRUE(child.waitForFinished());
    dialogs.shown.clear();
    restart({ 0 });
    EXPECT_TRUE(dialogs.shown.empty()) << qPrintable(dialogs.texts().join('|')); // the new journal is sound
    ASSERT_EQ(dialogs.choices.size(), 1);
    const QStringList back = lines("lstboxCheckIN");
    ASSERT_GE(back.size(), acknowledged + 1);
    for (int i = 1; i < back.size(); ++i)
        EXPECT_EQ(back[i], QStringLiteral("%1  K%2ABC  Op %1  Waco  TX").arg(i).arg(i % 10));
}

// Not built for Windows: it stands in for a full disk with a limit on the size of the process's files, which
// Windows does not have.
#ifndef _WIN32
TEST_F(NetPageSafety, ARedMarkSaysSoWhileCheckInsAreNotProtected)
{
    openNetPage();
    addStation("K5A");
    EXPECT_FALSE(w("lblUNPROTECTED")->isVisible());
    {
        // The disk fills up in the middle of the net.
        const qint64 wal = QFileInfo(QDir(JournalFolder()).filePath("journal.sqlite-wal")).size();
        FileSizeLimit limit(wal);
        for (int i = 0; i < 5; ++i)
            addStation(QStringLiteral("K6N%1").arg(i));
    }
    EXPECT_EQ(edit("editNoCheckins")->text(), "6");
    EXPECT_TRUE(w("lblUNPROTECTED")->isVisible());
    EXPECT_TRUE(child<QLabel>(net(), "lblUNPROTECTED")->text().contains("NOT PROTECTED"));
    EXPECT_TRUE(child<QLabel>(net(), "lblUNPROTECTED")->styleSheet().contains("#d00000"));

    // A folder where no journal can be made: the mark is there from the start.
    QFile blocker(install.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetJournalFolder(install.filePath("not-a-folder/velmora"));
    restart({});
    openNetPage();
    EXPECT_TRUE(w("lblUNPROTECTED")->isVisible());
}
#endif

TEST_F(NetPageSafety, TheNetControlsCallIsJournaledRestoredAndExported)
{
    openNetPage();
    QTest::keyClicks(edit("editNCS"), "k5ncs");
    addStation("K5A");
    addStation("K5B");
    restart({ 0 }); // killed: nothing saved
    ASSERT_EQ(dialogs.choices.size(), 1);
    EXPECT_EQ(edit("editNCS")->text(), "K5NCS");
    openNetPage();
    QTemporaryDir out;
    dialogs.fileNames = { out.filePath("net.csv") };
    click(w("btnExport"));
    EXPECT_TRUE(readFile(out.filePath("net.csv")).contains("# net control,K5NCS\r\n"))
        << readFile(out.filePath("net.csv")).left(300).constData();
    // A new net goes on with the same net control.
    dialogs.answers = { Dialogs::SaveChoice::Discard };
    QTest::keyClick(edit("editQUICK"), Qt::Key_N, Qt::ControlModifier);
    addStation("K5C");
    restart({ 0 });
    EXPECT_EQ(edit("editNCS")->text(), "K5NCS");
    EXPECT_EQ(lines("lstboxCheckIN").size(), 2);
}

TEST_F(NetPageSafety, TheSaveDialogOpensInTheFolderOfTheFileSavedLastAlsoAfterARestart)
{
    openNetPage();
    addStation("K5A");
    QTemporaryDir out;
    dialogs.fileNames = { out.filePath("tuesday.txt") };
    click(w("panSAVE"));
    restart({});
    openNetPage();
    addStation("K5B");
    // An export elsewhere in between changes nothing.
    QTemporaryDir elsewhere;
    dialogs.fileNames = { elsewhere.filePath("net.csv"), "" };
    click(w("btnExport"));
    click(w("panSAVE"));
    ASSERT_EQ(dialogs.proposedNames.size(), 3);
    EXPECT_EQ(QFileInfo(dialogs.proposedNames[2]).absolutePath(), QDir(out.path()).absolutePath());
}

TEST(NetInstallation, AFolderWithoutAnyClubDatabaseIsNamedWithHowToPointAtAnother)
{
    QTemporaryDir empty;
    RecordingDialogs dialogs;
    try {
        CreatePages(empty.path());
        FAIL() << "the pages were created on a folder without databases";
    } catch (const std::exception& e) {
        const QString text = QString::fromUtf8(e.what());
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(empty.path()))) << qPrintable(text);
        EXPECT_TRUE(text.contains("none of the club databases")) << qPrintable(text);
        EXPECT_TRUE(text.contains("--install-dir")) << qPrintable(text);
        EXPECT_FALSE(text.contains("the file does not exist")) << qPrintable(text);
    }
    EXPECT_EQ(frmNET, nullptr);
}

// Selecting stations, adding and deleting check-ins, saving, closing with unsaved work.
#include "NetFixture.h"
#include "PageProbes.h"

#include "pages/TfrmMainA.h"

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTextEdit>

namespace {
const QString blank15 = QString(15, ' ');

QByteArray readFile(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

TEST_F(NetPage, RosterClickFillsTheFieldsFromTheStationClicked)
{
    openNetPage();
    clickLine("lstboxROSTER", "K5AB");
    // K5ABC stands earlier in the table and begins with K5AB, but K5AB has its own record.
    EXPECT_EQ(selectedCall(), (QStringList { "K5AB", "Dan", "Brown", "Eve", "", "Tyler", "TX" }));
}

TEST_F(NetPage, RvRadioLeavesLastNameAndSpouseCallBlank)
{
    openNetPage();
    click(w("panRV"));
    clickLine("lstboxROSTER2", "W1RV");
    EXPECT_EQ(selectedCall(), (QStringList { "W1RV", "Tom", " ", "Uma", " ", "Boston", "MA" }));
    click(w("panReg"));
    clickLine("lstboxROSTER3", "KR6REG");
    EXPECT_EQ(selectedCall(), (QStringList { "KR6REG", "Six", " ", " ", " ", "Fresno", "CA" }));
}

TEST_F(NetPage, AddToNetAfterAFailedLookUpAddsNothing)
{
    openNetPage();
    netPage().LookUpStation("NOSUCH");
    EXPECT_EQ(selectedCall(), (QStringList { " ", " ", " ", " ", " ", "   ", "  " }));
    click(w("btnAdd2"));
    EXPECT_EQ(lines("lstboxCheckIN").size(), 1);
    // A call with blank name, city and state is a check-in all the same.
    addStation("N0NAME");
    EXPECT_EQ(lines("lstboxCheckIN").last(), "1  N0NAME" + blank15.left(12));
    EXPECT_EQ(edit("editNoCheckins")->text(), "1");
}

TEST_F(NetPage, AddToNetUsesTheFieldsAsEdited)
{
    openNetPage();
    clickLine("lstboxROSTER", "KD3Q");
    edit("editSelCITY")->setText("Erie (mobile)");
    click(w("btnAdd2"));
    EXPECT_EQ(lines("lstboxCheckIN").last(), "1  KD3Q  Fay  Erie (mobile)  PA");
}

TEST_F(NetPage, ManualInsertUpperCasesCallAndNameOnly)
{
    openNetPage();
    click(w("panAR"));
    ASSERT_TRUE(w("panS7")->isVisible());
    edit("editCALL2")->setText("ke5éa");
    edit("editNAME")->setText("josé");
    edit("editCITY")->setText("San Marcos");
    edit("editSTATE")->setText("tx");
    click(w("btnAdd"));
    EXPECT_EQ(lines("lstboxCheckIN").last(), "1  KE5ÉA  JOSÉ  San Marcos  tx");
    EXPECT_FALSE(w("panS7")->isVisible());
    EXPECT_EQ(edit("editCALL2")->text(), "ke5éa"); // the boxes keep their texts
    // Enter in a manual box adds the station too: the first Enter points out that it is
    // already checked in, the second checks it in again.
    QTest::keyClick(edit("editSTATE"), Qt::Key_Return);
    EXPECT_EQ(lines("lstboxCheckIN").size(), 2);
    EXPECT_TRUE(
        child<QLabel>(net(), "lblQUICKNOTE")->text().startsWith("KE5ÉA is already checked in as #1 at "));
    QTest::keyClick(edit("editSTATE"), Qt::Key_Return);
    EXPECT_EQ(lines("lstboxCheckIN").last(), "2  KE5ÉA  JOSÉ  San Marcos  tx");
}

TEST_F(NetPage, DeletesNeverRepeatANumberAndTheCountIsTheCheckInsListed)
{
    openNetPage();
    for (const char* call : { "K5A", "K5B", "K5C" })
        addStation(call);
    const auto l = list("lstboxCheckIN");
    l->setCurrentRow(2); // the check-in numbered 2
    click(w("btnDelete"));
    EXPECT_EQ(edit("editNoCheckins")->text(), "2");
    addStation("K5D");
    EXPECT_TRUE(lines("lstboxCheckIN").last().startsWith("4  "));
    EXPECT_EQ(edit("editNoCheckins")->text(), "3");
    // Deleting the date line does not change the count.
    l->setCurrentRow(0);
    QTest::keyClick(l, Qt::Key_Delete);
    EXPECT_EQ(lines("lstboxCheckIN").size(), 3);
    EXPECT_EQ(edit("editNoCheckins")->text(), "3");
    // Nothing selected: nothing deleted.
    l->clearSelection();
    click(w("btnDelete"));
    EXPECT_EQ(lines("lstboxCheckIN").size(), 3);
}

TEST_F(NetPage, ClickOnACheckInLineBringsTheStationBack)
{
    openNetPage();
    clickLine("lstboxROSTER", "W3XYZ");
    click(w("btnAdd2"));
    netPage().ClearSelectedCall();
    clickLine("lstboxCheckIN", "1  W3XYZ  Carl  Erie  PA");
    EXPECT_EQ(selectedCall(), (QStringList { "W3XYZ", "Carl", "Jones", "", "", "Erie", "PA" }));
    clickLine("lstboxCheckIN", lines("lstboxCheckIN").first()); // the date line only clears
    EXPECT_EQ(selectedCall(), (QStringList { " ", " ", " ", " ", " ", "   ", "  " }));
}

TEST_F(NetPage, SavedFileHoldsEveryLineWithCrLfAndReplacesAnOldOne)
{
    QTemporaryDir out;
    const QString file = out.filePath("net.txt");
    // Before the page was ever shown the list is empty: an empty file.
    dialogs.fileNames = { file };
    frmNET->panSAVEClick();
    EXPECT_EQ(readFile(file), QByteArray());

    openNetPage();
    clickLine("lstboxROSTER", "K5ABC");
    click(w("btnAdd2"));
    edit("editCALL2")->setText("n0new");
    click(w("btnAdd"));
    dialogs.fileNames = { file };
    click(w("panSAVE"));
    const QStringList shown = lines("lstboxCheckIN");
    EXPECT_EQ(readFile(file), (shown[0] + "\r\n1  K5ABC  Ann  Waco  TX\r\n2  N0NEW      \r\n").toUtf8());
    EXPECT_EQ(lines("lstboxCheckIN"), shown); // the list is not changed

    dialogs.fileNames = { "" }; // cancelled: nothing written
    click(w("panSAVE"));
    EXPECT_EQ(dialogs.saveDialogs, 3);
    EXPECT_EQ(readFile(file).count("\r\n"), 3);
}

TEST_F(NetPage, ANetOfTwoHundredCheckInsReadsBackExactly)
{
    openNetPage();
    for (int i = 0; i < 200; ++i) {
        edit("editCALL2")->setText(QStringLiteral("w%1abc").arg(i));
        edit("editNAME")->setText(QStringLiteral("name %1").arg(i));
        click(w("btnAdd"));
    }
    QTemporaryDir out;
    dialogs.fileNames = { out.filePath("big.txt") };
    click(w("panSAVE"));
    const QStringList back = QString::fromUtf8(readFile(out.filePath("big.txt"))).split("\r\n");
    EXPECT_EQ(back.mid(0, back.size() - 1), lines("lstboxCheckIN"));
    EXPECT_EQ(back.last(), "");
    EXPECT_EQ(lines("lstboxCheckIN").size(), 201);
    EXPECT_EQ(edit("editNoCheckins")->text(), "200");
}

TEST_F(NetPage, SaveFailureSaysWhyAndLeavesNothingHalfWritten)
{
    openNetPage();
    addStation("K5A");
    QTemporaryDir out;
    dialogs.fileNames = { out.filePath("no/such/folder/net.txt") };
    click(w("panSAVE"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, Dialogs::Kind::Error);
    EXPECT_TRUE(dialogs.shown[0].text.contains("net.txt"));
    EXPECT_FALSE(QFile::exists(out.filePath("no/such/folder/net.txt")));
    EXPECT_TRUE(netPage().hasUnsavedCheckIns());
    EXPECT_EQ(lines("lstboxCheckIN").size(), 2);
}

TEST_F(NetPage, ClosingWithUnsavedCheckInsAsks)
{
    openNetPage();
    QWidget* main = static_cast<QWidget*>(frmMainA);
    // Only date lines: nothing to lose, no question.
    EXPECT_TRUE(frmNET->canClose());
    addStation("K5A");

    dialogs.answers = { Dialogs::SaveChoice::Cancel };
    QSignalSpy ended(frmMainA, &TfrmMainA::programEnded);
    main->show();
    click(child(main, "panQUIT"));
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(main->isVisible());

    // Save, but the save dialog is cancelled: still open.
    dialogs.answers = { Dialogs::SaveChoice::Save };
    dialogs.fileNames = { "" };
    click(child(main, "panQUIT"));
    EXPECT_EQ(ended.count(), 0);

    QTemporaryDir out;
    dialogs.answers = { Dialogs::SaveChoice::Save };
    dialogs.fileNames = { out.filePath("last.txt") };
    click(child(main, "panQUIT"));
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(QFile::exists(out.filePath("last.txt")));
    EXPECT_FALSE(netPage().hasUnsavedCheckIns());
}

TEST_F(NetPage, DiscardingClosesWithoutSaving)
{
    openNetPage();
    addStation("K5A");
    dialogs.answers = { Dialogs::SaveChoice::Discard };
    QSignalSpy ended(frmMainA, &TfrmMainA::programEnded);
    static_cast<QWidget*>(frmMainA)->close();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(dialogs.saveDialogs, 0);
}

TEST_F(NetPage, PhoneticsAndPrintPanelsToggle)
{
    openNetPage();
    click(w("VR2"));
    EXPECT_EQ(child<DemoButton>(net(), "VR2")->color(), clGreen);
    EXPECT_TRUE(w("panPhonetics")->isVisible());
    click(w("VR2"));
    EXPECT_EQ(child<DemoButton>(net(), "VR2")->color(), clGray);
    EXPECT_FALSE(w("panPhonetics")->isVisible());

    addStation("K5A");
    click(w("Button2"));
    EXPECT_TRUE(w("panPRINT")->isVisible());
    EXPECT_EQ(child<QTextEdit>(net(), "RichEdit1")->toPlainText(), lines("lstboxCheckIN").join('\n'));
    click(w("Button3"));
    EXPECT_FALSE(w("panPRINT")->isVisible());
}

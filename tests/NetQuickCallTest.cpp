// The quick call box and the keyboard of the net page: a station checked in with its call
// and one Enter, from every source, with repeats caught and the focus where the next call goes.
#include "DataFixtures.h"
#include "NetFixture.h"
#include "PageProbes.h"

#include "licence/FccIndexLoader.h"
#include "licence/FccZip.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace {
const char* const licences[] = {
    "EN|2549679|||KF5FCC|L|L00728876|FIELD, FRAN|FRAN||FIELD|||||4 ELM "
    "ST|TULSA|OK|74101|||000|0009437072|I||||||",
    "EN|2549680|||W1AW|L|L00728877|LEAGUE, HIRAM|HIRAM||LEAGUE|||||225 MAIN "
    "ST|NEWINGTON|CT|06111|||000|1|I||||||",
};
} // namespace

class QuickCall : public NetPage {
protected:
    void writeFixture() override
    {
        NetPage::writeFixture();
        QDir(install.path()).mkpath("OrvikDB");
        ASSERT_TRUE(writeFixtureWorkbook(install.path() + "/OrvikDB/Roster_Name_ARC.xls", "quick-call"));
        QDir(install.path()).mkpath("FCCraw");
        QFile f(install.path() + "/FCCraw/EN.dat");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const char* line : licences)
            f.write(QByteArray(line) + "\r\n");
        f.close();
        // Status and dates, and the operator class, of the two licences.
        QFile hd(install.path() + "/FCCraw/HD.dat");
        ASSERT_TRUE(hd.open(QIODevice::WriteOnly));
        hd.write("HD|2549679|||KF5FCC|E|HA|09/28/2013|09/28/2023|||\r\n"
                 "HD|2549680|||W1AW|A|HA|02/15/2024|02/15/2034|||\r\n");
        hd.close();
        QFile am(install.path() + "/FCCraw/AM.dat");
        ASSERT_TRUE(am.open(QIODevice::WriteOnly));
        am.write("AM|2549679|||KF5FCC|G|D||||||||||||\r\nAM|2549680|||W1AW|E|D||||||||||||\r\n");
    }
    void SetUp() override
    {
        NetPage::SetUp();
        previous = QDir::currentPath();
        QDir::setCurrent(install.path());
        openNetPage();
        // The index is made at once here instead of after the start-up pause.
        netPage().fccCallIndex().start(
            install.path() + "/FCCraw/EN.dat", QString(), std::chrono::milliseconds(0));
        ASSERT_TRUE(netPage().fccCallIndex().waitForFinished(10000));
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        QDir::setCurrent(previous);
        NetPage::TearDown();
    }
    QLineEdit* box() const { return edit("editQUICK"); }
    // Types the text as keys, letters outside ASCII included.
    void type(const QString& text)
    {
        box()->clear();
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(box(), &press);
        }
    }
    void enter(Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(box(), Qt::Key_Return, modifiers);
    }
    QString note() const { return child<QLabel>(net(), "lblQUICKNOTE")->text(); }
    QString last() const { return lines("lstboxCheckIN").last(); }
    QStringList suggested() const { return lines("lstQUICK"); }
    CheckInSource lastSource() const
    {
        const CheckInList& l = netPage().checkInList();
        return l.at(l.size() - 1).source;
    }
    QString previous;
};

TEST_F(QuickCall, EnterChecksInTheRecordOfEachKindOfSource)
{
    type("k5abc");
    EXPECT_EQ(box()->text(), "K5ABC"); // shown in capitals
    ASSERT_FALSE(suggested().isEmpty());
    EXPECT_TRUE(suggested()[0].startsWith("K5ABC")) << qPrintable(suggested()[0]);
    enter();
    EXPECT_EQ(last(), "1  K5ABC  Ann  Waco  TX");
    EXPECT_EQ(lastSource(), CheckInSource::Roster);
    EXPECT_EQ(box()->text(), ""); // ready for the next call
    EXPECT_FALSE(w("lstQUICK")->isVisible());

    type("K9ONLY"); // on the RV roster only: its own look-up's fields
    enter();
    EXPECT_EQ(last(), "2  K9ONLY  Vic  Peoria  IL");
    EXPECT_EQ(selectedCall(), (QStringList { "K9ONLY", "Vic", " ", "Wanda", " ", "Peoria", "IL" }));

    type("KQ5SHT"); // the chapter spreadsheet, as a grid click fills
    enter();
    EXPECT_EQ(last(), "3  KQ5SHT  Quinn  Killeen  TX");
    EXPECT_EQ(lastSource(), CheckInSource::Spreadsheet);
    EXPECT_EQ(selectedCall(), (QStringList { "KQ5SHT", "Quinn", "Quill", "Rae", "KQ5RAE", "Killeen", "TX" }));

    type("KF5FCC"); // on the FCC file alone
    enter();
    EXPECT_EQ(lastSource(), CheckInSource::Fcc);
    EXPECT_TRUE(last().startsWith("4  ")) << qPrintable(last());
    EXPECT_TRUE(last().contains("KF5FCC"));
    EXPECT_TRUE(last().endsWith("TULSA  OK"));
}

TEST_F(QuickCall, ANewStationAndTheCommaFormGoInAsManualCheckIns)
{
    type("N0NEW");
    ASSERT_FALSE(suggested().isEmpty());
    EXPECT_TRUE(suggested()[0].contains("new station"));
    enter(); // a call on no list: the first Enter only says so
    EXPECT_EQ(lines("lstboxCheckIN").size(), 1);
    EXPECT_EQ(note(), "N0NEW is on no list; Enter again checks it in as new.");
    enter();
    EXPECT_EQ(last(), "1  N0NEW      ");
    EXPECT_EQ(lastSource(), CheckInSource::Manual);

    type("k5xyz, bob, Tyler, TX");
    enter();
    EXPECT_EQ(last(), "2  K5XYZ  BOB  Tyler  TX"); // call and name in capitals, city and state as typed

    // Shift+Enter only fills the fields.
    type("W3XYZ");
    enter(Qt::ShiftModifier);
    EXPECT_EQ(lines("lstboxCheckIN").size(), 3);
    EXPECT_EQ(selectedCall(), (QStringList { "W3XYZ", "Carl", "Jones", "", "", "Erie", "PA" }));
    EXPECT_EQ(box()->text(), "W3XYZ");
    // Esc clears the box.
    QTest::keyClick(box(), Qt::Key_Escape);
    EXPECT_EQ(box()->text(), "");
}

TEST_F(QuickCall, SuffixAndOneEditFindTheStationAndArrowsPickAnother)
{
    type("ONLY"); // heard only the suffix
    ASSERT_FALSE(suggested().isEmpty());
    EXPECT_TRUE(suggested()[0].startsWith("K9ONLY"));
    type("K5ABCX"); // one letter too many
    ASSERT_GE(suggested().size(), 2);
    // The nearest station comes first, the call as a new station after it.
    EXPECT_TRUE(suggested()[0].startsWith("K5ABC")) << qPrintable(suggested().join('|'));
    EXPECT_TRUE(suggested()[1].contains("new station"));
    QTest::keyClick(box(), Qt::Key_Down);
    enter();
    EXPECT_EQ(last(), "1  K5ABC  Ann  Waco  TX");
}

TEST_F(QuickCall, ARepeatIsPointedOutAndASecondEnterChecksInAgain)
{
    type("K5ABC");
    enter();
    type("K5ABC");
    EXPECT_TRUE(suggested()[0].contains("checked in"));
    enter();
    EXPECT_EQ(lines("lstboxCheckIN").size(), 2);
    EXPECT_TRUE(note().startsWith("K5ABC is already checked in as #1 at ")) << qPrintable(note());
    EXPECT_TRUE(dialogs.shown.empty()); // no box to close
    enter();
    EXPECT_EQ(last(), "2  K5ABC  Ann  Waco  TX");
    // The roster line of a station that is in stands out.
    const auto roster = list("lstboxROSTER");
    const auto items = roster->findItems("K5ABC", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    EXPECT_TRUE(items[0]->data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(roster->findItems("W3XYZ", Qt::MatchExactly)[0]->data(Qt::BackgroundRole).isValid());
}

TEST_F(QuickCall, BadInputNeverCrashesNorAddsAnEmptyCall)
{
    for (const QString& text : { QString("   "), QString("k5;abc"), QString("!!!"), QString(200, 'W'),
             QString::fromUtf8("kö5ü"), QString(","), QString(", bob, Waco"), QString("\t") }) {
        type(text);
        enter();
        enter();
    }
    for (const QString& line : lines("lstboxCheckIN"))
        EXPECT_FALSE(callOfCheckInLine(line).trimmed().isEmpty() && isCheckInLine(line)) << qPrintable(line);
    EXPECT_LE(box()->text().size(), 200);
}

TEST_F(QuickCall, TheWholePageWorksFromTheKeyboard)
{
    // The box has the focus when the page is shown and after every check-in.
    EXPECT_EQ(net()->focusWidget(), box());
    const auto roster = list("lstboxROSTER");
    roster->setFocus();
    roster->setCurrentRow(0);
    QTest::keyClick(roster, Qt::Key_Down); // arrow keys fill the fields as a click does
    EXPECT_EQ(selectedCall()[0], roster->item(1)->text());
    QTest::keyClick(roster, Qt::Key_Return); // Enter checks the station in
    EXPECT_TRUE(last().startsWith("1  " + roster->item(1)->text() + "  "));
    EXPECT_EQ(net()->focusWidget(), box());

    // F2 brings the focus back to the box from anywhere on the page.
    roster->setFocus();
    QTest::keyClick(roster, Qt::Key_F2);
    EXPECT_EQ(net()->focusWidget(), box());

    // Enter presses a focused button.
    edit("editSelCALL")->setText("N0BTN");
    w("btnAdd2")->setFocus();
    QTest::keyClick(w("btnAdd2"), Qt::Key_Return);
    EXPECT_TRUE(last().startsWith("2  N0BTN"));

    // Ctrl+S saves.
    QTemporaryDir out;
    dialogs.fileNames = { out.filePath("net.txt") };
    QTest::keyClick(box(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.saveDialogs, 1);
    EXPECT_TRUE(QFile::exists(out.filePath("net.txt")));
    EXPECT_FALSE(netPage().hasUnsavedCheckIns());
}

// Keyboard deletes take the line the operator is on, never one the position fell back to.
TEST_F(QuickCall, EndThenDeleteRemovesTheLastLineEachTime)
{
    for (const char* call : { "K5ABC", "K5AB", "W3XYZ", "KD3Q" }) {
        type(call);
        enter();
    }
    ASSERT_EQ(lines("lstboxCheckIN").size(), 5);
    const auto l = list("lstboxCheckIN");
    l->setFocus();
    for (const char* gone : { "4  KD3Q", "3  W3XYZ", "2  K5AB  " }) {
        QTest::keyClick(l, Qt::Key_End);
        QTest::keyClick(l, Qt::Key_Delete);
        EXPECT_FALSE(lines("lstboxCheckIN").join('|').contains(gone)) << gone;
    }
    EXPECT_EQ(lines("lstboxCheckIN").size(), 2);
    EXPECT_TRUE(lines("lstboxCheckIN")[1].startsWith("1  K5ABC"));
    // Nothing is selected after a delete: Delete alone removes nothing more.
    QTest::keyClick(l, Qt::Key_Delete);
    EXPECT_EQ(lines("lstboxCheckIN").size(), 2);
}

TEST_F(QuickCall, UpAndDownAfterADeleteGoToTheLinesAroundIt)
{
    for (const char* call : { "K5ABC", "K5AB", "W3XYZ" }) {
        type(call);
        enter();
    }
    const auto l = list("lstboxCheckIN");
    l->setFocus();
    l->setCurrentRow(2); // 2  K5AB
    QTest::keyClick(l, Qt::Key_Delete);
    QTest::keyClick(l, Qt::Key_Up);
    EXPECT_TRUE(l->currentItem()->text().startsWith("1  K5ABC"));
    l->setCurrentRow(1);
    QTest::keyClick(l, Qt::Key_Delete); // 1  K5ABC gone: the line below it is #3
    QTest::keyClick(l, Qt::Key_Down);
    EXPECT_TRUE(l->currentItem()->text().startsWith("3  W3XYZ"));
}

// A typed call that no source holds is never logged on the first Enter.
TEST_F(QuickCall, ACallOnNoListNamesTheNearestStationAndTakesASecondEnter)
{
    type("K9ONLX"); // one letter off K9ONLY of the RV roster
    enter();
    EXPECT_EQ(lines("lstboxCheckIN").size(), 1);
    EXPECT_EQ(note(),
        "K9ONLX is on no list. Did you mean K9ONLY (RV)? Down picks it; Enter again checks in "
        "K9ONLX as new.");
    QTest::keyClick(box(), Qt::Key_Down);
    enter();
    EXPECT_TRUE(last().startsWith("1  K9ONLY  Vic")) << qPrintable(last());

    type("K9ONLX");
    enter();
    enter(); // the second Enter checks the call in as typed
    EXPECT_EQ(last(), "2  K9ONLX      ");
    EXPECT_EQ(lastSource(), CheckInSource::Manual);
}

// A status key right after a check-in marks the station just heard.
TEST_F(QuickCall, AStatusKeyMarksTheStationJustCheckedIn)
{
    type("K5ABC");
    enter();
    list("lstboxCheckIN")->setCurrentRow(1); // the operator looked at #1
    type("W3XYZ");
    enter();
    QTest::keyClick(box(), Qt::Key_M, Qt::AltModifier);
    const CheckInList& l = netPage().checkInList();
    EXPECT_EQ(l.at(1).status, "");
    EXPECT_EQ(l.at(2).status, "M/S");
    // After a check-in the box is empty, its suggestions closed and the notice gone.
    EXPECT_EQ(box()->text(), "");
    EXPECT_FALSE(w("lstQUICK")->isVisible());
    EXPECT_EQ(note(), "");
}

TEST_F(QuickCall, NothingUnderTheOpenGridTakesKeys)
{
    type("K5ABC");
    enter();
    click(w("panAR"));
    ASSERT_TRUE(w("panS7")->isVisible());
    QTest::keyClick(w("AdvStringGrid1"), Qt::Key_R, Qt::AltModifier);
    QTest::keyClick(w("AdvStringGrid1"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(netPage().checkInList().at(1).status, "");
}

TEST_F(QuickCall, TabFollowsTheCheckInColumn)
{
    box()->setFocus();
    QStringList reached;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(
        reached, (QStringList { "lstboxCheckIN", "editNCS", "btnExport", "btnAttendance", "btnDelete" }));
}

// Whether a licence is current and its class, beside SELECTED CALL and in the suggestions.
TEST_F(QuickCall, LicenceClassAndStatusShowUnderTheSelectedCallAndInTheSuggestions)
{
    auto* licence = child<QLabel>(net(), "lblSelLICENCE");
    type("W1AW");
    EXPECT_TRUE(suggested()[0].startsWith("W1AW (E)")) << qPrintable(suggested()[0]);
    enter(Qt::ShiftModifier);
    EXPECT_EQ(licence->text(), "Extra, active to 2034-02-15");
    EXPECT_FALSE(licence->styleSheet().contains("#ff3030"));

    type("KF5FCC");
    EXPECT_TRUE(suggested()[0].contains("(G) EXPIRED")) << qPrintable(suggested()[0]);
    enter(Qt::ShiftModifier);
    EXPECT_EQ(licence->text(), "EXPIRED 2023-09-28");
    EXPECT_TRUE(licence->styleSheet().contains("#ff3030"));

    type("K5ABC"); // a club station the licence file does not hold
    enter(Qt::ShiftModifier);
    EXPECT_EQ(licence->text(), "not in the FCC file");
}

// A call that changed hands, on the real daily files: its current holder, with that
// holder's licence, in the suggestions, SELECTED CALL and the licence line.
TEST_F(QuickCall, CallThatChangedHandsGivesItsCurrentHolderWithHisLicence)
{
    QTemporaryDir real;
    FccZip zip;
    ASSERT_TRUE(zip.open(sourceDir() + "/tests/fixtures/fcc/l_am_wed.zip"));
    for (const char* name : { "EN.dat", "HD.dat", "AM.dat" }) {
        QFile f(real.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(zip.forEachLine(name, [&f](std::string_view line) {
            f.write(line.data(), qint64(line.size()));
            f.write("\r\n");
        }));
    }
    netPage().fccCallIndex().start(real.filePath("EN.dat"), QString(), std::chrono::milliseconds(0));
    ASSERT_TRUE(netPage().fccCallIndex().waitForFinished(10000));
    QCoreApplication::processEvents();

    type("K7TEA");
    ASSERT_FALSE(suggested().isEmpty());
    EXPECT_TRUE(suggested()[0].startsWith("K7TEA (G)")) << qPrintable(suggested()[0]);
    EXPECT_TRUE(suggested()[0].contains("KENT")) << qPrintable(suggested()[0]);
    EXPECT_FALSE(suggested()[0].contains("Seattle")) << qPrintable(suggested()[0]);
    enter(Qt::ShiftModifier);
    EXPECT_EQ(selectedCall().join("|"), "K7TEA|ALAN B|HOFFER| | |KENT|WA");
    EXPECT_EQ(child<QLabel>(net(), "lblSelLICENCE")->text(), "General, active to 2025-04-07");
}

// A part of a call heard: one club station that matches it is the station meant; several are
// picked with Down; the note never says that no station matches while stations are listed.
TEST_F(QuickCall, APartOfACallThatOneClubStationMatchesIsThatStation)
{
    const auto suggestions = list("lstQUICK");
    type("ONLY"); // K9ONLY alone ends with it
    EXPECT_EQ(suggestions->currentRow(), 0);
    enter();
    EXPECT_TRUE(last().startsWith("1  K9ONLY  Vic")) << qPrintable(last());

    type("REG"); // KR5REG and KR6REG
    EXPECT_EQ(suggestions->currentRow(), -1);
    enter();
    EXPECT_EQ(netPage().checkInList().checkInCount(), 1);
    EXPECT_EQ(note(), "2 stations match REG: Down picks one, Enter checks it in.");
    QTest::keyClick(box(), Qt::Key_Down);
    enter();
    EXPECT_TRUE(last().startsWith("2  KR5REG")) << qPrintable(last());

    // Only in the FCC file: listed, so never "No station matches"; Down picks it.
    type("5FCC");
    ASSERT_FALSE(suggested().isEmpty());
    EXPECT_EQ(suggestions->currentRow(), -1);
    enter();
    EXPECT_EQ(note(), "1 station matches 5FCC: Down picks it, Enter checks it in.");
    QTest::keyClick(box(), Qt::Key_Down);
    enter();
    EXPECT_TRUE(last().startsWith("3  KF5FCC")) << qPrintable(last());
    // Nothing listed at all: then it says so.
    type("QQQ");
    enter();
    EXPECT_EQ(note(), "No station matches QQQ");
    EXPECT_EQ(netPage().checkInList().checkInCount(), 3);
}

// The remembered place of a deleted line ends as soon as another line is selected.
TEST_F(QuickCall, AfterADeleteAndACheckInUpGoesAboveTheLineCheckedIn)
{
    for (const char* call : { "K5ABC", "K5AB", "W3XYZ" }) {
        type(call);
        enter();
    }
    const auto l = list("lstboxCheckIN");
    l->setFocus();
    l->setCurrentRow(2); // 2  K5AB
    QTest::keyClick(l, Qt::Key_Delete);
    type("KD3Q");
    enter(); // the new line is the selected one
    ASSERT_TRUE(l->currentItem()->text().startsWith("4  KD3Q"));
    l->setFocus();
    QTest::keyClick(l, Qt::Key_Up);
    EXPECT_TRUE(l->currentItem()->text().startsWith("3  W3XYZ")) << qPrintable(l->currentItem()->text());
    // A click selects a line too.
    QTest::keyClick(l, Qt::Key_Delete); // 3  W3XYZ gone
    l->setCurrentRow(1);
    QTest::keyClick(l, Qt::Key_Down);
    EXPECT_TRUE(l->currentItem()->text().startsWith("4  KD3Q")) << qPrintable(l->currentItem()->text());
}

// After every form, dialog and box of the page the next call typed goes into QUICK CALL.
TEST_F(QuickCall, TheFocusIsBackInQuickCallAfterEveryFormAndBox)
{
    // Closes every form the page opens, as Esc does, and counts them.
    int forms = 0;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ++forms;
            modal->reject();
        }
    });
    closer.start();
    // The page's own focus, which the window system gives back once the page is active again.
    const auto backInQuickCall = [this] {
        net()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(net()));
        return net()->focusWidget() == box() && QApplication::focusWidget() == box();
    };
    for (const char* button :
        { "btnJOIN", "btnSHARE", "btnExport", "btnAttendance", "Button2", "btnPrint" }) {
        w(button)->setFocus();
        QTest::keyClick(w(button), Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(net()->focusWidget(), box()) << button;
        EXPECT_TRUE(backInQuickCall()) << button;
    }
    // JOIN NET, SHARE NET, the range of dates of ATTENDANCE, the print dialog.
    EXPECT_GE(forms, 3);
    EXPECT_EQ(dialogs.saveDialogs, 1); // EXPORT's
    // Typing a call and Enter now checks it in and opens no form again.
    w("btnJOIN")->setFocus();
    QTest::keyClick(w("btnJOIN"), Qt::Key_Return);
    ASSERT_TRUE(backInQuickCall());
    const int opened = forms;
    QTest::keyClicks(QApplication::focusWidget(), "K5ABC");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(forms, opened);
    EXPECT_TRUE(last().startsWith("1  K5ABC")) << qPrintable(last());

    // Save from the check-in list, and a message box of the club search.
    w("lstboxCheckIN")->setFocus();
    QTest::keyClick(w("lstboxCheckIN"), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.saveDialogs, 2);
    EXPECT_TRUE(backInQuickCall());
    edit("editCALLM")->setFocus();
    edit("editCALLM")->setText("N0WHERE");
    QTest::keyClick(edit("editCALLM"), Qt::Key_Return);
    EXPECT_FALSE(dialogs.shown.empty());
    EXPECT_TRUE(backInQuickCall());
}

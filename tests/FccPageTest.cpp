// The FCC look-up page: building, searching, showing a record here and in the net
// page's selected-call fields, clearing, help, saving and the way back.
#include "PageProbes.h"
#include "TestSupport.h"

#include "app/Pages.h"
#include "controls/DemoButton.h"
#include "controls/ImageBox.h"
#include "fcc/LicenceListModel.h"
#include "fcc/TfrmFCC2.h"
#include "net/TfrmNET.h"
#include "pages/TfrmMainA.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QByteArray kLines[] = {
    "EN|1234567|||N0CALL|L|L01234567|DOE, JANE Q|JANE|Q|DOE|||||1 MAIN "
    "ST|ANYTOWN|TX|75001|||000|0001234567|I||||||",
    "EN|123456|||K5ABC|L|L00000001|SMITH, JOHN|JOHN||SMITH|||||2 OAK "
    "ST|WACO|TX|76701|||000|0000000001|I||||||",
    "EN|2549677|||K0ARC|L|L00728874|ANYTOWN AMATEUR RADIO CLUB||||||||915 Elm St|Aurora|CO|80011||ANN B "
    "COOK|000|0009437070|B||||||",
    "EN|2549678|||N5XYZ|L|L00728875|ROE, RAY|RAY||ROE|||||3 PINE ST|Bend|or|97701|||000|0009437071|I||||||",
    "EN|2549679|||K5ABC|L|L00728876|SECOND, SAM|SAM||SECOND|||||4 ELM "
    "ST|TULSA|OK|74101|||000|0009437072|I||||||",
};

class FccPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreatePages(binaryDir() + "/demo");
        ASSERT_NE(frmFCC2, nullptr);
        QDir().mkpath(dir.filePath("FCCraw"));
        QFile f(dir.filePath("FCCraw/EN.dat"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const QByteArray& line : kLines)
            f.write(line + "\r\n");
        f.close();
        frmFCC2->setLicenceFile(dir.filePath("FCCraw/EN.dat"));
        navigate(frmMainA, frmFCC2);
    }
    void TearDown() override { DestroyPages(); }

    template <typename T = QWidget> T* w(const char* name) { return child<T>(frmFCC2, name); }
    QString text(const char* name) { return w<QLineEdit>(name)->text(); }
    QString net(const char* name) { return child<QLineEdit>(frmNET, name)->text(); }
    bool shown(const char* name) { return w(name)->isVisible(); }
    void type(const char* name, const QString& value) { w<QLineEdit>(name)->setText(value); }
    QListView* list() { return w<QListView>("lstboxG"); }
    QStringList listed()
    {
        QStringList out;
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            out << list()->model()->index(row, 0).data().toString();
        return out;
    }
    void build(const QString& prefix, const QString& wanted = QString())
    {
        type("editCALL", prefix);
        type("editS", wanted);
        click(w("VR3"));
        waitForList();
    }
    // The list is read off the page's thread: the page goes on meanwhile.
    static void waitForList()
    {
        ASSERT_TRUE(QTest::qWaitFor([] { return !frmFCC2->buildingList(); }, 20000));
    }
    QStringList record()
    {
        return { text("editCALL2"), text("editLN2"), text("editFN2"), text("editCITY2"), text("editSTATE2") };
    }

    QTemporaryDir dir;
    RecordingDialogs dialogs;
};

TEST_F(FccPage, FreshPageHasItsComponentsAndCaptions)
{
    EXPECT_EQ(frmFCC2->windowTitle(), "FCC  PAGE");
    EXPECT_TRUE(frmFCC2->isVisible());
    for (const char* name : { "VR1", "Label1", "editCALL", "VR3", "lbl1", "VrDemoButton1" })
        EXPECT_TRUE(shown(name)) << name;
    for (const char* name : { "lbl2", "VR5", "VR6", "pan1", "pan2", "panS3" })
        EXPECT_FALSE(shown(name)) << name;
    const std::pair<const char*, const char*> captions[]
        = { { "VR1", "HELP" }, { "VR3", "BUILD LIST" }, { "VR6", "CLEAR LIST" }, { "VR5", "SAVE TO FILE" },
              { "VrDemoButton1", "QUIT" }, { "VRsearch", "SEARCH" } };
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(w<DemoButton>(name)->text(), caption) << name;
    const std::pair<const char*, const char*> labels[] = { { "Label1", " PREFIX " },
        { "lbl1", "<--- builds Prefix list & finds callsign , takes a few seconds  ----" },
        { "lbl2", "-----  EXTRACTED PREFIX LIST WITH SELECTED CALL------------" },
        { "Label3", "NUMBER OF CALLS WITH PREFIX :" }, { "Label4", "CALL SEARCHER :" },
        { "lblCallNotFound", "CALL NOT FOUND !" }, { "Label5", "CALL  FOUND !" } };
    for (const auto& [name, caption] : labels)
        EXPECT_EQ(w<QLabel>(name)->text(), caption) << name;
    EXPECT_EQ(w<DemoButton>("VR1")->color(), clGray);
    EXPECT_EQ(w<DemoButton>("VrDemoButton1")->color(), clRed);
    EXPECT_EQ(w<DemoButton>("VR3")->hoverColor(), clGreen);
    EXPECT_EQ(w<DemoButton>("VRsearch")->hoverColor(), clRed);
    for (const char* name : { "editNoLines", "editS", "editCALL2", "editFN2", "editLN2", "editCITY2",
             "editSTATE2", "panCallNotFound", "panCallFound", "Image1" })
        EXPECT_EQ(w(name)->parentWidget()->objectName().left(3), "pan") << name;
    EXPECT_TRUE(w<ImageBox>("Image1")->hasPicture());
    EXPECT_EQ(w<ImageBox>("Image1")->picture(), ":/pictures/fcc-help.svg");
    EXPECT_TRUE(list()->uniformItemSizes());
    EXPECT_EQ(list()->palette().color(QPalette::Base), toQColor(clBlack));
    EXPECT_EQ(list()->palette().color(QPalette::Text), toQColor(clLime));
}

TEST_F(FccPage, BuildListsCountsAndShowsTheWantedCall)
{
    build("N", "N0CALL");
    for (const char* name : { "pan1", "pan2", "lbl2", "VR5", "VR6", "panCallFound" })
        EXPECT_TRUE(shown(name)) << name;
    EXPECT_FALSE(shown("lbl1"));
    EXPECT_FALSE(shown("panCallNotFound"));
    EXPECT_EQ(text("editNoLines"), "2");
    EXPECT_EQ(listed(),
        QStringList({ QString::fromLatin1(kLines[0].mid(13)), QString::fromLatin1(kLines[3].mid(13)) }));
    EXPECT_EQ(list()->currentIndex().row(), 0);
    EXPECT_EQ(record(), QStringList({ "  N0CALL", "DOE,", " JANE Q", "ANYTOWN", "TX" }));
    EXPECT_EQ(list()->visualRect(list()->model()->index(1, 0)).height(), 20);
}

TEST_F(FccPage, ShownRecordFillsTheNetPageSelectedCallFields)
{
    child<QLineEdit>(frmNET, "editSelSFN")->setText("SPOUSE");
    child<QLineEdit>(frmNET, "editSelSCALL")->setText("W0SPS");
    build("K", "K0ARC");
    EXPECT_EQ(net("editSelCALL"), "K0ARC");
    EXPECT_EQ(net("editSelLNAME"), "ANYTOWN AMATEUR RADIO CLUB");
    EXPECT_EQ(net("editSelFN"), "");
    EXPECT_EQ(net("editSelSFN"), " ");
    EXPECT_EQ(net("editSelSCALL"), " ");
    EXPECT_EQ(net("editSelCITY"), "Aurora");
    EXPECT_EQ(net("editSelSTATE"), "CO");
    EXPECT_EQ(record(), QStringList({ "  K0ARC", "ANYTOWN AMATEUR RADIO CLUB", "", "Aurora", "CO" }));
}

TEST_F(FccPage, EmptySearcherAndLaterFailedSearchShowOnlyNotFound)
{
    build("K");
    EXPECT_TRUE(shown("panCallNotFound"));
    EXPECT_FALSE(shown("panCallFound"));
    EXPECT_EQ(record(), QStringList({ "", "", "", "", "" }));

    type("editS", "K5ABC");
    click(w("VRsearch"));
    EXPECT_TRUE(shown("panCallFound"));
    EXPECT_FALSE(shown("panCallNotFound"));
    EXPECT_EQ(list()->currentIndex().row(), 0); // the first of the two K5ABC lines
    EXPECT_EQ(text("editLN2"), "SMITH,");

    for (const char* wanted : { "K5AB", "k5abc", "K5ABC " }) {
        type("editS", wanted);
        click(w("VRsearch"));
        EXPECT_TRUE(shown("panCallNotFound")) << wanted;
        EXPECT_FALSE(shown("panCallFound")) << wanted;
        EXPECT_EQ(text("editCALL2"), "  K5ABC") << wanted; // the record keeps what it showed
    }
}

TEST_F(FccPage, BuildsAppendKThenNAndCountBoth)
{
    build("K");
    build("N");
    EXPECT_EQ(text("editNoLines"), "5");
    const QStringList lines = listed();
    ASSERT_EQ(lines.size(), 5);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lines[i].startsWith('K')) << i;
    for (int i = 3; i < 5; ++i)
        EXPECT_TRUE(lines[i].startsWith('N')) << i;
    build("", "");
    EXPECT_EQ(text("editNoLines"), "10");
}

TEST_F(FccPage, ActivationClearsTheListButKeepsTheEdits)
{
    build("K", "K0ARC");
    click(w("VrDemoButton1"));
    EXPECT_FALSE(frmFCC2->isVisible());
    EXPECT_TRUE(static_cast<QWidget*>(frmNET)->isVisible());
    navigate(frmNET, frmFCC2);

    EXPECT_FALSE(shown("pan1"));
    EXPECT_FALSE(shown("pan2"));
    EXPECT_EQ(list()->model()->rowCount(), 0);
    EXPECT_EQ(record(), QStringList({ "", "", "", "", "" }));
    EXPECT_EQ(text("editCALL"), "K");
    EXPECT_EQ(text("editS"), "K0ARC");
    EXPECT_EQ(text("editNoLines"), "3");
    EXPECT_TRUE(shown("lbl2"));
    EXPECT_FALSE(shown("lbl1"));
    EXPECT_TRUE(shown("VR5"));
    EXPECT_TRUE(shown("VR6"));
    // The net page keeps what the record wrote.
    EXPECT_EQ(net("editSelCALL"), "K0ARC");

    build("K", "K0ARC");
    click(w("VR6")); // CLEAR LIST does the same
    EXPECT_FALSE(shown("pan1"));
    EXPECT_EQ(list()->model()->rowCount(), 0);
    EXPECT_EQ(text("editNoLines"), "3");
}

TEST_F(FccPage, OperatorsClickAndArrowKeysShowARecordWhileNotFoundStays)
{
    build("", "NOPE");
    ASSERT_TRUE(shown("panCallNotFound"));
    QListView* view = list();
    view->setFocus();
    const QRect third = view->visualRect(view->model()->index(2, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, third.center());
    EXPECT_EQ(view->currentIndex().row(), 2);
    EXPECT_EQ(record(), QStringList({ "  K0ARC", "ANYTOWN AMATEUR RADIO CLUB", "", "Aurora", "CO" }));
    EXPECT_EQ(net("editSelCALL"), "K0ARC");
    EXPECT_TRUE(shown("panCallNotFound"));
    EXPECT_FALSE(shown("panCallFound"));

    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(record(), QStringList({ "  N5XYZ", "ROE,", " RAY", "Bend", "or" }));
    EXPECT_EQ(net("editSelSTATE"), "or");
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(text("editCALL2"), "  K0ARC");
    EXPECT_TRUE(shown("panCallNotFound"));
}

TEST_F(FccPage, SelectionBySearchIsNotTakenForAClick)
{
    build("K");
    // The operator has edited the net page's city; a search that finds nothing must
    // leave it, and a search that finds a line shows that line once.
    child<QLineEdit>(frmNET, "editSelCITY")->setText("EDITED");
    type("editS", "NONE");
    click(w("VRsearch"));
    EXPECT_EQ(net("editSelCITY"), "EDITED");
    type("editS", "K0ARC");
    click(w("VRsearch"));
    EXPECT_EQ(net("editSelCITY"), "Aurora");
    EXPECT_EQ(list()->currentIndex().row(), 1);
    EXPECT_TRUE(list()->selectionModel()->isSelected(list()->currentIndex()));
}

TEST_F(FccPage, HelpTogglesItsPictureAndEndsGrey)
{
    auto* help = w<DemoButton>("VR1");
    click(help);
    EXPECT_EQ(help->color(), clGreen);
    EXPECT_TRUE(shown("panS3"));
    EXPECT_TRUE(shown("Image1"));
    click(help);
    EXPECT_EQ(help->color(), clGray);
    EXPECT_FALSE(shown("panS3"));
}

TEST_F(FccPage, UnreadableFileIsNamedAndOnlyTheListStaysAsItWas)
{
    build("K");
    const QString missing = dir.filePath("FCCraw/none/EN.dat");
    frmFCC2->setLicenceFile(missing);
    build("N", "K5ABC");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, Dialogs::Kind::Message);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QDir::toNativeSeparators(missing)))
        << dialogs.shown[0].text.toStdString();
    EXPECT_EQ(list()->model()->rowCount(), 3);
    // The rest of BUILD LIST goes on: panels, count, and the search in the list there is.
    for (const char* name : { "pan1", "pan2", "lbl2", "VR5", "VR6", "panCallFound" })
        EXPECT_TRUE(shown(name)) << name;
    EXPECT_FALSE(shown("panCallNotFound"));
    EXPECT_EQ(text("editNoLines"), "3");
    EXPECT_EQ(record(), QStringList({ "  K5ABC", "SMITH,", " JOHN", "WACO", "TX" }));
    EXPECT_EQ(net("editSelCALL"), "K5ABC");

    // After CLEAR LIST the same build shows an empty list, its count and "not found".
    click(w("VR6"));
    build("N", "K5ABC");
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(shown("pan1"));
    EXPECT_TRUE(shown("pan2"));
    EXPECT_EQ(text("editNoLines"), "0");
    EXPECT_TRUE(shown("panCallNotFound"));
    EXPECT_FALSE(shown("panCallFound"));
}

TEST_F(FccPage, EnterInThePrefixBoxBuildsAndEnterInTheSearcherSearches)
{
    type("editCALL", "K");
    type("editS", "");
    QTest::keyClick(w("editCALL"), Qt::Key_Return);
    waitForList();
    EXPECT_TRUE(shown("pan1"));
    EXPECT_EQ(text("editNoLines"), "3");
    EXPECT_TRUE(shown("panCallNotFound"));

    type("editS", "K0ARC");
    QTest::keyClick(w("editS"), Qt::Key_Return);
    EXPECT_TRUE(shown("panCallFound"));
    EXPECT_FALSE(shown("panCallNotFound"));
    EXPECT_EQ(record()[0], "  K0ARC");
    EXPECT_EQ(text("editNoLines"), "3"); // a search, not another build

    type("editS", "N0CALL"); // not in the K list
    QTest::keyClick(w("editS"), Qt::Key_Enter); // the keypad's Enter as well
    EXPECT_TRUE(shown("panCallNotFound"));
    QTest::keyClick(w("editCALL"), Qt::Key_Enter);
    waitForList();
    EXPECT_EQ(text("editNoLines"), "6");
}

TEST_F(FccPage, OpensInTheWindowsPlaceSizeAndState)
{
    EXPECT_EQ(frmFCC2->geometry(), static_cast<QWidget*>(frmMainA)->geometry());
    navigate(frmFCC2, frmNET);
    static_cast<QWidget*>(frmNET)->showMaximized();
    QTest::qWait(50);
    navigate(frmNET, frmFCC2);
    EXPECT_TRUE(frmFCC2->windowState() & Qt::WindowMaximized);
}

#ifdef Q_OS_UNIX
TEST_F(FccPage, ClosingThePageDuringABuildDropsThatBuild)
{
    // The licence file is a pipe: the build lasts until the test writes the records, which
    // it does only after it has closed the page while the build was running.
    const QString pipe = dir.filePath("EN.pipe");
    // The page stops reading once it is closed: the writer then meets a closed pipe, which
    // must end its writing, not the test program.
    const auto oldPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    const auto restorePipe = qScopeGuard([oldPipeHandler] { std::signal(SIGPIPE, oldPipeHandler); });
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    frmFCC2->setLicenceFile(pipe);
    std::atomic<bool> go { false };
    std::thread writer([&] {
        while (!go)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY);
        if (fd < 0)
            return;
        for (const QByteArray& line : kLines) {
            const QByteArray bytes = line + "\r\n";
            if (::write(fd, bytes.constData(), std::size_t(bytes.size())) < 0)
                break;
        }
        ::close(fd);
    });
    bool closedDuringBuild = false;
    QString stateWhenLeft;
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!QApplication::overrideCursor())
            return; // no build running yet
        closer.stop();
        closedDuringBuild = frmFCC2->isVisible();
        frmFCC2->close(); // the window frame's close: back to the net page
        // The operator goes on working there.
        child<QLineEdit>(frmNET, "editSelCALL")->setText("K9TYPED");
        child<QLineEdit>(frmNET, "editSelCITY")->setText("Akron");
        stateWhenLeft = child<QLineEdit>(frmNET, "editSelSTATE")->text();
        go = true;
    });
    closer.start();
    build("K", "K5ABC");
    closer.stop();
    go = true;
    // Should the build not have waited for the pipe, nothing is left waiting for a reader.
    const int unblock = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
    writer.join();
    if (unblock >= 0)
        ::close(unblock);

    ASSERT_TRUE(closedDuringBuild);
    EXPECT_FALSE(frmFCC2->isVisible());
    EXPECT_TRUE(frmNET->isVisible());
    EXPECT_EQ(net("editSelCALL"), "K9TYPED");
    EXPECT_EQ(net("editSelCITY"), "Akron");
    EXPECT_EQ(net("editSelSTATE"), stateWhenLeft);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(list()->model()->rowCount(), 0);
    EXPECT_TRUE(text("editNoLines").isEmpty());
    EXPECT_TRUE(w("pan1")->isHidden());

    // The page works as ever afterwards.
    frmFCC2->setLicenceFile(dir.filePath("FCCraw/EN.dat"));
    navigate(frmNET, frmFCC2);
    build("K", "K5ABC");
    EXPECT_EQ(text("editNoLines"), "3");
    EXPECT_EQ(net("editSelCALL"), "K5ABC");
}
#endif

TEST_F(FccPage, DefaultFileIsTheOneBelowTheInstallationFolder)
{
    frmFCC2->setLicenceFile(QString());
    const QString demo = binaryDir() + "/demo/FCCraw/EN.dat";
    EXPECT_EQ(frmFCC2->licenceFile(), QDir::toNativeSeparators(QFileInfo(demo).absoluteFilePath()));
    QFile f(demo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "the demo licence file is made by the build";
    int kCalls = 0;
    while (!f.atEnd())
        kCalls += f.readLine().split('|').value(4).startsWith('K');
    ASSERT_GT(kCalls, 0);
    build("K");
    EXPECT_EQ(text("editNoLines"), QString::number(kCalls));
}

TEST_F(FccPage, TextsThatCannotStandInTheFileMatchNothing)
{
    build("K\u20ac");
    EXPECT_EQ(text("editNoLines"), "0");
    build("K", "K5ABC\u20ac");
    EXPECT_TRUE(shown("panCallNotFound"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FccPage, SaveWritesTheListWithCrLfAndReportsFailures)
{
    build("N");
    dialogs.fileNames = { dir.filePath("saved.txt") };
    click(w("VR5"));
    QFile saved(dir.filePath("saved.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), kLines[0].mid(13) + "\r\n" + kLines[3].mid(13) + "\r\n");
    EXPECT_TRUE(dialogs.shown.empty());

    click(w("VR5")); // cancelled: nothing happens
    EXPECT_EQ(dialogs.saveDialogs, 2);
    EXPECT_TRUE(dialogs.shown.empty());

    const QString bad = dir.filePath("no/such/folder/list.txt");
    dialogs.fileNames = { bad };
    click(w("VR5"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, Dialogs::Kind::Error);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QDir::toNativeSeparators(bad)));
    EXPECT_FALSE(QFile::exists(bad));
}

} // namespace

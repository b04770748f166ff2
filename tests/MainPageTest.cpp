// The main page: start panel, menu, navigation round trips, closing, errors, options.
#include "PageProbes.h"
#include "TestSupport.h"

#include "app/Options.h"
#include "app/Pages.h"
#include "controls/DemoButton.h"
#include "controls/FacePanel.h"
#include "pages/TfrmMainA.h"

#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class MainPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreatePages(QStringLiteral(VELMORA_BINARY_DIR "/demo"));
        ASSERT_NE(frmMainA, nullptr);
    }
    void TearDown() override { DestroyPages(); }

    QWidget* w(const char* name) { return child(frmMainA, name); }
    RecordingDialogs dialogs;
};

TEST_F(MainPage, OnlyHelpAndPreambleBeforeStartThenTheWholeMenu)
{
    EXPECT_EQ(frmMainA->windowTitle(), "MAIN PAGE");
    EXPECT_TRUE(frmMainA->isVisible());
    EXPECT_TRUE(w("panSTART")->isVisible());
    EXPECT_TRUE(w("pan1A")->isVisible());
    EXPECT_FALSE(w("pan2A")->isVisible());
    EXPECT_TRUE(child<QLineEdit>(frmMainA, "editPATH")->text().isEmpty());

    click(w("VRstart"));

    EXPECT_FALSE(w("panSTART")->isVisible());
    EXPECT_TRUE(w("pan1A")->isVisible());
    EXPECT_TRUE(w("pan2A")->isVisible());
    for (const char* name : { "VR1", "VR3", "VR4", "VR5", "VR6", "VrDemoButton1" })
        EXPECT_TRUE(w(name)->isVisible()) << name;
    EXPECT_EQ(child<QLineEdit>(frmMainA, "editPATH")->text(), QDir::toNativeSeparators(QDir::currentPath()));
}

TEST_F(MainPage, OnlyTheMainPageIsVisibleAtStartAndPagesHaveTheirCaptions)
{
    const std::pair<QWidget*, const char*> pages[] = {
        { static_cast<QWidget*>(frmINFO), "INFORMATIONAL PAGE" },
        { static_cast<QWidget*>(frmTimeZone), "TimeZone Page" },
        { static_cast<QWidget*>(frmRVnets), "RV NET FREQUENCIES" },
        { static_cast<QWidget*>(frmMAPS), "MAP PAGE" },
        { static_cast<QWidget*>(frmNET), "NET CALLING PAGE" },
        { static_cast<QWidget*>(frmFCC2), "FCC  PAGE" },
        { static_cast<QWidget*>(frmPreAmp), "" },
    };
    for (const auto& [page, caption] : pages) {
        ASSERT_NE(page, nullptr);
        EXPECT_FALSE(page->isVisible()) << caption;
        EXPECT_EQ(page->windowTitle(), QString::fromLatin1(caption));
    }
}

TEST_F(MainPage, EveryMenuButtonRoundTripKeepsTheMainPageState)
{
    click(w("VRstart"));
    const QString path = child<QLineEdit>(frmMainA, "editPATH")->text();
    const std::pair<const char*, QWidget*> trips[] = {
        { "VR1", static_cast<QWidget*>(frmINFO) },
        { "VR3", static_cast<QWidget*>(frmPreAmp) },
        { "VR4", static_cast<QWidget*>(frmNET) },
        { "VR5", static_cast<QWidget*>(frmTimeZone) },
        { "VR6", static_cast<QWidget*>(frmMAPS) },
        { "VrDemoButton1", static_cast<QWidget*>(frmRVnets) },
    };
    for (const auto& [button, target] : trips) {
        click(w(button));
        EXPECT_FALSE(frmMainA->isVisible()) << button;
        EXPECT_TRUE(target->isVisible()) << button;
        // Every page's quit control leads back: the icon where the page has one.
        QWidget* quit = target->findChild<QWidget*>(QStringLiteral("Image1"));
        if (!quit || !quit->isVisible())
            quit = target->findChild<QWidget*>(QStringLiteral("panQUIT"));
        ASSERT_NE(quit, nullptr) << button;
        click(quit);
        EXPECT_FALSE(target->isVisible()) << button;
        EXPECT_TRUE(frmMainA->isVisible()) << button;
        EXPECT_TRUE(w("pan2A")->isVisible()) << button;
        EXPECT_FALSE(w("panSTART")->isVisible()) << button;
        EXPECT_EQ(child<QLineEdit>(frmMainA, "editPATH")->text(), path) << button;
    }
}

TEST_F(MainPage, QuitPanelAndIconEndTheProgram)
{
    for (const char* name : { "panQUIT", "Image1" }) {
        frmMainA->show();
        QSignalSpy ended(frmMainA, &TfrmMainA::programEnded);
        click(w(name));
        EXPECT_EQ(ended.count(), 1) << name;
        EXPECT_FALSE(frmMainA->isVisible()) << name;
    }
}

TEST_F(MainPage, ExceptionInAHandlerIsShownAndSurvived)
{
    auto* panel = new FacePanel(frmMainA);
    panel->setGeometry(0, 0, 20, 20);
    QObject::connect(panel, &FacePanel::clicked, [] { throw std::runtime_error("field not found: AREA"); });
    click(panel);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, Dialogs::Kind::Error);
    EXPECT_EQ(dialogs.shown[0].text, "field not found: AREA");
    // The program carries on: the page still works.
    click(w("VRstart"));
    EXPECT_TRUE(w("pan2A")->isVisible());
}

Options parse(std::initializer_list<const char*> args)
{
    std::vector<const char*> argv { "velmora" };
    argv.insert(argv.end(), args.begin(), args.end());
    return parseOptions(int(argv.size()), argv.data());
}

TEST(Options, InstallFolderHelpVersionAndUnknownOptions)
{
    EXPECT_EQ(parse({}).action, Options::Action::Run);
    EXPECT_EQ(parse({}).installFolder, defaultInstallFolder());
    EXPECT_EQ(parse({ "--install-dir", "/srv/net" }).installFolder, "/srv/net");
    EXPECT_EQ(parse({ "--install-dir=/srv/x" }).installFolder, "/srv/x");

    const Options help = parse({ "--help" });
    EXPECT_EQ(help.action, Options::Action::PrintAndExit);
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_TRUE(help.output.contains("--install-dir"));

    const Options version = parse({ "--version" });
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.output, QStringLiteral("velmora " VELMORA_VERSION "\n"));

    const Options unknown = parse({ "--colour" });
    EXPECT_EQ(unknown.action, Options::Action::PrintAndExit);
    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_TRUE(unknown.output.contains("unknown option '--colour'"));

    EXPECT_EQ(parse({ "--install-dir" }).exitStatus, 2);
}

} // namespace

TEST(DemoButtonKeys, EnterAndSpacePressTheFocusedButton)
{
    DemoButton button;
    button.setText("START");
    QSignalSpy clicked(&button, &QPushButton::clicked);
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Space);
    for (int i = 0; i < 100 && clicked.count() < 2; ++i)
        QTest::qWait(20); // the Enter press is animated
    EXPECT_EQ(clicked.count(), 2);
    // The caption turns blue while the pointer is over the button.
    EXPECT_EQ(button.captionColor(), clWhite);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(button.captionColor(), clBlue);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.captionColor(), clWhite);
}

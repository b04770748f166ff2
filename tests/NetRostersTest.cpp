// Group and area choice, roster lists and activation of the net calling page.
#include "NetFixture.h"
#include "PageProbes.h"

#include "pages/TfrmMainA.h"

#include <QDate>
#include <QLocale>

TEST_F(NetPage, CreatedWithArcChosenAndNothingListed)
{
    EXPECT_EQ(frmNET->windowTitle(), "NET CALLING PAGE");
    EXPECT_EQ(netPage().currentGroup(), 0);
    EXPECT_EQ(face("panARC"), clGreen);
    EXPECT_EQ(face("panRV"), clGray);
    EXPECT_EQ(face("panENTIRE"), clGreen);
    EXPECT_EQ(face("panA3"), clRed);
    EXPECT_EQ(panel("panA3")->caption(), "area  3");
    EXPECT_EQ(face("panGROUP"), clGreen);
    EXPECT_TRUE(lines("lstboxROSTER").isEmpty());
    EXPECT_TRUE(lines("lstboxCheckIN").isEmpty());
}

TEST_F(NetPage, ActivationAddsADateLineAndListsTheArcRoster)
{
    openNetPage();
    const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    EXPECT_EQ(lines("lstboxCheckIN"), QStringList { "DATE : " + today });
    EXPECT_EQ(edit("editDATE")->text(), today);
    EXPECT_EQ(lines("lstboxROSTER"),
        (QStringList { "K5ABC", "W3XYZ", "K5AB", "N3OLD", "N3SP", "N3TR", "W0NUL", "KD3Q", "WB7ALL" }));
    EXPECT_EQ(edit("editRosterCNT")->text(), "9");
    EXPECT_EQ(netPage().currentGroup(), 1);
}

TEST_F(NetPage, EachGroupStartsFromItsOwnFirstRecord)
{
    openNetPage();
    click(w("panRV"));
    EXPECT_EQ(netPage().currentGroup(), 2);
    EXPECT_TRUE(w("panRV2")->isVisible());
    EXPECT_FALSE(w("panARC2")->isVisible());
    EXPECT_EQ(lines("lstboxROSTER2"), (QStringList { "K5RV1", "N5RV2", "W1RV", "K9ONLY" }));
    EXPECT_EQ(edit("editRosterCNT2")->text(), "4");
    click(w("panA5")); // an AREA stored as a number lists like text
    EXPECT_EQ(lines("lstboxROSTER2"), (QStringList { "K5RV1", "N5RV2" }));
    EXPECT_EQ(edit("editRosterCNT2")->text(), "2");

    click(w("panReg"));
    EXPECT_EQ(lines("lstboxROSTER3"), (QStringList { "KR5REG", "KR5TWO", "KR6REG" }));
    click(w("panA5"));
    EXPECT_EQ(lines("lstboxROSTER3"), QStringList { "KR5TWO" });

    click(w("panWBCII"));
    EXPECT_EQ(lines("lstboxROSTER4"), (QStringList { "WB7ALL", "W4WB", "W4WB" }));
    click(w("panA4"));
    EXPECT_EQ(lines("lstboxROSTER4"), (QStringList { "W4WB", "W4WB" }));

    click(w("panARC"));
    click(w("panA5"));
    EXPECT_EQ(lines("lstboxROSTER"), (QStringList { "K5ABC", "K5AB" }));
}

TEST_F(NetPage, AreaMatchesTheSingleDigitExactly)
{
    openNetPage();
    click(w("panA3"));
    // Leading zero, leading blank and trailing blank are not area 3; an empty AREA is in no area.
    EXPECT_EQ(lines("lstboxROSTER"), (QStringList { "W3XYZ", "KD3Q" }));
    EXPECT_EQ(edit("editRosterCNT")->text(), "2");
    EXPECT_EQ(face("panA3"), clGreen);
    EXPECT_EQ(face("panENTIRE"), clRed);
    click(w("panA0"));
    EXPECT_TRUE(lines("lstboxROSTER").isEmpty());
    EXPECT_EQ(edit("editRosterCNT")->text(), "0");
}

TEST_F(NetPage, EntireAlwaysReloadsButTheGreenGroupDoesNothing)
{
    openNetPage();
    click(w("panA3"));
    const QStringList area = lines("lstboxROSTER");
    click(w("panARC")); // already chosen: no reload, the area list stays
    EXPECT_EQ(lines("lstboxROSTER"), area);
    EXPECT_LT(area.size(), 9);
    click(w("panENTIRE")); // green already, still reloads
    EXPECT_EQ(lines("lstboxROSTER").size(), 9);
}

TEST_F(NetPage, GroupResetHidesEveryRosterAndAreasFillNoHiddenList)
{
    openNetPage();
    click(w("panRV"));
    click(w("panGROUP"));
    EXPECT_EQ(face("panGROUP"), clGreen);
    for (const char* p : { "panARC", "panRV", "panReg", "panWBCII", "panCALL" })
        EXPECT_EQ(face(p), clGray) << p;
    for (const char* p : { "panARC2", "panRV2", "panReg2", "panWBCII2" })
        EXPECT_FALSE(w(p)->isVisible()) << p;
    EXPECT_EQ(netPage().currentGroup(), 0);
    const QStringList rv = lines("lstboxROSTER2");
    click(w("panA1"));
    EXPECT_EQ(face("panA1"), clGreen);
    EXPECT_EQ(lines("lstboxROSTER2"), rv);
    // Any group can be chosen again.
    click(w("panRV"));
    EXPECT_TRUE(w("panRV2")->isVisible());
}

TEST_F(NetPage, ComingBackAddsNoSecondDateLineAndKeepsTheRosterOnScreen)
{
    openNetPage();
    click(w("panRV"));
    click(w("panQUIT"));
    EXPECT_FALSE(net()->isVisible());
    EXPECT_TRUE(static_cast<QWidget*>(frmMainA)->isVisible());
    click(child(static_cast<QWidget*>(frmMainA), "VR4"));
    EXPECT_EQ(lines("lstboxCheckIN").size(), 1); // one date line a day
    EXPECT_EQ(netPage().currentGroup(), 2);
    // The RV panel stays green and its list visible, as the operator left them.
    EXPECT_EQ(face("panRV"), clGreen);
    EXPECT_TRUE(w("panRV2")->isVisible());
}

TEST_F(NetPage, MessageBoxesOfThePageDoNotRunTheActivationAgain)
{
    openNetPage();
    click(w("panRV"));
    edit("editCALLM")->setText("NOSUCH");
    click(w("VRSEARCH"));
    edit("editCALLRV")->setText("NOSUCH");
    click(w("btnRV"));
    EXPECT_EQ(
        dialogs.texts(), (QStringList { "CALL NOT FOUND IN DATABASE ! ", "CALL NOT FOUND IN DATABASE ! " }));
    EXPECT_EQ(lines("lstboxCheckIN").size(), 1);
    EXPECT_EQ(netPage().currentGroup(), 2);
    click(w("panA9")); // still acts on the RV list on screen
    EXPECT_EQ(lines("lstboxROSTER2"), QStringList { "K9ONLY" });
}

TEST_F(NetPage, FccButtonShowsTheFccPageAndItsQuitComesBack)
{
    openNetPage();
    EXPECT_EQ(child<QPushButton>(net(), "VR3")->text(), "FCC");
    click(w("VR3"));
    EXPECT_FALSE(net()->isVisible());
    QWidget* fcc = static_cast<QWidget*>(frmFCC2);
    EXPECT_TRUE(fcc->isVisible());
}

class NetPageWithoutArea : public NetPage {
    void writeFixture() override
    {
        jet4::Table wbc { "wbcci", { { "Call" }, { "NameS" }, { "CITY" }, { "STATE" } },
            { { "W4A", "A", "B", "C" }, { "W4B", "D", "E", "F" }, { "W4C", "G", "H", "I" } } };
        jet4::Table empty { "RepCheckIn", { { "Call" }, { "AREA" }, { "NameS" }, { "City" }, { "State" } },
            {} };
        netfixture::writeInstall(install.path(), netfixture::amber(), netfixture::abc(), empty, wbc);
    }
};

TEST_F(NetPageWithoutArea, MissingAreaColumnIsReportedAndTheCountKept)
{
    openNetPage();
    click(w("panWBCII"));
    EXPECT_EQ(lines("lstboxROSTER4"), (QStringList { "W4B", "W4C" }));
    EXPECT_EQ(edit("editRosterCNT4")->text(), "2");
    click(w("panA4"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, Dialogs::Kind::Error);
    EXPECT_TRUE(dialogs.shown[0].text.contains("AREA")) << qPrintable(dialogs.shown[0].text);
    EXPECT_EQ(edit("editRosterCNT4")->text(), "2");
    EXPECT_EQ(face("panA4"), clGreen);
}

TEST_F(NetPageWithoutArea, EmptyTableListsNothingWithCountZero)
{
    openNetPage();
    click(w("panReg"));
    EXPECT_TRUE(lines("lstboxROSTER3").isEmpty());
    EXPECT_EQ(edit("editRosterCNT3")->text(), "0");
    click(w("panA5"));
    EXPECT_EQ(edit("editRosterCNT3")->text(), "0");
}

TEST(NetPageStart, MissingDatabaseStopsTheStartWithItsFullPath)
{
    QTemporaryDir dir;
    netfixture::writeInstall(dir.path());
    QFile::remove(dir.path() + "/database/WBCII.mdb");
    try {
        CreatePages(dir.path());
        DestroyPages();
        FAIL() << "the pages were created without a database";
    } catch (const std::exception& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(
            QDir::toNativeSeparators(dir.path() + "/database/WBCII.mdb")))
            << e.what();
    }
    EXPECT_EQ(frmMainA, nullptr);
    EXPECT_EQ(frmNET, nullptr);
}

TEST_F(NetPage, ClosingThePageFromItsFrameGoesBackToTheMainPage)
{
    openNetPage();
    net()->close();
    EXPECT_FALSE(net()->isVisible());
    EXPECT_TRUE(static_cast<QWidget*>(frmMainA)->isVisible());
    EXPECT_EQ(lines("lstboxCheckIN").size(), 1); // nothing lost
}

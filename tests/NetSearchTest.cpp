// The club database search and the roster search boxes.
#include "NetFixture.h"
#include "PageProbes.h"

TEST_F(NetPage, CallInTwoRostersFillsEachBoxFromTheLastRosterThatSuppliesIt)
{
    openNetPage();
    edit("editCALLM")->setText("WB7ALL");
    click(w("VRSEARCH"));
    EXPECT_EQ(lines("lstboxCALLS"), (QStringList { "FMCA ARC", "WBCCI Service net" }));
    // Name, city and state from the WBCCI roster; last name, spouse and spouse call from ARC.
    EXPECT_EQ(
        selectedCall(), (QStringList { "WB7ALL", "Gus W", "Green", "Hal", "N7HAL", "Carson City", "NV" }));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(netPage().currentGroup(), 1);
}

TEST_F(NetPage, CallOnlyInTheRvRosterFillsCallAndNameOnly)
{
    openNetPage();
    clickLine("lstboxROSTER", "K5ABC");
    edit("editCALLM")->setText("K9ONLY");
    QTest::keyClick(edit("editCALLM"), Qt::Key_Return); // Enter searches too
    EXPECT_EQ(lines("lstboxCALLS"), QStringList { "RV Radio Network" });
    EXPECT_EQ(selectedCall(), (QStringList { "K9ONLY", "Vic", " ", " ", " ", "   ", "  " }));
}

TEST_F(NetPage, PartialEntryFindsTheFirstCallThatBeginsWithIt)
{
    openNetPage();
    edit("editCALLM")->setText("KR5");
    click(w("VRSEARCH"));
    EXPECT_EQ(lines("lstboxCALLS"), QStringList { "Regular Check-ins" });
    EXPECT_EQ(edit("editSelCALL")->text(), "KR5");
    EXPECT_EQ(edit("editSelFN")->text(), "Reggie");
}

TEST_F(NetPage, LowerCaseEntryIsFoundOnlyBySecondLookAndStillReportedMissing)
{
    openNetPage();
    const QStringList before = selectedCall();
    edit("editCALLM")->setText("k5abc");
    click(w("VRSEARCH"));
    EXPECT_EQ(dialogs.texts(), (QStringList { "found", "CALL NOT FOUND IN DATABASE ! " }));
    EXPECT_EQ(dialogs.shown[0].kind, Dialogs::Kind::Message);
    EXPECT_TRUE(lines("lstboxCALLS").isEmpty());
    EXPECT_EQ(selectedCall(), before);
}

TEST_F(NetPage, EmptyEntryMatchesTheFirstRecordOfEveryTable)
{
    openNetPage();
    edit("editCALLM")->setText("");
    click(w("VRSEARCH"));
    // Every call begins with it: each roster's line names the call it matched, and SELECTED
    // CALL shows the first of them whole, nothing of the others.
    EXPECT_EQ(lines("lstboxCALLS"),
        (QStringList { "FMCA ARC: K5ABC", "RV Radio Network: K5ZZZ", "Regular Check-ins: KR5REG",
            "WBCCI Service net: W4PLACE" }));
    EXPECT_EQ(selectedCall(), (QStringList { "K5ABC", "Ann", "Smith", "Bob", "K5BOB", "Waco", "TX" }));
}

TEST_F(NetPage, SearchEmptiesTheFoundListFirst)
{
    openNetPage();
    edit("editCALLM")->setText("WB7ALL");
    click(w("VRSEARCH"));
    edit("editCALLM")->setText("K9ONLY");
    click(w("VRSEARCH"));
    EXPECT_EQ(lines("lstboxCALLS"), QStringList { "RV Radio Network" });
}

TEST_F(NetPage, RosterSearchSelectsTheLastEqualLineAndPicksTheStation)
{
    openNetPage();
    click(w("panWBCII"));
    const QStringList before = selectedCall();
    edit("editCALLWBC")->setText("W4WB");
    click(w("btnWB"));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(list("lstboxROSTER4")->currentRow(), 2);
    EXPECT_NE(selectedCall(), before);
    EXPECT_EQ(selectedCall(), (QStringList { "W4WB", "Walt", " ", " ", " ", "Macon", "GA" }));
    // Enter in the list then checks the station in.
    QTest::keyClick(list("lstboxROSTER4"), Qt::Key_Return);
    EXPECT_TRUE(lines("lstboxCheckIN").last().startsWith("1  W4WB  Walt"));
    // The placeholder first record is never listed, so never found.
    edit("editCALLWBC")->setText("W4PLACE");
    QTest::keyClick(edit("editCALLWBC"), Qt::Key_Return);
    EXPECT_EQ(dialogs.texts(), QStringList { "CALL NOT FOUND IN DATABASE ! " });
    EXPECT_EQ(list("lstboxROSTER4")->currentRow(), 2);
}

TEST_F(NetPage, RosterSearchOnlyKnowsTheLinesShownAndComparesExactly)
{
    openNetPage();
    click(w("panA3"));
    for (const char* entry : { "K5ABC", "w3xyz", "W3XY" }) {
        edit("editCALLARC")->setText(entry);
        click(w("btnARC"));
    }
    EXPECT_EQ(dialogs.texts().size(), 3);
    edit("editCALLARC")->setText("KD3Q");
    click(w("btnARC"));
    EXPECT_EQ(dialogs.texts().size(), 3);
    EXPECT_EQ(list("lstboxROSTER")->currentItem()->text(), "KD3Q");
}

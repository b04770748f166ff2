// The chapter roster spreadsheet grid, its search, and MEMBER CHECK.
#include "DataFixtures.h"
#include "NetFixture.h"

#include "app/TfrmMainA.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTableView>

namespace {
// Columns: 0 last, 1 first, 2 call, 3 number, 4 joined, 5 spouse, 6 spouse call, 7 chapter,
// 8 state for sorting, 9 street, 10 zip, 11 city, 12 state, 13 state again.
QJsonArray member(
    const QString& last, const QString& first, const QString& call, const QString& state, const QString& city)
{
    return QJsonArray { last, first, call, 7, "2020", first + "'s spouse", "S" + call, "ARC", state,
        "1 Main St", "00000", city, state, state + "x" };
}

QByteArray rosterJson(int members)
{
    QJsonArray rows;
    rows.append(QJsonArray { "Last", "First", "Call", "No", "Joined", "Spouse", "SCall", "Chapter", "St",
        "Street", "Zip", "City", "State", "State2" });
    rows.append(member("Young", "Zed", "W5ZZ", "TX", "Waco"));
    rows.append(member("Adams", "Amy", "K0AA", "NE", "Omaha"));
    rows.append(member("Miller", "Max", "N3MM", "PA", "Erie"));
    rows.append(member("Baker", "Bea", "K0AA", "AL", "Mobile")); // the same call again, lower down
    for (int i = int(rows.size()); i < members; ++i)
        rows.append(member(QStringLiteral("Member%1").arg(i, 3, 10, QLatin1Char('0')), "Pat",
            QStringLiteral("KM%1X").arg(i), "OH", "Akron"));
    rows.append(member("Last", "Larry", "AB9LAST", "WI", "Green Bay"));
    return QJsonDocument(rows).toJson();
}
} // namespace

class NetGrid : public NetPage {
protected:
    void writeFixture() override
    {
        NetPage::writeFixture();
        QDir(install.path()).mkpath("OrvikDB");
        ASSERT_TRUE(writeFixtureWorkbook(install.path() + "/OrvikDB/Roster_Name_ARC.xls", rosterJson(250)));
    }
    void SetUp() override
    {
        NetPage::SetUp();
        previous = QDir::currentPath();
        QDir::setCurrent(install.path());
        openNetPage();
    }
    void TearDown() override
    {
        QDir::setCurrent(previous);
        NetPage::TearDown();
    }
    QTableView* grid() const { return child<QTableView>(net(), "AdvStringGrid1"); }
    QString cell(int column, int row) const { return frmNET->gridCell(column, row); }
    QString previous;
};

TEST_F(NetGrid, StartLoadsTheSpreadsheetBelowTheWorkingDirectory)
{
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(edit("editRosterFile")->text(), QDir::currentPath() + "/OrvikDB/Roster_Name_ARC.xls");
    EXPECT_EQ(edit("editNumMem")->text(), "250");
    EXPECT_EQ(frmNET->gridRowCount(), 251);
    EXPECT_EQ(cell(2, 1), "W5ZZ"); // the sheet's order until the grid is first opened
    EXPECT_FALSE(w("panS7")->isVisible());
}

TEST_F(NetGrid, ADirectoryEndingInASeparatorGivesADoubledSeparatorAndStillLoads)
{
    frmNET->LoadRosterSpreadsheet(install.path() + "/");
    EXPECT_EQ(edit("editRosterFile")->text(), install.path() + "//OrvikDB/Roster_Name_ARC.xls");
    EXPECT_EQ(edit("editNumMem")->text(), "250");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(NetGrid, OpeningSortsByCallWhateverSortPanelIsGreen)
{
    click(w("panAR"));
    ASSERT_TRUE(w("panS7")->isVisible());
    click(w("panS3")); // by state
    EXPECT_EQ(face("panS3"), clGreen);
    EXPECT_EQ(face("panS1"), clGray);
    EXPECT_EQ(cell(8, 1), "AL");
    click(w("panAR")); // close
    EXPECT_FALSE(w("panS7")->isVisible());
    EXPECT_TRUE(w("panCheckIns")->isVisible());
    click(w("panAR")); // open again: sorted by call, panS3 stays green
    EXPECT_EQ(face("panS3"), clGreen);
    EXPECT_EQ(cell(2, 0), "Call");
    EXPECT_EQ(cell(2, 1), "AB9LAST");
    EXPECT_EQ(cell(2, 2), "K0AA");
    EXPECT_EQ(cell(0, 2), "Baker"); // equal calls keep the order they had (by state)
    EXPECT_EQ(cell(0, 3), "Adams");
    click(w("panS3")); // green: nothing
    EXPECT_EQ(cell(2, 1), "AB9LAST");
    click(w("panS2"));
    EXPECT_EQ(cell(0, 1), "Adams");
    click(w("panS1"));
    EXPECT_EQ(face("panS1"), clGreen);
    EXPECT_EQ(cell(2, 1), "AB9LAST");
}

TEST_F(NetGrid, ClickingAMemberRowFillsAllSevenFieldsAndClosesTheGrid)
{
    click(w("panAR"));
    QTableView* g = grid();
    const QModelIndex index = g->model()->index(3, 9); // any column of the row
    g->scrollTo(index);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::NoModifier, g->visualRect(index).center());
    // Row 3 sorted by call is Baker / K0AA: spouse from column 5, city 11, state 12.
    EXPECT_EQ(
        selectedCall(), (QStringList { "K0AA", "Bea", "Baker", "Bea's spouse", "SK0AA", "Mobile", "AL" }));
    EXPECT_EQ(cell(0, 3), "Baker");
    EXPECT_FALSE(w("panS7")->isVisible());
    EXPECT_EQ(face("panAR"), clGray);
}

TEST_F(NetGrid, GridSearchTellsMembersFromNonMembers)
{
    edit("editCALLR")->setText("AB9LAST"); // the last row
    click(w("btnSEARCH"));
    EXPECT_EQ(edit("editMATCH2")->text(), "ARC MEMBER");
    // Spouse from column 6, city 12, state 13; the spouse call is not touched.
    EXPECT_EQ(selectedCall(), (QStringList { "AB9LAST", "Larry", "Last", "SAB9LAST", " ", "WI", "WIx" }));

    click(w("panAR"));
    edit("editCALLR")->setText("Call"); // the header is not a member
    QTest::keyClick(edit("editCALLR"), Qt::Key_Return);
    EXPECT_EQ(edit("editMATCH2")->text(), "NOT PAID ARC MEMBER");
    EXPECT_TRUE(w("panS7")->isVisible()); // a non-member leaves the grid as it was
    edit("editCALLR")->setText("n3mm");
    click(w("btnSEARCH"));
    EXPECT_EQ(edit("editMATCH2")->text(), "NOT PAID ARC MEMBER");
}

TEST_F(NetGrid, MemberCheckFillsTheManualBoxesAndTheTopRowWins)
{
    click(w("panAR"));
    click(w("panS3")); // by state: Baker (AL) now stands above Adams (NE)
    edit("editCALL2")->setText("K0AA");
    click(w("btnNameCk"));
    EXPECT_EQ(edit("editMATCH")->text(), "ARC MEMBER");
    EXPECT_EQ(edit("editNAME")->text(), "Bea");
    EXPECT_EQ(edit("editCITY")->text(), "AL");
    EXPECT_EQ(edit("editSTATE")->text(), "ALx");
    EXPECT_EQ(edit("editCALL2")->text(), "K0AA");

    edit("editCALL2")->setText("Call");
    click(w("btnNameCk"));
    EXPECT_EQ(edit("editMATCH")->text(), "    ");
    EXPECT_EQ(edit("editNAME")->text(), "Bea");
}

TEST_F(NetGrid, ActivationAndManualAddCloseTheGridPanelButNotTheToggle)
{
    click(w("panAR"));
    click(w("btnAdd"));
    EXPECT_FALSE(w("panS7")->isVisible());
    EXPECT_EQ(face("panAR"), clGreen);
    click(w("panAR")); // closes (nothing to hide)
    EXPECT_EQ(face("panAR"), clGray);
    click(w("panAR"));
    EXPECT_TRUE(w("panS7")->isVisible());
}

class NetGridDamaged : public NetGrid {
    void writeFixture() override
    {
        NetPage::writeFixture();
        QDir(install.path()).mkpath("OrvikDB");
        QFile f(install.path() + "/OrvikDB/Roster_Name_ARC.xls");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(3000, '\x5A'));
    }
    void SetUp() override
    {
        NetPage::SetUp();
        previous = QDir::currentPath();
        QDir::setCurrent(install.path());
        click(child(reinterpret_cast<QWidget*>(frmMainA), "VRstart"));
    }
};

TEST_F(NetGridDamaged, DamagedWorkbookIsReportedAndLeavesAnEmptyGrid)
{
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(install.path() + "/OrvikDB/Roster_Name_ARC.xls"));
    EXPECT_EQ(edit("editNumMem")->text(), "0");
    EXPECT_EQ(frmNET->gridRowCount(), 0);
    edit("editCALLR")->setText("K0AA");
    click(w("btnSEARCH"));
    EXPECT_EQ(edit("editMATCH2")->text(), "    ");
}

TEST_F(NetPage, MissingWorkbookIsReportedByName)
{
    frmNET->LoadRosterSpreadsheet(install.path());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, Dialogs::Kind::Message);
    EXPECT_TRUE(dialogs.shown[0].text.contains(install.path() + "/OrvikDB/Roster_Name_ARC.xls"));
    EXPECT_EQ(edit("editNumMem")->text(), "0");
}

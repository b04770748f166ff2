// The chapter roster spreadsheet grid, its search, and MEMBER CHECK.
#include "DataFixtures.h"
#include "NetFixture.h"
#include "PageProbes.h"

#include "pages/TfrmMainA.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

// The sheet of tests/fixtures/xls/roster-250.json: 250 members, with K0AA twice (Adams, then
// Baker lower down) and AB9LAST last. Columns: 0 last, 1 first, 2 call, 3 number, 4 joined,
// 5 spouse, 6 spouse call, 7 chapter, 8 state for sorting, 9 street, 10 zip, 11 city,
// 12 state, 13 state again.

class NetGrid : public NetPage {
protected:
    void writeFixture() override
    {
        NetPage::writeFixture();
        QDir(install.path()).mkpath("OrvikDB");
        ASSERT_TRUE(writeFixtureWorkbook(install.path() + "/OrvikDB/Roster_Name_ARC.xls", "roster-250"));
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
    QString cell(int column, int row) const { return netPage().gridCell(column, row); }
    QString previous;
};

TEST_F(NetGrid, StartLoadsTheSpreadsheetBelowTheWorkingDirectory)
{
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(edit("editRosterFile")->text(),
        QDir::toNativeSeparators(QDir::currentPath() + "/OrvikDB/Roster_Name_ARC.xls"));
    EXPECT_EQ(edit("editNumMem")->text(), "250");
    EXPECT_EQ(netPage().gridRowCount(), 251);
    EXPECT_EQ(cell(2, 1), "W5ZZ"); // the sheet's order until the grid is first opened
    EXPECT_FALSE(w("panS7")->isVisible());
}

TEST_F(NetGrid, ADirectoryEndingInASeparatorGivesADoubledSeparatorAndStillLoads)
{
    frmNET->LoadRosterSpreadsheet(QDir::toNativeSeparators(install.path() + "/"));
    EXPECT_EQ(edit("editRosterFile")->text(),
        QDir::toNativeSeparators(install.path() + "//OrvikDB/Roster_Name_ARC.xls"));
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

TEST_F(NetGrid, TitlesStayOnTopAndNamesAtTheLeftWhileTheMembersScroll)
{
    click(w("panAR"));
    QTableView* g = grid();
    QHeaderView* titles = g->horizontalHeader();
    QHeaderView* names = g->verticalHeader();
    QAbstractItemModel* m = g->model();
    ASSERT_TRUE(titles->isVisible());
    ASSERT_TRUE(names->isVisible());
    EXPECT_EQ(titles->height(), 22);
    // Row 0 and column 0 stand in the header bars, not among the scrolling cells.
    EXPECT_TRUE(g->isRowHidden(0));
    EXPECT_TRUE(g->isColumnHidden(0));

    g->verticalScrollBar()->setValue(g->verticalScrollBar()->maximum());
    g->horizontalScrollBar()->setValue(g->horizontalScrollBar()->maximum());
    QCoreApplication::processEvents();
    const QRect cells = g->viewport()->rect();
    ASSERT_TRUE(cells.contains(g->visualRect(m->index(250, 13)))); // the last member, last column
    EXPECT_FALSE(cells.intersects(g->visualRect(m->index(1, 13)))); // the first rows scrolled away
    EXPECT_FALSE(cells.intersects(g->visualRect(m->index(250, 1)))); // and the first columns

    // The titles still stand above the cells, each over its own column.
    EXPECT_LT(titles->geometry().bottom(), g->viewport()->geometry().top());
    int columnsSeen = 0;
    for (int x = 2; x < cells.width(); x += 20) {
        const int column = g->columnAt(x);
        if (column < 0)
            continue;
        ++columnsSeen;
        EXPECT_EQ(titles->logicalIndexAt(x), column) << x;
        EXPECT_EQ(m->headerData(column, Qt::Horizontal).toString(), cell(column, 0)) << x;
    }
    EXPECT_GT(columnsSeen, 2);
    const int stateColumn = g->visualRect(m->index(250, 13)).center().x();
    EXPECT_EQ(m->headerData(titles->logicalIndexAt(stateColumn), Qt::Horizontal).toString(), "State2");

    // The names still stand at the left, each beside its own row.
    EXPECT_LT(names->geometry().right(), g->viewport()->geometry().left());
    const int lastRow = g->visualRect(m->index(250, 13)).center().y();
    EXPECT_EQ(names->logicalIndexAt(lastRow), 250);
    EXPECT_EQ(m->headerData(250, Qt::Vertical).toString(), cell(0, 250));
    EXPECT_EQ(m->headerData(g->rowAt(cells.top() + 1), Qt::Vertical).toString(),
        cell(0, g->rowAt(cells.top() + 1)));

    // The corner holds the name column's title; the sorted column's title is yellow.
    auto* corner = g->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(corner, nullptr);
    EXPECT_TRUE(corner->isVisible());
    EXPECT_EQ(corner->geometry().topLeft(), QPoint(names->geometry().left(), titles->geometry().top()));
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "Last");
    EXPECT_EQ(
        m->headerData(2, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(), toQColor(clYellow));
    click(w("panS2")); // by last name: the corner's title is the sorted one
    EXPECT_EQ(
        m->headerData(0, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(), toQColor(clYellow));
    EXPECT_FALSE(m->headerData(2, Qt::Horizontal, Qt::BackgroundRole).isValid());
    EXPECT_TRUE(g->isRowHidden(0)); // sorting keeps the title row out of the cells
}

TEST_F(NetGrid, ClickingANameAtTheLeftTakesThatMember)
{
    click(w("panAR"));
    QHeaderView* names = grid()->verticalHeader();
    const int y = names->sectionViewportPosition(3) + names->sectionSize(3) / 2;
    QTest::mouseClick(names->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, y));
    EXPECT_EQ(
        selectedCall(), (QStringList { "K0AA", "Bea", "Baker", "Bea's spouse", "SK0AA", "Mobile", "AL" }));
    EXPECT_FALSE(w("panS7")->isVisible());
}

TEST_F(NetGrid, ActiveCellIsDrawnBold)
{
    click(w("panAR"));
    QTableView* g = grid();
    QAbstractItemModel* m = g->model();
    // The width a cell's text takes as the grid draws it: wider in bold.
    auto drawnWidth = [g](const QModelIndex& index) {
        QStyleOptionViewItem option;
        option.initFrom(g);
        option.font = g->font();
        return g->itemDelegate()->sizeHint(option, index).width();
    };
    const QModelIndex first = m->index(1, 1);
    ASSERT_EQ(g->currentIndex(), first); // the active cell starts on the first member cell
    const int activeWidth = drawnWidth(first);
    QTest::keyClick(g, Qt::Key_Down);
    ASSERT_EQ(g->currentIndex(), m->index(2, 1));
    EXPECT_LT(drawnWidth(first), activeWidth);
    QTest::keyClick(g, Qt::Key_Up);
    EXPECT_EQ(drawnWidth(first), activeWidth);
}

TEST_F(NetGrid, CheckInPanelUnderTheOpenGridCannotBeClickedOrTabbedTo)
{
    QWidget* page = net();
    addStation("K5A");
    list("lstboxCheckIN")->setCurrentRow(1); // the check-in line, below the date line
    const QStringList before = lines("lstboxCheckIN");
    ASSERT_EQ(before.size(), 2);
    // The widgets that Tab walks through, from the grid search box round the page.
    auto tabWalk = [page, this] {
        QList<QWidget*> reached;
        edit("editCALLR")->setFocus();
        for (int i = 0; i < 120; ++i) {
            QWidget* focus = page->focusWidget();
            if (!focus)
                break;
            reached << focus;
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        return reached;
    };
    auto reachedUnder = [this](const QList<QWidget*>& reached) {
        int n = 0;
        for (QWidget* r : reached)
            n += w("panCheckIns")->isAncestorOf(r);
        return n;
    };
    ASSERT_GT(reachedUnder(tabWalk()), 0); // the walk does reach the check-in panel normally

    click(w("panAR"));
    ASSERT_TRUE(w("panS7")->isVisible());
    // "DELETE SELECTED" shows below the grid panel; a click there deletes nothing.
    auto* remove = child<QPushButton>(page, "btnDelete");
    const QRect shownPart
        = QRect(remove->mapTo(page, QPoint(0, 0)), remove->size())
              .intersected(QRect(QPoint(0, w("panS7")->geometry().bottom() + 1), page->size()));
    ASSERT_FALSE(shownPart.isEmpty());
    QTest::mouseClick(page->windowHandle(), Qt::LeftButton, Qt::NoModifier, shownPart.center());
    click(remove);
    click(w("Button2")); // nor does PRINT CHECK-INS
    EXPECT_FALSE(w("panPRINT")->isVisible());
    EXPECT_EQ(lines("lstboxCheckIN"), before);
    const QList<QWidget*> reached = tabWalk();
    EXPECT_EQ(reachedUnder(reached), 0);
    // The grid is reached, and Tab leads on from it to the other controls.
    const qsizetype inGrid = reached.indexOf(grid());
    ASSERT_GE(inGrid, 0);
    ASSERT_LT(inGrid + 1, reached.size());
    EXPECT_NE(reached[inGrid + 1], grid());

    // Every way of closing the grid gives the panel back.
    click(w("panAR"));
    EXPECT_TRUE(w("panCheckIns")->isEnabled());
    click(w("panAR"));
    EXPECT_FALSE(w("panCheckIns")->isEnabled());
    frmNET->showPage(); // the page's activation
    EXPECT_TRUE(w("panCheckIns")->isEnabled());
    click(w("panAR")); // still green: this click only turns it grey
    click(w("panAR"));
    EXPECT_FALSE(w("panCheckIns")->isEnabled());
    edit("editCALLR")->setText("N3MM");
    click(w("btnSEARCH")); // a match closes the grid
    EXPECT_TRUE(w("panCheckIns")->isEnabled());
    list("lstboxCheckIN")->setCurrentRow(1);
    click(remove);
    EXPECT_EQ(lines("lstboxCheckIN"), QStringList({ before[0] })); // the activation added no date line
    EXPECT_FALSE(lines("lstboxCheckIN").contains(before[1]));
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
        click(child(static_cast<QWidget*>(frmMainA), "VRstart"));
    }
};

TEST_F(NetGridDamaged, DamagedWorkbookIsReportedAndLeavesAnEmptyGrid)
{
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(
        QDir::toNativeSeparators(install.path() + "/OrvikDB/Roster_Name_ARC.xls")));
    EXPECT_EQ(edit("editNumMem")->text(), "0");
    EXPECT_EQ(netPage().gridRowCount(), 0);
    edit("editCALLR")->setText("K0AA");
    click(w("btnSEARCH"));
    EXPECT_EQ(edit("editMATCH2")->text(), "    ");
}

TEST_F(NetPage, MissingWorkbookIsReportedByName)
{
    frmNET->LoadRosterSpreadsheet(QDir::toNativeSeparators(install.path()));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, Dialogs::Kind::Message);
    EXPECT_TRUE(dialogs.shown[0].text.contains(
        QDir::toNativeSeparators(install.path() + "/OrvikDB/Roster_Name_ARC.xls")));
    EXPECT_EQ(edit("editNumMem")->text(), "0");
}

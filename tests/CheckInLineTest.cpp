// The check-in line format, its parsing, numbering and the saved file's bytes.
#include "checkin/CheckInLine.h"
#include "net/RosterGridModel.h"

#include <QBrush>
#include <gtest/gtest.h>

TEST(CheckInLine, KeepsBlanksAndEmptyFieldsAsTheyAre)
{
    EXPECT_EQ(checkInLine(7, "K5ABC", "ANN", "Waco", "TX"), "7  K5ABC  ANN  Waco  TX");
    // The blank texts of an empty selection: the number followed by fifteen blanks.
    EXPECT_EQ(checkInLine(1, " ", " ", "   ", "  "), "1" + QString(15, ' '));
    EXPECT_EQ(checkInLine(12, "", "", "", ""), "12        ");
}

TEST(CheckInLine, TellsCheckInLinesFromDateLinesAndFindsTheCall)
{
    EXPECT_EQ(dateLine("12/8/26"), "DATE : 12/8/26");
    EXPECT_FALSE(isCheckInLine(dateLine("12/8/26")));
    EXPECT_TRUE(isCheckInLine("3  W5XYZ  BOB  Austin  TX"));
    EXPECT_FALSE(isCheckInLine("3 W5XYZ"));
    EXPECT_FALSE(isCheckInLine(""));

    EXPECT_EQ(checkInNumber("123  W5XYZ  BOB  Austin  TX"), 123);
    EXPECT_EQ(checkInNumber("DATE : 1/2/26"), 0);

    EXPECT_EQ(callOfCheckInLine("3  W5XYZ  BOB  Austin  TX"), "W5XYZ");
    EXPECT_EQ(callOfCheckInLine("4  N0CALL"), "N0CALL");
    EXPECT_EQ(callOfCheckInLine("5" + QString(15, ' ')), "");
    EXPECT_EQ(callOfCheckInLine("DATE : 1/2/26"), "");

    EXPECT_EQ(countCheckIns({ "DATE : x", "1  A  B  C  D", "2  E  F  G  H", "DATE : y" }), 2);
}

TEST(CheckInLine, NumbersNeverRepeat)
{
    CheckInNumbering n;
    EXPECT_EQ(n.next(), 1);
    EXPECT_EQ(n.next(), 2);
    EXPECT_EQ(n.next(), 3);
    EXPECT_EQ(n.highestGiven(), 3);
}

TEST(CheckInLine, SavedFileIsEveryLineWithCrLf)
{
    EXPECT_EQ(checkInFileContents({}), QByteArray());
    EXPECT_EQ(checkInFileContents({ "DATE : 1/2/26", "1  K5ABC  ANN  Waco  TX", "" }),
        QByteArray("DATE : 1/2/26\r\n1  K5ABC  ANN  Waco  TX\r\n\r\n"));
}

TEST(RosterGridModel, SortsMemberRowsStablyWithTheHeaderOnTop)
{
    RosterGridModel m;
    m.setRows({ { "Last", "First", "Call" }, { "b", "1", "W5B" }, { "A", "2", "K5A" }, { "a", "3", "K5A" },
        { "c", "4", "" } });
    EXPECT_EQ(m.rowCount(), 5);
    EXPECT_EQ(m.columnCount(), 3);
    m.sortByColumn(2);
    EXPECT_EQ(m.cell(2, 0), "Call");
    // Empty text first, equal calls keep their order.
    EXPECT_EQ(m.cell(1, 1), "4");
    EXPECT_EQ(m.cell(1, 2), "2");
    EXPECT_EQ(m.cell(1, 3), "3");
    EXPECT_EQ(m.cell(1, 4), "1");
    EXPECT_EQ(m.sortedColumn(), 2);
    // The sorted column's title is marked yellow; titles and first-column texts are header data.
    EXPECT_EQ(
        m.headerData(2, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 0));
    EXPECT_FALSE(m.headerData(1, Qt::Horizontal, Qt::BackgroundRole).isValid());
    EXPECT_EQ(m.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Call");
    EXPECT_EQ(m.headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), "c");
    m.sortByColumn(0);
    EXPECT_EQ(m.cell(0, 1), "A");
    EXPECT_EQ(m.cell(0, 2), "a");
    EXPECT_EQ(m.cell(0, 3), "b");
    EXPECT_EQ(m.cell(5, 1), ""); // outside the sheet reads as empty text
}

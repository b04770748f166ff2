// The first worksheet of an .xls workbook as text cells, read through the isolated reader.
#include "data/Workbook.h"
#include "data/DataError.h"
#include "data/IsolatedReader.h"

#include "DataFixtures.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

std::string readError(const QString& path)
{
    try {
        ReadFirstWorksheet(path);
    } catch (const DataError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

// tests/fixtures/xls/cells.json: cells of every kind, as Excel saves them; the second sheet
// must never be read.
TEST(Workbook, ReadsTextNumbersDatesFormulasAndEmptyCellsAsAUserSeesThem)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("cells.xls");
    ASSERT_TRUE(writeFixtureWorkbook(file, "cells"));
    const QList<QStringList> rows = ReadFirstWorksheet(file);
    ASSERT_EQ(rows.size(), 5);
    for (const QStringList& row : rows)
        EXPECT_EQ(row.size(), 11) << "every row as long as the widest";
    EXPECT_EQ(rows[0][0], "Name");
    EXPECT_EQ(rows[1],
        QStringList({ "Ann", "42", "2.5", "2021-03-04", "2020-01-02 10:30:00", "", "84", "Ann!", "TRUE",
            "#DIV/0!", "" }));
    EXPECT_EQ(rows[2], QStringList({ "Zoë Ålund", "-7", "0.1", "", "08:15:00", "", "-3.5", "", "", "", "" }));
    EXPECT_EQ(rows[3].mid(0, 4), QStringList({ " 5 ", "123456789012", "1234.5678", "1999-12-31" }));
    EXPECT_EQ(rows[4][10], "last");
    EXPECT_EQ(rows[4][0], "");
}

TEST(Workbook, LeavesOutTrailingRowsAndColumnsThatHoldNothing)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("blanks.xls");
    // Formatted blank cells far below and to the right make the sheet claim 5 rows, 7 columns.
    ASSERT_TRUE(writeFixtureWorkbook(file, "trailing-blanks"));
    EXPECT_EQ(ReadFirstWorksheet(file), QList<QStringList>({ { "Call", "Name" }, { "", "Ann" } }));

    ASSERT_TRUE(writeFixtureWorkbook(file, "only-blank"));
    EXPECT_TRUE(ReadFirstWorksheet(file).isEmpty());
}

// The workbook writer checked once against an independent reader (python3-xlrd, which read
// the same workbook when the tests were built): both readers see the same text, numbers and
// saved formula results.
TEST(Workbook, AgreesWithAnIndependentReader)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("cells.xls");
    ASSERT_TRUE(writeFixtureWorkbook(file, "cells"));
    const QByteArray xlrd = fileBytes(binaryDir() + "/test-workbooks/cells.xlrd.json");
    ASSERT_FALSE(xlrd.isEmpty());
    const QJsonArray cells = QJsonDocument::fromJson(xlrd).array();
    const QList<QStringList> rows = ReadFirstWorksheet(file);
    ASSERT_EQ(cells.size(), rows.size() * 11);
    int compared = 0;
    for (int i = 0; i < cells.size(); ++i) {
        const QJsonArray cell = cells[i].toArray();
        const QString ours = rows[i / 11][i % 11];
        switch (cell[0].toInt()) {
        case 1: // text
            EXPECT_EQ(ours, cell[1].toString()) << "cell " << i;
            ++compared;
            break;
        case 2: // number
            EXPECT_DOUBLE_EQ(ours.toDouble(), cell[1].toDouble()) << "cell " << i;
            ++compared;
            break;
        case 0: // empty
            EXPECT_EQ(ours, "") << "cell " << i;
            break;
        }
    }
    EXPECT_GE(compared, 15);
}

TEST(Workbook, MissingAndDamagedWorkbooksGiveAClearError)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("OrvikDB/Roster_Name_ARC.xls");
    std::string text = readError(missing);
    EXPECT_NE(text.find(QDir::toNativeSeparators(missing).toStdString()), std::string::npos) << text;
    EXPECT_NE(text.find("does not exist"), std::string::npos) << text;

    const QString good = dir.filePath("good.xls");
    ASSERT_TRUE(writeFixtureWorkbook(good, "cells"));
    const QByteArray original = fileBytes(good);
    const QString bad = dir.filePath("bad.xls");

    writeBytes(bad, "Last Name,First Name,Call\n");
    text = readError(bad);
    EXPECT_NE(text.find("not an Excel 97-2003 workbook"), std::string::npos) << text;
    writeBytes(bad, QByteArray());
    EXPECT_NE(readError(bad), "(no error)");

    // Damaged copies: cut short, sectors zeroed, bytes changed. A clear error naming the file,
    // or rows of sound shape; the reader's own crashes and hangs must not reach the program.
    std::vector<std::pair<std::string, QByteArray>> variants;
    for (qsizetype size : { qsizetype(8), qsizetype(511), qsizetype(512), qsizetype(1500),
             original.size() / 2, original.size() - 1 })
        variants.emplace_back("cut to " + std::to_string(size), original.left(size));
    for (qsizetype at = 0; at < original.size(); at += 512) {
        QByteArray v = original;
        v.replace(at, std::min<qsizetype>(512, original.size() - at), QByteArray(512, '\0'));
        variants.emplace_back("sector at " + std::to_string(at) + " zeroed", v.left(original.size()));
    }
    for (qsizetype at = 0; at < original.size(); at += 97) {
        QByteArray v = original;
        v[at] = char(v[at] ^ 0xFF);
        variants.emplace_back("byte " + std::to_string(at) + " changed", v);
    }
    const std::string full = QDir::toNativeSeparators(bad).toStdString();
    int errors = 0;
    for (const auto& [what, bytes] : variants) {
        writeBytes(bad, bytes);
        try {
            const QList<QStringList> rows = ReadFirstWorksheet(bad);
            EXPECT_LE(rows.size(), 65536) << what;
            for (const QStringList& row : rows)
                ASSERT_EQ(row.size(), rows[0].size()) << what;
        } catch (const DataError& e) {
            ++errors;
            EXPECT_NE(std::string(e.what()).find(full), std::string::npos) << what << ": " << e.what();
            if (qEnvironmentVariableIsSet("VELMORA_SHOW_DAMAGE"))
                std::cout << what << ": " << e.what() << "\n";
        }
    }
    EXPECT_GE(errors, 6) << "of " << variants.size();
}

TEST(Workbook, TheDemoRosterSpreadsheetFitsThePage)
{
    const QString file = binaryDir() + "/demo/OrvikDB/Roster_Name_ARC.xls";
    if (!QFileInfo::exists(file))
        GTEST_SKIP() << "the demo installation is not built";
    const QList<QStringList> rows = ReadFirstWorksheet(file);
    ASSERT_EQ(rows.size(), 251) << "a header row and 250 members";
    ASSERT_GE(rows[0].size(), 14);
    EXPECT_EQ(rows[0][2], "Call");
    QMap<QString, int> calls;
    for (int r = 1; r < rows.size(); ++r) {
        ++calls[rows[r][2]];
        EXPECT_FALSE(rows[r][0].isEmpty() || rows[r][1].isEmpty() || rows[r][11].isEmpty()) << r;
        EXPECT_EQ(rows[r][12].size(), 2) << "state in column 12, row " << r;
        EXPECT_EQ(rows[r][13], rows[r][12]) << "state again in column 13, row " << r;
        EXPECT_EQ(rows[r][8], rows[r][12]) << "sort-by-state column, row " << r;
        EXPECT_TRUE(QRegularExpression("^\\d{6}$").match(rows[r][3]).hasMatch()) << rows[r][3].toStdString();
        EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d$").match(rows[r][4]).hasMatch())
            << rows[r][4].toStdString();
    }
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](int n) { return n > 1; }), 1)
        << "one call entered twice";
}

// The Jet 4 writer, checked with an independent reader (mdbtools' command-line tools).
#include "Jet4Writer.h"
#include "Csv.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// For the tests that read the databases back with mdbtools (not built for Windows).
#ifndef _WIN32
// Runs one of the mdbtools commands; its standard output, or a failure of the test.
QString mdbTool(const QString& tool, const QStringList& args)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) {
        ADD_FAILURE() << tool.toStdString() << " is not installed (package mdbtools)";
        return {};
    }
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

std::string exportTable(const QString& file, const QString& table)
{
    return mdbTool("mdb-export", { "-T", "%Y-%m-%d %H:%M:%S", file, table }).toStdString();
}

jet4::Table rosterTable(int rows)
{
    jet4::Table t { "Amber", { { "CALL" }, { "AREA", jet4::ColumnType::LongInteger }, { "CITY" } }, {} };
    for (int i = 0; i < rows; ++i)
        t.rows.push_back({ "K" + std::to_string(i % 10) + "A" + std::to_string(i), std::to_string(i % 10),
            "City " + std::to_string(i) });
    return t;
}
#endif

} // namespace

// Not built for Windows: it reads the databases back with mdbtools' command-line tools, which run on Linux.
#ifndef _WIN32
TEST(Jet4Writer, EveryColumnTypeAndNullReadsBackWithMdbtools)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("types.mdb");
    jet4::Table t { "Members",
        { { "CALL" }, { "AREA", jet4::ColumnType::LongInteger }, { "Paid", jet4::ColumnType::Boolean },
            { "Dues", jet4::ColumnType::Double }, { "Joined", jet4::ColumnType::DateTime } },
        {} };
    t.rows = {
        { "K5ABC", "5", "yes", "12.5", "2021-03-04" },
        { "W1XYZ", std::nullopt, "0", std::nullopt, "2020-01-01 10:30" },
        { "Zoë \"Z\", Jr.", "-2147483648", "true", "-3", std::nullopt },
        { std::nullopt, " 7 ", std::nullopt, "1e3", "1999-12-31 23:59:59" },
    };
    jet4::writeDatabase(file.toStdString(), { t });

    EXPECT_EQ(mdbTool("mdb-tables", { "-1", file }).trimmed(), "Members");
    EXPECT_EQ(exportTable(file, "Members"),
        "CALL,AREA,Paid,Dues,Joined\n"
        "\"K5ABC\",5,1,12.5,\"2021-03-04 00:00:00\"\n"
        "\"W1XYZ\",,0,,\"2020-01-01 10:30:00\"\n"
        "\"Zoë \"\"Z\"\", Jr.\",-2147483648,1,-3,\n"
        ",7,0,1000,\"1999-12-31 23:59:59\"\n");
    const QString schema = mdbTool("mdb-schema", { file, "access" });
    EXPECT_TRUE(schema.contains("[AREA]\t\t\tLong Integer")) << schema.toStdString();
    EXPECT_TRUE(schema.contains("[Joined]\t\t\tDateTime")) << schema.toStdString();
}
#endif

// Not built for Windows: it reads the databases back with mdbtools' command-line tools, which run on Linux.
#ifndef _WIN32
TEST(Jet4Writer, LargeTablesAndSeveralTablesInOneFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("big.mdb");
    jet4::Table second { "RepCheckIn", { { "Call" }, { "NameS" } }, { { "N0CALL", "Ann" } } };
    // 6000 rows span well over a hundred pages, and unicode text defeats compression.
    jet4::Table big = rosterTable(6000);
    big.rows[4321][2] = "Ålesund Ωmega";
    jet4::writeDatabase(file.toStdString(), { big, second });

    EXPECT_EQ(mdbTool("mdb-tables", { "-1", file }).split('\n', Qt::SkipEmptyParts),
        QStringList({ "Amber", "RepCheckIn" }));
    EXPECT_EQ(mdbTool("mdb-count", { file, "Amber" }).trimmed(), "6000");
    const QStringList lines
        = QString::fromStdString(exportTable(file, "Amber")).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6001);
    EXPECT_EQ(lines[1].toStdString(), "\"K0A0\",0,\"City 0\"");
    EXPECT_EQ(lines[4322].toStdString(), "\"K1A4321\",1,\"Ålesund Ωmega\"");
    EXPECT_EQ(lines[6000].toStdString(), "\"K9A5999\",9,\"City 5999\"");
    EXPECT_EQ(exportTable(file, "RepCheckIn"), "Call,NameS\n\"N0CALL\",\"Ann\"\n");

    // The same tables give the same bytes, so fixtures are reproducible.
    EXPECT_EQ(jet4::buildDatabase({ big, second }), jet4::buildDatabase({ big, second }));
}
#endif

TEST(Jet4Writer, RejectsWhatItCannotStore)
{
    auto fails = [](jet4::Table t, const std::string& part) {
        try {
            jet4::buildDatabase({ t });
            ADD_FAILURE() << "no error, expected one mentioning " << part;
        } catch (const jet4::WriteError& e) {
            EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
        }
    };
    fails({ "T", { { "AREA", jet4::ColumnType::LongInteger } }, { { "5a" } } }, "column AREA");
    fails({ "T", { { "AREA", jet4::ColumnType::LongInteger } }, { { "2147483648" } } }, "not a Long Integer");
    fails({ "T", { { "Joined", jet4::ColumnType::DateTime } }, { { "2021-02-30" } } }, "not a date");
    fails({ "T", { { "CALL" } }, { { std::string(256, 'x') } } }, "longer than 255");
    fails({ "T", { { "CALL" } }, { { std::string("\xC3(") } } }, "UTF-8");
    fails({ "T", { { "CALL" }, { "call" } }, {} }, "appears twice");
    fails({ "T", { { "CALL" }, { "AREA" } }, { { "K5A" } } }, "1 values for 2 columns");
    fails({ "T", {}, {} }, "at least one column");
}

TEST(Jet4Csv, TellsNullFromEmptyAndKeepsQuotedText)
{
    const jet4::CsvTable t = jet4::parseCsv("\xEF\xBB\xBF"
                                            "CALL,AREA,CITY\r\n"
                                            "K5AB,,\"\"\r\n"
                                            "\"W1,X\",\" 5\",\"Two\nlines \"\"quoted\"\"\"\n"
                                            "N0Q,05,Waco",
        "test.csv");
    EXPECT_EQ(t.header, (std::vector<std::string> { "CALL", "AREA", "CITY" }));
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0], (jet4::Row { "K5AB", std::nullopt, "" }));
    EXPECT_EQ(t.rows[1], (jet4::Row { "W1,X", " 5", "Two\nlines \"quoted\"" }));
    EXPECT_EQ(t.rows[2], (jet4::Row { "N0Q", "05", "Waco" }));

    EXPECT_THROW(jet4::parseCsv("A,B\n1,2,3\n", "x.csv"), jet4::WriteError);
    EXPECT_THROW(jet4::parseCsv("A,B\n\"1,2\n", "x.csv"), jet4::WriteError);
    EXPECT_THROW(jet4::parseCsv("A,B\n\"1\"x,2\n", "x.csv"), jet4::WriteError);
    EXPECT_THROW(jet4::parseCsv("", "x.csv"), jet4::WriteError);
}

// The roster table: reading records by index, columns by name, keyed search.
#include "data/RosterTable.h"
#include "data/DataError.h"
#include "data/IsolatedReader.h"

#include "DataFixtures.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

// Records in table order; K5ABC stands before K5AB, as in real rosters.
RosterTable sampleRoster()
{
    return RosterTable({ "CALL", "AREA", "FN", "CITY" },
        {
            { "W5XYZ", "5", "Ann", "Waco" },
            { "K5ABC", "5", "Bob", "Tyler" },
            { "k5abd", "", "Cy", "Ålesund" },
            { "K5AB", " 5", "Dee", "Mesa" },
            { "K5ABC", "05", "Eve", "Reno" },
        });
}

std::string errorText(const std::function<void()>& f)
{
    try {
        f();
    } catch (const DataError& e) {
        return e.what();
    }
    return "(no error)";
}

// The value of the named column in the record a search found.
QString valueAt(const RosterTable& t, std::optional<int> record, const QString& column)
{
    return record ? t.text(*record, t.column(column)) : QStringLiteral("(no record)");
}

} // namespace

TEST(RosterTable, WalksEveryRecordInTableOrder)
{
    RosterTable t = sampleRoster();
    QStringList calls;
    const int call = t.column("CALL");
    for (int r = 0; r < t.recordCount(); ++r)
        calls << t.text(r, call);
    EXPECT_EQ(calls, QStringList({ "W5XYZ", "K5ABC", "k5abd", "K5AB", "K5ABC" }));
    EXPECT_EQ(t.text(1, t.column("FN")), "Bob");
    EXPECT_EQ(t.recordCount(), 5);
}

TEST(RosterTable, EmptyTableIsAtItsEndAtOnce)
{
    RosterTable empty;
    EXPECT_EQ(empty.recordCount(), 0);
    EXPECT_THROW(empty.find("CALL", "", { true, false }), DataError) << "it has no columns at all";

    RosterTable noRows({ "CALL", "AREA" }, {});
    EXPECT_EQ(noRows.recordCount(), 0);
    EXPECT_FALSE(noRows.find("CALL", "", { true, true }));
}

TEST(RosterTable, FieldNamesIgnoreCaseAndMissingOnesAreNamed)
{
    RosterTable t = sampleRoster();
    EXPECT_EQ(t.text(0, t.column("Call")), "W5XYZ");
    EXPECT_EQ(t.text(0, t.column("call")), "W5XYZ");
    EXPECT_EQ(t.text(0, t.column("CITY")), "Waco");
    EXPECT_EQ(t.text(0, t.column("City")), "Waco");
    EXPECT_EQ(errorText([&] { t.column("STATE"); }), "Field 'STATE' not found");
    EXPECT_EQ(errorText([&] { t.find("NameS", "A", {}); }), "Field 'NameS' not found");
    // Every spelling of a column resolves to the same one.
    for (const char* name : { "CALL", "Call", "call", "AREA", "Area", "area", "FN", "fn", "CITY", "city" })
        EXPECT_EQ(t.column(name), t.column(QString(name).toUpper())) << name;
    EXPECT_EQ(t.text(1, t.column("aReA")), "5");
}

TEST(RosterTable, LocateFindsTheFirstMatchInTableOrder)
{
    RosterTable t = sampleRoster();
    // Partial key: the first record whose call begins with the text, K5ABC before K5AB.
    const std::optional<int> partial = t.find("CALL", "K5AB", { true, false });
    EXPECT_EQ(partial, 1);
    EXPECT_EQ(valueAt(t, partial, "FN"), "Bob");
    // Whole key: only the record that equals the text.
    EXPECT_EQ(valueAt(t, t.find("CALL", "K5AB", { false, false }), "FN"), "Dee");
    // The first of two equal keys, whatever the spelling of the column.
    EXPECT_EQ(t.find("Call", "K5ABC", {}), 1);
    // An empty partial key matches the first record.
    EXPECT_EQ(t.find("CALL", "", { true, false }), 0);
}

TEST(RosterTable, LocateCaseOptionsAndMisses)
{
    RosterTable t = sampleRoster();
    EXPECT_FALSE(t.find("CALL", "K5ABD", { true, false }));
    EXPECT_EQ(valueAt(t, t.find("CALL", "K5ABD", { false, true }), "FN"), "Cy");
    EXPECT_EQ(t.find("CALL", "w5x", { true, true }), 0);
    EXPECT_FALSE(t.find("CALL", "w5x", { false, true }));
    // Case folding beyond ASCII.
    EXPECT_EQ(valueAt(t, t.find("CITY", "ÅLESUND", { false, true }), "CALL"), "k5abd");
    EXPECT_FALSE(t.find("CITY", "ÅLESUND", { false, false }));
    // Values are compared as they stand: " 5" and "05" are not "5".
    EXPECT_EQ(valueAt(t, t.find("AREA", " 5", {}), "CALL"), "K5AB");
    EXPECT_FALSE(t.find("AREA", "5 ", { true, true }));
}

TEST(RosterTable, OpensAnAccessTableWithNumbersAndNulls)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("radioRV.mdb");
    writeFixtureDatabase(file,
        { fixtureTable("ABC",
            { { "Call", "AREA", "FN", "Spouse" }, { "CALL", null, "FIRST", "SPOUSE" },
                { "KD5QRS", "5", "Lee", null }, { "KD5QR", "5", "Vicki", "" },
                { "N0ABC", "0", "Ron", "Sue" } },
            { "AREA" }) });
    RosterTable t = openRosterTable(file, "abc");
    EXPECT_EQ(t.columns(), QStringList({ "Call", "AREA", "FN", "Spouse" }));
    ASSERT_EQ(t.recordCount(), 4);
    EXPECT_EQ(t.text(0, t.column("AREA")), "") << "a null number reads as empty text";
    EXPECT_EQ(t.text(1, t.column("CALL")), "KD5QRS");
    EXPECT_EQ(t.text(1, t.column("AREA")), "5") << "a Long Integer reads as its digits";
    EXPECT_EQ(t.text(1, t.column("Spouse")), "");
    EXPECT_EQ(valueAt(t, t.find("CALL", "KD5QR", { true, false }), "FN"), "Lee");
    EXPECT_EQ(valueAt(t, t.find("AREA", "0", {}), "FN"), "Ron");
}

TEST(RosterTable, TheDemoRostersHoldWhatThePagesRelyOn)
{
    const QString db = binaryDir() + "/demo/database/";
    if (!QFileInfo::exists(db + "ARCarea.mdb"))
        GTEST_SKIP() << "the demo installation is not built";
    RosterTable amber = openRosterTable(db + "ARCarea.mdb", "Amber");
    RosterTable abc = openRosterTable(db + "radioRV.mdb", "ABC");
    RosterTable reg = openRosterTable(db + "RepCheck.mdb", "RepCheckIn");
    RosterTable wbc = openRosterTable(db + "WBCII.mdb", "wbcci");
    EXPECT_GE(amber.recordCount() + abc.recordCount() + reg.recordCount() + wbc.recordCount(), 300);

    // Every call area occurs in every roster, and AREA agrees with the call's digit.
    for (RosterTable* t : { &amber, &abc, &reg, &wbc }) {
        QSet<QString> areas;
        const int areaColumn = t->column("AREA");
        const int callColumn = t->column("CALL");
        for (int r = 0; r < t->recordCount(); ++r) {
            const QString area = t->text(r, areaColumn).trimmed();
            if (area.isEmpty())
                continue;
            areas << area.right(1);
            const QString& call = t->text(r, callColumn);
            const auto digit = std::find_if(call.begin(), call.end(), [](QChar c) { return c.isDigit(); });
            ASSERT_NE(digit, call.end()) << call.toStdString();
            EXPECT_EQ(QString(*digit), area.right(1)) << call.toStdString();
        }
        EXPECT_EQ(areas.size(), 10);
    }
    // The shorter call after the longer one it begins.
    EXPECT_EQ(valueAt(amber, amber.find("CALL", "K5AB", { true, false }), "CALL"), "K5ABC");
    int area5 = 0;
    const int abcArea = abc.column("AREA");
    for (int r = 0; r < abc.recordCount(); ++r)
        area5 += abc.text(r, abcArea) == "5";
    EXPECT_GE(area5, 5);
    for (const char* quirk : { " 5", "5 ", "05", "" })
        EXPECT_TRUE(amber.find("AREA", quirk, {})) << '"' << quirk << '"';
}

TEST(RosterTable, ReadsNumbersDatesAndYesNoAsAUserWritesThem)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("types.mdb");
    jet4::Table t { "Members",
        { { "CALL" }, { "Dues", jet4::ColumnType::Double }, { "Joined", jet4::ColumnType::DateTime },
            { "Paid", jet4::ColumnType::Boolean }, { "Number", jet4::ColumnType::LongInteger } },
        { { "A", "0.1", "2021-03-04", "yes", "-12" }, { "B", "1000", "2020-01-02 10:30", "no", std::nullopt },
            { "C", std::nullopt, std::nullopt, std::nullopt, "2147483647" } } };
    jet4::writeDatabase(file.toStdString(), { t });
    RosterTable r = openRosterTable(file, "Members");
    QStringList seen;
    for (int i = 0; i < r.recordCount(); ++i)
        seen << QStringList { r.text(i, r.column("Dues")), r.text(i, r.column("Joined")),
            r.text(i, r.column("Paid")), r.text(i, r.column("Number")) }
                    .join('|');
    EXPECT_EQ(seen,
        QStringList({ "0.1|2021-03-04|True|-12", "1000|2020-01-02 10:30:00|False|", "||False|2147483647" }));
}

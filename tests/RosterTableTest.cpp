// The roster table cursor: walking, reading fields by name, keyed search.
#include "data/RosterTable.h"
#include "data/DataError.h"

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

} // namespace

TEST(RosterTable, WalksEveryRecordInTableOrder)
{
    RosterTable t = sampleRoster();
    QStringList calls;
    for (t.First(); !t.Eof(); t.Next())
        calls << t.FieldText("CALL");
    EXPECT_EQ(calls, QStringList({ "W5XYZ", "K5ABC", "k5abd", "K5AB", "K5ABC" }));
    EXPECT_EQ(t.position(), 5);
    t.Next(); // stepping past the end stays at the end
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.position(), 5);
    t.First();
    t.Next();
    EXPECT_EQ(t.position(), 1);
    EXPECT_EQ(t.FieldText("FN"), "Bob");
    EXPECT_EQ(t.recordCount(), 5);
}

TEST(RosterTable, EmptyTableIsAtItsEndAtOnce)
{
    RosterTable empty;
    empty.First();
    EXPECT_TRUE(empty.Eof());
    EXPECT_EQ(empty.recordCount(), 0);
    EXPECT_THROW(empty.Locate("CALL", "", { true, false }), DataError) << "it has no columns at all";

    RosterTable noRows({ "CALL", "AREA" }, {});
    noRows.First();
    EXPECT_TRUE(noRows.Eof());
    EXPECT_FALSE(noRows.Locate("CALL", "", { true, true }));
    EXPECT_EQ(errorText([&] { noRows.FieldText("CALL"); }).find("Field 'CALL'"), 0u);
}

TEST(RosterTable, FieldNamesIgnoreCaseAndMissingOnesAreNamed)
{
    RosterTable t = sampleRoster();
    t.First();
    EXPECT_EQ(t.FieldText("Call"), "W5XYZ");
    EXPECT_EQ(t.FieldText("call"), "W5XYZ");
    EXPECT_EQ(t.FieldText("CITY"), "Waco");
    EXPECT_EQ(t.FieldText("City"), "Waco"); // a second spelling of a column already resolved
    EXPECT_EQ(errorText([&] { t.FieldText("STATE"); }), "Field 'STATE' not found");
    EXPECT_EQ(errorText([&] { t.Locate("NameS", "A", {}); }), "Field 'NameS' not found");
    // More distinct names than the resolver remembers still resolve correctly.
    for (int round = 0; round < 3; ++round)
        for (const char* name :
            { "CALL", "Call", "call", "AREA", "Area", "area", "FN", "fn", "CITY", "city" })
            EXPECT_EQ(t.FieldText(name), t.FieldText(QString(name).toUpper()));
    t.Next();
    EXPECT_EQ(t.FieldText("aReA"), "5");
    while (!t.Eof())
        t.Next();
    EXPECT_NE(errorText([&] { t.FieldText("CALL"); }), "(no error)");
}

TEST(RosterTable, LocateFindsTheFirstMatchInTableOrder)
{
    RosterTable t = sampleRoster();
    // Partial key: the first record whose call begins with the text, K5ABC before K5AB.
    EXPECT_TRUE(t.Locate("CALL", "K5AB", { true, false }));
    EXPECT_EQ(t.position(), 1);
    EXPECT_EQ(t.FieldText("FN"), "Bob");
    // Whole key: only the record that equals the text.
    EXPECT_TRUE(t.Locate("CALL", "K5AB", { false, false }));
    EXPECT_EQ(t.FieldText("FN"), "Dee");
    // The search starts at the first record whatever the current one is.
    t.Next();
    EXPECT_TRUE(t.Locate("Call", "K5ABC", {}));
    EXPECT_EQ(t.position(), 1);
    // An empty partial key matches the first record.
    t.Next();
    EXPECT_TRUE(t.Locate("CALL", "", { true, false }));
    EXPECT_EQ(t.position(), 0);
}

TEST(RosterTable, LocateCaseOptionsAndMisses)
{
    RosterTable t = sampleRoster();
    t.First();
    t.Next();
    t.Next(); // on k5abd
    EXPECT_FALSE(t.Locate("CALL", "K5ABD", { true, false }));
    EXPECT_EQ(t.position(), 2) << "a miss leaves the cursor where it was";
    EXPECT_TRUE(t.Locate("CALL", "K5ABD", { false, true }));
    EXPECT_EQ(t.FieldText("FN"), "Cy");
    EXPECT_TRUE(t.Locate("CALL", "w5x", { true, true }));
    EXPECT_EQ(t.position(), 0);
    EXPECT_FALSE(t.Locate("CALL", "w5x", { false, true }));
    EXPECT_EQ(t.position(), 0);
    // Case folding beyond ASCII.
    EXPECT_TRUE(t.Locate("CITY", "ÅLESUND", { false, true }));
    EXPECT_EQ(t.FieldText("CALL"), "k5abd");
    EXPECT_FALSE(t.Locate("CITY", "ÅLESUND", { false, false }));
    // Values are compared as they stand: " 5" and "05" are not "5".
    EXPECT_TRUE(t.Locate("AREA", " 5", {}));
    EXPECT_EQ(t.FieldText("CALL"), "K5AB");
    EXPECT_FALSE(t.Locate("AREA", "5 ", { true, true }));
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
    RosterTable t = RosterTable::open(file, "abc");
    EXPECT_EQ(t.columns(), QStringList({ "Call", "AREA", "FN", "Spouse" }));
    ASSERT_EQ(t.recordCount(), 4);
    t.First();
    EXPECT_EQ(t.FieldText("AREA"), "") << "a null number reads as empty text";
    t.Next();
    EXPECT_EQ(t.FieldText("CALL"), "KD5QRS");
    EXPECT_EQ(t.FieldText("AREA"), "5") << "a Long Integer reads as its digits";
    EXPECT_EQ(t.FieldText("Spouse"), "");
    EXPECT_TRUE(t.Locate("CALL", "KD5QR", { true, false }));
    EXPECT_EQ(t.FieldText("FN"), "Lee");
    EXPECT_TRUE(t.Locate("AREA", "0", {}));
    EXPECT_EQ(t.FieldText("FN"), "Ron");
}

TEST(RosterTable, TheDemoRostersHoldWhatThePagesRelyOn)
{
    const QString db = binaryDir() + "/demo/database/";
    if (!QFileInfo::exists(db + "ARCarea.mdb"))
        GTEST_SKIP() << "the demo installation is not built";
    RosterTable amber = RosterTable::open(db + "ARCarea.mdb", "Amber");
    RosterTable abc = RosterTable::open(db + "radioRV.mdb", "ABC");
    RosterTable reg = RosterTable::open(db + "RepCheck.mdb", "RepCheckIn");
    RosterTable wbc = RosterTable::open(db + "WBCII.mdb", "wbcci");
    EXPECT_GE(amber.recordCount() + abc.recordCount() + reg.recordCount() + wbc.recordCount(), 300);

    // Every call area occurs in every roster, and AREA agrees with the call's digit.
    for (RosterTable* t : { &amber, &abc, &reg, &wbc }) {
        QSet<QString> areas;
        for (t->First(); !t->Eof(); t->Next()) {
            const QString area = t->FieldText("AREA").trimmed();
            if (area.isEmpty())
                continue;
            areas << area.right(1);
            const QString call = t->FieldText("CALL");
            const auto digit = std::find_if(call.begin(), call.end(), [](QChar c) { return c.isDigit(); });
            ASSERT_NE(digit, call.end()) << call.toStdString();
            EXPECT_EQ(QString(*digit), area.right(1)) << call.toStdString();
        }
        EXPECT_EQ(areas.size(), 10);
    }
    // The shorter call after the longer one it begins.
    EXPECT_TRUE(amber.Locate("CALL", "K5AB", { true, false }));
    EXPECT_EQ(amber.FieldText("CALL"), "K5ABC");
    int area5 = 0;
    for (abc.First(); !abc.Eof(); abc.Next())
        area5 += abc.FieldText("AREA") == "5";
    EXPECT_GE(area5, 5);
    for (const char* quirk : { " 5", "5 ", "05", "" })
        EXPECT_TRUE(amber.Locate("AREA", quirk, {})) << '"' << quirk << '"';
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
    RosterTable r = RosterTable::open(file, "Members");
    QStringList seen;
    for (r.First(); !r.Eof(); r.Next())
        seen << QStringList { r.FieldText("Dues"), r.FieldText("Joined"), r.FieldText("Paid"),
            r.FieldText("Number") }
                    .join('|');
    EXPECT_EQ(seen,
        QStringList({ "0.1|2021-03-04|True|-12", "1000|2020-01-02 10:30:00|False|", "||False|2147483647" }));
}

// The station directory behind the quick call box: the ranking over every source, the
// fields each source fills, new stations, the comma form, bad input, and the FCC file
// while its index is still being made.
#include "TestSupport.h"

#include "data/RosterTable.h"
#include "licence/LicenceRecord.h"
#include "lookup/StationDirectory.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

using S = StationSource;
using M = MatchKind;

std::string enLine(int id, const std::string& call, const std::string& entity, const std::string& city)
{
    return "EN|" + std::to_string(1000000 + id) + "|||" + call + "|L|L0" + std::to_string(id) + "|" + entity
        + "||||||||1 MAIN ST|" + city + "|TX|75001|||000|0001234567|I||||||";
}

const std::vector<std::string> kFccLines = {
    enLine(1, "K5ABC", "SMITH, ANN", "WACO"),
    enLine(2, "K5ABCD", "DOE, JANE Q", "ANYTOWN"),
    enLine(3, "WK5ABC", "ROE, RAY", "PLAINS"),
    enLine(4, "K5BAC", "BACK, BEN", "AUSTIN"),
    enLine(5, "K5AC", "CROSS, CAL", "ODESSA"),
    enLine(6, "N5ABC", "NOLAN, NED", "TYLER"),
    enLine(7, "W9FCC", "FIELD, FAY", "PEORIA"),
    enLine(8, "K0ARC", "ANYTOWN AMATEUR RADIO CLUB", "AURORA"),
};

RosterTable amber()
{
    return RosterTable({ "CALL", "AREA", "FN", "SFN", "LNAME", "SCALL", "CITY", "STATE" },
        {
            { "K5ABC", "5", "Ann", "Bob", "Smith", "K5BOB", "Waco", "TX" },
            { "W1ABC", "1", "Carl", "", "Jones", "", "Erie", "PA" },
            { "K5AB", "5", "Dan", "Eve", "Brown", "", "Tyler", "TX" },
            { "k5xyz ", "5", "Low", "", "Case", "", "Bryan", "TX" },
        });
}

RosterTable abc()
{
    return RosterTable({ "Call", "AREA", "FN", "Spouse", "CITY", "STATE" },
        {
            { "K5ZZZ", "5", "Placeholder", "", "", "" }, // never listed
            { "K5ABD", "5", "Ray", "Rita", "Dallas", "TX" },
            { "W1ABC", "1", "Tom", "Uma", "Boston", "MA" },
        });
}

RosterTable repCheckIn()
{
    return RosterTable({ "Call", "AREA", "NameS", "City", "State" },
        {
            { "CALL", "", "NAMES", "CITY", "ST" }, // a placeholder listed first, but no call
            { "KA5ABC", "5", "Reggie", "Houston", "TX" },
            { "NK5ABC", "5", "Nick", "Galveston", "TX" },
        });
}

RosterTable wbcci()
{
    return RosterTable({ "Call", "AREA", "NameS", "CITY", "STATE" },
        {
            { "W4PLACE", "4", "Placeholder", "", "" },
            { "W4WB", "4", "Walt", "Macon", "GA" },
            { "W4WB", "4", "Dup", "Albany", "GA" },
            { "K5ABCW", "5", "Will", "Amarillo", "TX" },
        });
}

QList<QStringList> sheet()
{
    auto member = [](const char* last, const char* first, const char* call, const char* spouse,
                      const char* spouseCall, const char* city, const char* state) {
        return QStringList { last, first, call, "1", "2010-05-22", spouse, spouseCall, "Winnebago", state,
            "1 Elm St", "00000", city, state, state };
    };
    return {
        { "Last Name", "First Name", "Call", "Member No", "Joined", "Spouse", "Spouse Call", "Coach",
            "Home State", "Address", "Zip", "City", "State", "Mail State" },
        member("Smith", "Ann", "K5ABC", "Bob", "K5BOB", "Waco", "TX"),
        member("Lee", "Kim", "N5SHEET", "", "", "Austin", "TX"),
        member("Nobody", "No", "", "", "", "Nowhere", "TX"),
    };
}

struct Seen {
    M match;
    S source;
    QString call;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seen& s)
{
    return os << int(s.match) << "/" << int(s.source) << "/" << s.call.toStdString();
}

std::vector<Seen> seen(const std::vector<StationRow>& rows)
{
    std::vector<Seen> out;
    for (const StationRow& r : rows)
        out.push_back({ r.match, r.match == M::NewStation ? S::Fcc : r.source, r.call });
    return out;
}

// The seven SELECTED CALL fields of a station in their order; "-" for a field left unset.
QStringList fieldsOf(const Station& station)
{
    QStringList out;
    for (int f = 0; f < kStationFields; ++f)
        out << (station.has(StationField(f)) ? station.text(StationField(f)) : QStringLiteral("-"));
    return out;
}

const StationRow* rowOf(const std::vector<StationRow>& rows, const char* call, S source)
{
    for (const StationRow& r : rows)
        if (r.call == QLatin1String(call) && r.source == source && r.match != M::NewStation)
            return &r;
    ADD_FAILURE() << "no row " << call << " from source " << int(source);
    return nullptr;
}

class Directory : public ::testing::Test {
protected:
    void SetUp() override
    {
        directory.setRoster(S::ArcRoster, amber());
        directory.setRoster(S::RvRoster, abc());
        directory.setRoster(S::RegularRoster, repCheckIn());
        directory.setRoster(S::WbcciRoster, wbcci());
        directory.setSpreadsheet(sheet());
    }

    // Makes the licence file and its index, and hands the index to the directory.
    void withFcc(const std::vector<std::string>& lines = kFccLines)
    {
        std::string text;
        for (const auto& line : lines)
            text += line + "\r\n";
        fccPath = dir.filePath("EN.dat");
        QFile f(fccPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), qint64(text.size()));
        f.close();
        loader.start(fccPath, QString());
        ASSERT_TRUE(loader.waitForFinished(10000));
        ASSERT_EQ(loader.state(), FccIndexLoader::State::Ready);
        directory.setFccLoader(&loader);
    }

    QTemporaryDir dir;
    QString fccPath;
    FccIndexLoader loader;
    StationDirectory directory;
};

} // namespace

TEST_F(Directory, WholeCallThenBeginningThenEndThenOneEditAcrossEverySource)
{
    withFcc();
    const auto rows = directory.suggest("K5ABC", 30);
    EXPECT_EQ(seen(rows),
        (std::vector<Seen> {
            { M::Exact, S::ArcRoster, "K5ABC" },
            { M::Exact, S::Spreadsheet, "K5ABC" },
            { M::Exact, S::Fcc, "K5ABC" },
            // A roster's call before the FCC file's, whatever the alphabet says; the
            // club's calls ending with the text before the FCC calls beginning with it.
            { M::Prefix, S::WbcciRoster, "K5ABCW" },
            { M::Suffix, S::RegularRoster, "NK5ABC" },
            { M::Prefix, S::Fcc, "K5ABCD" },
            { M::Suffix, S::Fcc, "WK5ABC" },
            // Changed, missing, added, swapped; each call once, in its first kind only.
            { M::OneEdit, S::ArcRoster, "K5AB" },
            { M::OneEdit, S::RvRoster, "K5ABD" },
            { M::OneEdit, S::RegularRoster, "KA5ABC" },
            { M::OneEdit, S::Fcc, "K5AC" },
            { M::OneEdit, S::Fcc, "K5BAC" },
            { M::OneEdit, S::Fcc, "N5ABC" },
        }));
    const unsigned everywhere = sourceBit(S::ArcRoster) | sourceBit(S::Spreadsheet) | sourceBit(S::Fcc);
    EXPECT_EQ(rows[0].sources, everywhere);
    EXPECT_EQ(rows[2].sources, everywhere);
    EXPECT_EQ(rows[3].sources, sourceBit(S::WbcciRoster));
    EXPECT_TRUE(directory.isKnownCall(" k5abc"));

    // The limit cuts the list at its end, the ranking kept.
    const auto all = seen(rows);
    EXPECT_EQ(seen(directory.suggest("K5ABC", 4)), std::vector<Seen>(all.begin(), all.begin() + 4));
    EXPECT_TRUE(directory.suggest("K5ABC", 0).empty());
}

TEST_F(Directory, HeardSuffixFindsEveryCallEndingWithIt)
{
    withFcc();
    const auto rows = directory.suggest("abc");
    EXPECT_EQ(seen(rows),
        (std::vector<Seen> {
            { M::Suffix, S::ArcRoster, "K5ABC" },
            { M::Suffix, S::ArcRoster, "W1ABC" },
            { M::Suffix, S::RegularRoster, "KA5ABC" },
            { M::Suffix, S::RegularRoster, "NK5ABC" },
            { M::Suffix, S::Fcc, "N5ABC" },
            { M::Suffix, S::Fcc, "WK5ABC" },
        }));
    EXPECT_EQ(rows[1].sources, sourceBit(S::ArcRoster) | sourceBit(S::RvRoster));
}

TEST_F(Directory, EveryRowFillsTheFieldsAsItsSourcesOwnLookUpDoes)
{
    withFcc();
    auto station = [&](const char* text, const char* call, S source) {
        const auto rows = directory.suggest(text, 30);
        const StationRow* row = rowOf(rows, call, source);
        return row ? row->station : Station {};
    };
    auto fields
        = [&](const char* text, const char* call, S source) { return fieldsOf(station(text, call, source)); };
    // Roster lines: the call and the columns of the roster's field map, nothing else.
    EXPECT_EQ(fields("K5ABC", "K5ABC", S::ArcRoster),
        (QStringList { "K5ABC", "Ann", "Smith", "Bob", "K5BOB", "Waco", "TX" }));
    EXPECT_EQ(fields("K5ABD", "K5ABD", S::RvRoster),
        (QStringList { "K5ABD", "Ray", "-", "Rita", "-", "Dallas", "TX" }));
    EXPECT_EQ(fields("KA5ABC", "KA5ABC", S::RegularRoster),
        (QStringList { "KA5ABC", "Reggie", "-", "-", "-", "Houston", "TX" }));
    EXPECT_EQ(fields("W4WB", "W4WB", S::WbcciRoster),
        (QStringList { "W4WB", "Walt", "-", "-", "-", "Macon", "GA" }));
    // The call as one station: trimmed and in capitals, whatever the roster lists.
    EXPECT_EQ(station("K5XYZ", "K5XYZ", S::ArcRoster).call(), "K5XYZ");
    // A grid line: all seven columns of the sheet.
    EXPECT_EQ(fields("K5ABC", "K5ABC", S::Spreadsheet),
        (QStringList { "K5ABC", "Ann", "Smith", "Bob", "K5BOB", "Waco", "TX" }));
    // The FCC record without the padding of its layout, the last name without its comma.
    EXPECT_EQ(fields("K5ABCD", "K5ABCD", S::Fcc),
        (QStringList { "K5ABCD", "JANE Q", "DOE", "-", "-", "ANYTOWN", "TX" }));

    // Where each came from, for the check-in and for the operator.
    const std::pair<S, std::pair<CheckInSource, const char*>> origins[] = {
        { S::ArcRoster, { CheckInSource::Roster, "FMCA ARC" } },
        { S::RvRoster, { CheckInSource::Roster, "RV Radio Network" } },
        { S::Spreadsheet, { CheckInSource::Spreadsheet, "ARC ROSTER" } },
        { S::Fcc, { CheckInSource::Fcc, "FCC" } },
    };
    const char* calls[] = { "K5ABC", "K5ABD", "K5ABC", "K5ABCD" };
    for (std::size_t i = 0; i < std::size(origins); ++i) {
        const Station s = station(calls[i], calls[i], origins[i].first);
        EXPECT_EQ(s.source(), origins[i].second.first) << calls[i];
        EXPECT_EQ(s.origin(), origins[i].second.second) << calls[i];
    }
    const auto fresh = directory.suggest("W9NEW");
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0].station.source(), CheckInSource::Manual);
    EXPECT_EQ(fresh[0].station.origin(), "new");
    EXPECT_EQ(fieldsOf(fresh[0].station), (QStringList { "W9NEW", "-", "-", "-", "-", "-", "-" }));
}

TEST_F(Directory, RowsTellNameTownRecordAndChapterStanding)
{
    withFcc();
    const auto rows = directory.suggest("K5ABC", 30);
    const StationRow* arc = rowOf(rows, "K5ABC", S::ArcRoster);
    ASSERT_TRUE(arc);
    EXPECT_EQ(arc->name, "Ann Smith");
    EXPECT_EQ(arc->city, "Waco");
    EXPECT_EQ(arc->record, 0);
    EXPECT_EQ(arc->chapter, ChapterStatus::Member);
    EXPECT_EQ(rowOf(rows, "K5ABC", S::Spreadsheet)->record, 1);
    EXPECT_EQ(rowOf(rows, "K5ABC", S::Fcc)->chapter, ChapterStatus::Member);
    EXPECT_EQ(rowOf(rows, "K5AB", S::ArcRoster)->chapter, ChapterStatus::NotPaid); // on ARC, not on the sheet
    EXPECT_EQ(rowOf(rows, "K5ABD", S::RvRoster)->chapter, ChapterStatus::Unknown);
    EXPECT_EQ(rowOf(rows, "K5ABD", S::RvRoster)->record, 1); // after the placeholder

    const StationRow* fcc = rowOf(rows, "K5ABCD", S::Fcc);
    ASSERT_TRUE(fcc);
    EXPECT_EQ(fcc->name, "JANE Q DOE");
    EXPECT_EQ(fcc->city, "ANYTOWN");
    EXPECT_EQ(fcc->state, "TX");
    EXPECT_EQ(fcc->record, qint64(kFccLines[0].size() + 2)); // where its line starts
    const auto club = directory.suggest("K0ARC");
    ASSERT_FALSE(club.empty());
    EXPECT_EQ(club[0].name, "ANYTOWN AMATEUR RADIO CLUB");

    EXPECT_EQ(StationDirectory::chapterText(ChapterStatus::NotPaid), "NOT PAID ARC MEMBER");
    EXPECT_EQ(StationDirectory::sourceText(S::WbcciRoster), "WBCCI Service net");

    // Without a spreadsheet nobody's standing is known.
    directory.setSpreadsheet({});
    const auto after = directory.suggest("K5AB", 30);
    EXPECT_EQ(rowOf(after, "K5AB", S::ArcRoster)->chapter, ChapterStatus::Unknown);
    EXPECT_EQ(rowOf(after, "K5ABC", S::ArcRoster)->chapter, ChapterStatus::Unknown);
}

TEST_F(Directory, PlaceholdersAndCallsListedTwiceGiveOneRowEach)
{
    EXPECT_TRUE(
        directory.suggest("K5ZZZ").size() == 1 && directory.suggest("K5ZZZ")[0].match == M::NewStation);
    EXPECT_TRUE(directory.suggest("W4PLACE").empty()); // not a call's shape either
    EXPECT_TRUE(directory.suggest("CALL").empty());
    const auto w4wb = directory.suggest("W4WB");
    ASSERT_EQ(w4wb.size(), 1u);
    EXPECT_EQ(w4wb[0].station.text(StationField::FirstName), "Walt");
    EXPECT_EQ(w4wb[0].record, 1);
    // A spreadsheet row without a call is no station.
    for (const StationRow& r : directory.suggest("N5SHEET"))
        EXPECT_FALSE(r.call.isEmpty());
}

TEST_F(Directory, UnknownCallOfACallsShapeIsANewStation)
{
    withFcc();
    for (const char* text : { "W9NEW", " w9new ", "w9New" }) {
        const auto rows = directory.suggest(text);
        ASSERT_EQ(rows.size(), 1u) << text;
        EXPECT_EQ(rows[0].match, M::NewStation);
        EXPECT_EQ(rows[0].call, "W9NEW");
        EXPECT_EQ(rows[0].station.call(), "W9NEW");
        EXPECT_EQ(rows[0].record, -1);
    }
    // A known call is no new station, wherever it is known.
    for (const char* known : { "K5AB", "N5SHEET", "W9FCC" }) {
        const auto rows = directory.suggest(known);
        ASSERT_FALSE(rows.empty()) << known;
        EXPECT_EQ(rows[0].match, M::Exact) << known;
    }
    // Unknown and not a call's shape: no new station, only what matches.
    EXPECT_TRUE(directory.suggest("QQQ").empty());
    const auto k5 = directory.suggest("K5", 50);
    ASSERT_FALSE(k5.empty());
    EXPECT_EQ(k5[0].match, M::Prefix);
}

TEST(CallShape, AmateurCallsAndWhatIsNoCall)
{
    for (const char* call : { "K5ABC", "W1AW", "KA5ABC", "N0X", "K5A", "VE3ABC", "G4ABC", "2E0ABC", "E51ABC",
             "9A1AA", "WB7ALL", "KH6ABCD" })
        EXPECT_TRUE(looksLikeCallSign(call)) << call;
    for (const char* text :
        { "", "K", "K5", "5ABC", "K5AB1", "K5ABCDE", "ABC", "55ABC", "KAB5ABC", "K5-ABC", "k5abc", "K55" })
        EXPECT_FALSE(looksLikeCallSign(text)) << text;
}

TEST(CallShape, OneEditIsOneChangeMissingAddedOrSwappedCharacter)
{
    for (const auto& [a, b] : std::vector<std::pair<const char*, const char*>> { { "K5ABC", "K5ABD" },
             { "K5ABC", "K5AB" }, { "K5ABC", "K5ABCD" }, { "K5ABC", "K5BAC" }, { "K5ABC", "5ABC" },
             { "K5ABC", "XK5ABC" }, { "K5ABC", "5KABC" }, { "A", "" } })
        EXPECT_TRUE(withinOneEdit(a, b) && withinOneEdit(b, a)) << a << " " << b;
    for (const auto& [a, b] : std::vector<std::pair<const char*, const char*>> { { "K5ABC", "K5ABC" },
             { "K5ABC", "K5BCA" }, { "K5ABC", "K5A" }, { "K5ABC", "K5XYC" }, { "K5ABC", "K5ABCDE" },
             { "K5ABC", "5KBAC" }, { "", "" } })
        EXPECT_FALSE(withinOneEdit(a, b) || withinOneEdit(b, a)) << a << " " << b;
}

TEST(CommaForm, CallNameCityStateBetweenCommas)
{
    const auto full = parseCommaForm(" k5abc , Ann Smith,  Waco ,TX ");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->call, "K5ABC");
    EXPECT_EQ(full->name, "Ann Smith");
    EXPECT_EQ(full->city, "Waco");
    EXPECT_EQ(full->state, "TX");

    const auto two = parseCommaForm("W9NEW, BOB");
    ASSERT_TRUE(two);
    EXPECT_EQ(two->name, "BOB");
    EXPECT_EQ(two->city, "");
    EXPECT_EQ(two->state, "");
    const auto portable = parseCommaForm("K5ABC/M,,,");
    ASSERT_TRUE(portable);
    EXPECT_EQ(portable->call, "K5ABC/M");
    EXPECT_EQ(portable->name, "");

    const auto tab = parseCommaForm("K5ABC, ANN\tSMITH\n, WACO, TX");
    ASSERT_TRUE(tab);
    EXPECT_EQ(tab->name, "ANN SMITH");

    for (const char* bad : { "K5ABC", "", ",", " , ANN", "K5 ABC, ANN", "K5-ABC, ANN", "K5ABC, A, B, C, D",
             "K\xC3\x84"
             "5ABC, ANN",
             "ABCDEFGHIJKLMNOPQ, ANN" })
        EXPECT_FALSE(parseCommaForm(QString::fromUtf8(bad))) << bad;
}

TEST_F(Directory, BadInputGivesNoRowAndNeverAnEmptyCall)
{
    withFcc();
    const QString texts[] = { QString(), "", "   ", "\t", "K5-ABC", "K5ABC!", "K5 ABC", "K5ABC, ANN",
        QString(200, 'A'), QString(200, 'K') + "5ABC",
        QString::fromUtf8("k5\xC3\xA4"
                          "bc"),
        QString::fromUtf8("\xEF\xBC\xAB\xEF\xBC\x95\xEF\xBC\xA1\xEF\xBC\xA2\xEF\xBC\xA3"), // full-width K5ABC
        QString::fromUtf8("\xF0\x9F\x93\xBB"), QString(1, QChar(0)), "'; DROP TABLE", "%s%s%n" };
    for (const QString& t : texts)
        EXPECT_TRUE(directory.suggest(t).empty()) << t.toStdString();
    // Whatever is typed on the way to a call, no row carries an empty call.
    const QString typing = QStringLiteral(" k5abcd");
    for (int n = 0; n <= typing.size(); ++n)
        for (const StationRow& r : directory.suggest(typing.left(n), 50)) {
            EXPECT_FALSE(r.call.isEmpty());
            EXPECT_FALSE(r.station.call().isEmpty());
        }
    EXPECT_EQ(seen(directory.suggest(" k5abc ")), seen(directory.suggest("K5ABC")));
}

TEST_F(Directory, WhileTheFccIndexIsMadeRowsComeFromRostersAndSpreadsheet)
{
    EXPECT_EQ(directory.fccState(), FccIndexLoader::State::NoFile);
    withFcc();
    // Made again, after a long wait: meanwhile the directory goes without it.
    loader.start(fccPath, QString(), std::chrono::hours(1));
    EXPECT_EQ(directory.fccState(), FccIndexLoader::State::Loading);
    const auto rows = directory.suggest("K5ABC", 30);
    for (const StationRow& r : rows) {
        EXPECT_NE(r.source, S::Fcc) << r.call.toStdString();
        EXPECT_FALSE(r.sources & sourceBit(S::Fcc)) << r.call.toStdString();
    }
    EXPECT_EQ(seen(rows).front(), (Seen { M::Exact, S::ArcRoster, "K5ABC" }));
    // A call only the FCC file knows is offered as a new station meanwhile.
    const auto fccOnly = directory.suggest("W9FCC");
    ASSERT_EQ(fccOnly.size(), 1u);
    EXPECT_EQ(fccOnly[0].match, M::NewStation);

    loader.start(fccPath, QString());
    ASSERT_TRUE(loader.waitForFinished(10000));
    EXPECT_EQ(directory.fccState(), FccIndexLoader::State::Ready);
    EXPECT_EQ(seen(directory.suggest("W9FCC")), (std::vector<Seen> { { M::Exact, S::Fcc, "W9FCC" } }));
}

TEST_F(Directory, LicenceFileChangedUnderTheIndexGivesNoWrongRecord)
{
    withFcc();
    // Another file of the same name: every record moved.
    QFile f(fccPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(("EN|1|||" + std::string(3000, 'Q') + "\n").c_str());
    f.close();
    const auto rows = directory.suggest("K5ABC", 30);
    for (const StationRow& r : rows)
        EXPECT_NE(r.source, S::Fcc) << r.call.toStdString();
    EXPECT_FALSE(rows.empty());
}

TEST_F(Directory, SpouseCallsAreStationsWithTheSpousesNameFromTheMembersRecord)
{
    withFcc();
    // K5BOB is the spouse call of K5ABC on the ARC roster and on the spreadsheet.
    EXPECT_TRUE(directory.isKnownCall("k5bob"));
    const auto rows = directory.suggest("K5BOB", 30);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(seen({ rows[0], rows[1] }),
        (std::vector<Seen> { { M::Exact, S::ArcRoster, "K5BOB" }, { M::Exact, S::Spreadsheet, "K5BOB" } }));
    for (const StationRow& r : { rows[0], rows[1] }) {
        EXPECT_TRUE(r.spouse);
        EXPECT_EQ(r.name, "Bob Smith");
        EXPECT_EQ(
            fieldsOf(r.station), (QStringList { "K5BOB", "Bob", "Smith", "Ann", "K5ABC", "Waco", "TX" }));
        EXPECT_EQ(r.chapter, ChapterStatus::Member);
    }
    EXPECT_EQ(rows[0].record, 0);
    EXPECT_EQ(rows[0].station.origin(), "FMCA ARC");
    EXPECT_EQ(rows[1].station.source(), CheckInSource::Spreadsheet);
    // Found by its end as well, and the member's own row stays the member's.
    EXPECT_EQ(seen(directory.suggest("BOB")), (std::vector<Seen> { { M::Suffix, S::ArcRoster, "K5BOB" } }));
    const auto member = directory.suggest("K5ABC");
    ASSERT_FALSE(member.empty());
    EXPECT_FALSE(member[0].spouse);
    EXPECT_EQ(member[0].station.text(StationField::FirstName), "Ann");

    // A spouse with a record of their own is listed by that record; no spouse call, no spouse.
    StationDirectory couple;
    couple.setRoster(S::ArcRoster,
        RosterTable({ "CALL", "AREA", "FN", "SFN", "LNAME", "SCALL", "CITY", "STATE" },
            {
                { "K7HIM", "7", "Hal", "Sue", "Hart", "k7her ", "Mesa", "AZ" },
                { "K7HER", "7", "Susan", "Hal", "Hart", "K7HIM", "Mesa", "AZ" },
                { "K7ONE", "7", "Olga", "Pete", "Ode", "", "Yuma", "AZ" },
            }));
    const auto her = couple.suggest("K7HER");
    ASSERT_EQ(her.size(), 1u);
    EXPECT_FALSE(her[0].spouse);
    EXPECT_EQ(her[0].station.text(StationField::FirstName), "Susan");
    EXPECT_EQ(her[0].record, 1);
    for (const StationRow& r : couple.suggest("K7", 30))
        EXPECT_NE(r.station.text(StationField::FirstName), "Pete");
}

TEST_F(Directory, ClubCallsEndingWithTheTextComeBeforeFccCallsBeginningWithIt)
{
    // Twelve FCC calls begin with AB; the club has three calls that end with it.
    std::vector<std::string> lines;
    for (int i = 0; i < 14; ++i)
        lines.push_back(enLine(
            20 + i, "AB" + std::to_string(i % 10) + std::string(1, char('A' + i)), "FILL, FRED", "ELGIN"));
    withFcc(lines);
    directory.setRoster(S::RvRoster,
        RosterTable({ "Call", "AREA", "FN", "Spouse", "CITY", "STATE" },
            { { "K5ZZZ", "5", "Placeholder", "", "", "" }, { "N8AB", "8", "Ned", "", "Lima", "OH" } }));
    directory.setSpreadsheet({ sheet()[0],
        QStringList { "Knapp", "Kay", "KN1AB", "", "", "", "", "", "", "", "", "Keene", "NH", "NH" } });
    const auto rows = directory.suggest("AB");
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(seen({ rows.begin(), rows.begin() + 3 }),
        (std::vector<Seen> { { M::Suffix, S::ArcRoster, "K5AB" }, { M::Suffix, S::RvRoster, "N8AB" },
            { M::Suffix, S::Spreadsheet, "KN1AB" } }));
    for (std::size_t i = 3; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].match, M::Prefix) << i;
        EXPECT_EQ(rows[i].source, S::Fcc) << i;
    }
}

TEST_F(Directory, ACallOnNoListPutsTheNearestStationFirstAndANewStationNext)
{
    withFcc();
    // A club station one edit away comes before an FCC call that merely begins with the text.
    auto rows = directory.suggest("WK5AB");
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(seen({ rows.begin(), rows.begin() + 3 }),
        (std::vector<Seen> { { M::OneEdit, S::ArcRoster, "K5AB" }, { M::NewStation, S::Fcc, "WK5AB" },
            { M::Prefix, S::Fcc, "WK5ABC" } }));
    EXPECT_FALSE(directory.isKnownCall("WK5AB"));
    const auto near = directory.nearest(" wk5ab");
    ASSERT_TRUE(near);
    EXPECT_EQ(near->call, "K5AB");
    EXPECT_EQ(StationDirectory::shortSourceName(near->source), "ARC");

    // With no club station near, the FCC file's nearest comes first.
    rows = directory.suggest("W9FC");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(seen(rows),
        (std::vector<Seen> { { M::Prefix, S::Fcc, "W9FCC" }, { M::NewStation, S::Fcc, "W9FC" } }));
    EXPECT_EQ(directory.nearest("W9FC")->call, "W9FCC");
    EXPECT_EQ(directory.suggest("W9FC", 1).size(), 1u);
    EXPECT_EQ(directory.suggest("W9FC", 1)[0].call, "W9FCC");

    // A known call has no "nearest"; nothing near, nothing but the new station.
    EXPECT_FALSE(directory.nearest("K5ABC"));
    EXPECT_FALSE(directory.nearest("W9NEW"));
    EXPECT_FALSE(directory.nearest("!!"));
    EXPECT_EQ(seen(directory.suggest("W9NEW")), (std::vector<Seen> { { M::NewStation, S::Fcc, "W9NEW" } }));

    const std::pair<S, const char*> names[]
        = { { S::ArcRoster, "ARC" }, { S::RvRoster, "RV" }, { S::RegularRoster, "REG" },
              { S::WbcciRoster, "WBCCI" }, { S::Spreadsheet, "SHEET" }, { S::Fcc, "FCC" } };
    for (const auto& [source, name] : names)
        EXPECT_EQ(StationDirectory::shortSourceName(source), name);
}

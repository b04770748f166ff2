// The search of the four club rosters: one station, never a mix of two.
#include "roster/ClubSearch.h"

#include <gtest/gtest.h>

namespace {
RosterTable table(const QStringList& columns, std::vector<QStringList> rows)
{
    return RosterTable(columns, std::move(rows));
}
} // namespace

TEST(ClubSearch, AnExactCallInOneRosterWinsOverAPrefixInAnother)
{
    const RosterTable arc = table({ "CALL", "AREA", "FN", "SFN", "LNAME", "SCALL", "CITY", "STATE" },
        { { "K5RRX", "5", "Rexford", "", "Denton", "", "Denton", "TX" } });
    const RosterTable rv = table({ "Call", "AREA", "FN", "Spouse", "CITY", "STATE" },
        { { "K5ZZZ", "5", "Placeholder", "", "", "" }, { "K5RR", "5", "Ron", "", "Waco", "TX" } });
    const RosterTable reg = table({ "Call", "AREA", "NameS", "City", "State" }, {});
    const RosterTable wbc = table({ "Call", "AREA", "NameS", "CITY", "STATE" }, {});
    auto tables = [&](RosterGroup g) -> const RosterTable& {
        return g == rgARC ? arc : g == rgRV ? rv : g == rgRegular ? reg : wbc;
    };
    const ClubSearchResult exact = searchClubRosters("K5RR", tables);
    EXPECT_EQ(exact.rosters, QStringList { "RV Radio Network" });
    ASSERT_TRUE(exact.station);
    EXPECT_EQ(exact.station->text(StationField::FirstName), "Ron");
    EXPECT_FALSE(exact.station->has(StationField::LastName)); // nothing of Rexford Denton
    EXPECT_EQ(exact.station->source(), CheckInSource::ClubSearch);

    // With no roster holding the text itself, a call that begins with it is found.
    const ClubSearchResult prefix = searchClubRosters("K5RRX", tables);
    EXPECT_EQ(prefix.rosters, QStringList { "FMCA ARC" });
    const ClubSearchResult begins = searchClubRosters("K5R", tables);
    // Two calls begin with it: the lines say which roster matched which.
    EXPECT_EQ(begins.rosters, (QStringList { "FMCA ARC: K5RRX", "RV Radio Network: K5RR" }));
    EXPECT_FALSE(searchClubRosters("N0NE", tables).station);
}

TEST(ClubSearch, APrefixOfSeveralCallsShowsTheFirstCallsStationWhole)
{
    const RosterTable arc = table({ "CALL", "AREA", "FN", "SFN", "LNAME", "SCALL", "CITY", "STATE" },
        { { "K5RRX", "5", "Rexford", "Ida", "Denton", "K5IDA", "Denton", "TX" } });
    const RosterTable rv = table({ "Call", "AREA", "FN", "Spouse", "CITY", "STATE" },
        { { "K5ZZZ", "5", "Placeholder", "", "", "" }, { "K5RR", "5", "Ron", "", "Waco", "TX" } });
    const RosterTable reg = table({ "Call", "AREA", "NameS", "City", "State" }, {});
    // The same call in another roster still adds its fields.
    const RosterTable wbc = table({ "Call", "AREA", "NameS", "CITY", "STATE" },
        { { "K5RRX", "5", "Rex", "Dallas", "TX" }, { "K5RRR", "5", "Other", "Tyler", "TX" } });
    auto tables = [&](RosterGroup g) -> const RosterTable& {
        return g == rgARC ? arc : g == rgRV ? rv : g == rgRegular ? reg : wbc;
    };
    const ClubSearchResult r = searchClubRosters("K5R", tables);
    ASSERT_TRUE(r.station);
    EXPECT_EQ(
        r.rosters, (QStringList { "FMCA ARC: K5RRX", "RV Radio Network: K5RR", "WBCCI Service net: K5RRX" }));
    // Everything from K5RRX: nothing of Ron of Waco.
    EXPECT_EQ(r.station->text(StationField::Call), "K5RRX");
    EXPECT_EQ(r.station->text(StationField::FirstName), "Rex");
    EXPECT_EQ(r.station->text(StationField::LastName), "Denton");
    EXPECT_EQ(r.station->text(StationField::SpouseName), "Ida");
    EXPECT_EQ(r.station->text(StationField::City), "Dallas");
    EXPECT_EQ(r.station->origin(), "FMCA ARC");

    // The call itself in two rosters: one station from both, the lines the rosters' names.
    const ClubSearchResult one = searchClubRosters("K5RRX", tables);
    EXPECT_EQ(one.rosters, (QStringList { "FMCA ARC", "WBCCI Service net" }));
    EXPECT_EQ(one.station->text(StationField::Call), "K5RRX");
}

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
    EXPECT_EQ(begins.rosters, (QStringList { "FMCA ARC", "RV Radio Network" }));
    EXPECT_FALSE(searchClubRosters("N0NE", tables).station);
}

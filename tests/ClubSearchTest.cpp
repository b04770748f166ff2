// The search of the four club rosters for one call: exact hits alone when there are any, the
// prefix rule only when there are none, never two stations mixed.
#include "roster/ClubSearch.h"
#include "data/RosterTable.h"

#include <gtest/gtest.h>

#include <map>

namespace {
struct Rosters {
    std::map<RosterGroup, RosterTable> tables {
        { rgARC,
            RosterTable({ "CALL", "AREA", "FN", "SFN", "LNAME", "SCALL", "CITY", "STATE" },
                {
                    { "K5RRX", "5", "Rexford", "Rita", "Denton", "K5RIT", "Plano", "TX" },
                    { "W1ABC", "1", "Carl", "", "Jones", "", "Erie", "PA" },
                }) },
        { rgRV,
            RosterTable({ "Call", "AREA", "FN", "Spouse", "CITY", "STATE" },
                {
                    { "K5ZZZ", "5", "Placeholder", "", "", "" },
                    { "K5RR", "5", "Ron", "Rae", "Tyler", "TX" },
                    { "W1ABC", "1", "Tom", "Uma", "Boston", "MA" },
                }) },
        { rgRegular,
            RosterTable(
                { "Call", "AREA", "NameS", "City", "State" }, { { " K5RRY", "5", "Reg", "Waco", "TX" } }) },
        // A table read without its key column adds nothing.
        { rgWBCCI, RosterTable({ "Sign", "AREA" }, { { "K5RR", "5" } }) },
    };
    std::vector<ClubSearchHit> search(const QString& call) const
    {
        return searchClubRosters(call, [this](RosterGroup g) {
            const auto it = tables.find(g);
            return it == tables.end() ? nullptr : &it->second;
        });
    }
};

QStringList described(const std::vector<ClubSearchHit>& hits)
{
    QStringList out;
    for (const ClubSearchHit& h : hits)
        out << h.label + ": " + h.station.call() + " " + h.station.text(StationField::FirstName) + " "
                + h.station.text(StationField::LastName) + " " + h.station.text(StationField::City);
    return out;
}
} // namespace

TEST(ClubSearch, ExactHitsAloneOtherwiseTheFirstRecordBeginningWithTheCall)
{
    const Rosters r;
    // K5RR is on the RV roster; ARC's K5RRX is another station and stays out.
    EXPECT_EQ(described(r.search("K5RR")), QStringList { "RV Radio Network: K5RR Ron  " });
    // Exact in two rosters: both, in catalog order, each with its own fields.
    EXPECT_EQ(described(r.search("W1ABC")),
        (QStringList { "FMCA ARC: W1ABC Carl Jones Erie", "RV Radio Network: W1ABC Tom  " }));
    // No roster holds it exactly: each roster's first record that begins with it.
    EXPECT_EQ(described(r.search("K5R")),
        (QStringList { "FMCA ARC: K5RRX Rexford Denton Plano", "RV Radio Network: K5RR Ron  " }));
    // Letter case counts, as in the tables; a blank call finds nothing.
    EXPECT_TRUE(r.search("k5rr").empty());
    EXPECT_TRUE(r.search("").empty());
    EXPECT_TRUE(r.search("   ").empty());
    EXPECT_TRUE(r.search("N0NONE").empty());
    EXPECT_TRUE(searchClubRosters("K5RR", {}).empty());

    // The station the club search copies: the roster's search fields, from the club search.
    const auto hits = r.search("K5RRX");
    ASSERT_EQ(hits.size(), 1u);
    const Station& s = hits[0].station;
    EXPECT_EQ(s.source(), CheckInSource::ClubSearch);
    EXPECT_EQ(s.origin(), "FMCA ARC");
    EXPECT_EQ(s.text(StationField::SpouseCall), "K5RIT");
    EXPECT_EQ(s.text(StationField::State), "TX");
    // The RV roster's search copies the first name alone.
    const Station rv = r.search("K5RR")[0].station;
    EXPECT_FALSE(rv.has(StationField::City));
    EXPECT_FALSE(rv.has(StationField::SpouseName));
}

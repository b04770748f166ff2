// What the FCC files say of a licence and how it is shown: dates, HD and AM records,
// the net page's line, the suggestion mark, the date of a set and the page's data line.
#include "licence/FccDataDate.h"
#include "licence/LicenceInfo.h"

#include <gtest/gtest.h>

namespace {

LicenceDay day(int y, int m, int d)
{
    return LicenceDayOf(y, m, d);
}

LicenceInfo licence(char cls, char status, LicenceDay granted, LicenceDay expires, LicenceDay cancelled = 0)
{
    return LicenceInfo { cls, status, granted, expires, cancelled };
}

} // namespace

TEST(LicenceDates, UsDatesReadAndIsoDatesWritten)
{
    EXPECT_EQ(LicenceDayText(ParseLicenceDay("02/15/2034")), "2034-02-15");
    EXPECT_EQ(LicenceDayText(ParseLicenceDay("02/29/2024")), "2024-02-29");
    EXPECT_EQ(LicenceDayText(ParseLicenceDay("01/01/1970")), ""); // day 0 is "no date"
    EXPECT_EQ(LicenceDayText(ParseLicenceDay("01/02/1970")), "1970-01-02");
    EXPECT_EQ(LicenceDayText(ParseLicenceDay("06/06/2149")), "2149-06-06"); // the last day two bytes hold
    for (const char* bad : { "", "02/30/2023", "02/29/2023", "13/01/2020", "2034-02-15", "2/15/2034",
             "ab/cd/efgh", "06/07/2149", "01/01/2150", "12/31/1969" })
        EXPECT_EQ(ParseLicenceDay(bad), 0) << bad;
    EXPECT_EQ(ParseLicenceDay("09/28/2025") + 1, ParseLicenceDay("09/29/2025"));
    EXPECT_EQ(ParseLicenceDay("12/31/2025") + 1, ParseLicenceDay("01/01/2026"));
}

TEST(LicenceRecords, HdAndAmFieldsByPositionAndMalformedOnesRefused)
{
    const auto hd = ParseHdRecord("HD|3456789|||W1AW|E|HA|02/15/2014|02/15/2024|||||N|||||||");
    ASSERT_TRUE(hd);
    EXPECT_EQ(hd->id, 3456789u);
    EXPECT_EQ(hd->call, "W1AW");
    EXPECT_EQ(hd->status, 'E');
    EXPECT_EQ(LicenceDayText(hd->granted), "2014-02-15");
    EXPECT_EQ(LicenceDayText(hd->expires), "2024-02-15");
    EXPECT_EQ(hd->cancelled, 0);
    const auto cancelled = ParseHdRecord("HD|12|||K1A|c|HA|01/02/2020|01/02/2030|09/30/2025|");
    ASSERT_TRUE(cancelled);
    EXPECT_EQ(cancelled->status, 'C');
    EXPECT_EQ(LicenceDayText(cancelled->cancelled), "2025-09-30");
    EXPECT_FALSE(ParseHdRecord("HD|12|||K1A|A|HA|01/02/2020|01/02/2030")); // nine fields
    EXPECT_FALSE(ParseHdRecord("EN|12|||K1A|A|HA|01/02/2020|01/02/2030||"));
    EXPECT_FALSE(ParseHdRecord("HD|x12|||K1A|A|HA|01/02/2020|01/02/2030||"));

    const auto am = ParseAmRecord("AM|3456789|||W1AW|E|D|1||||||||||");
    ASSERT_TRUE(am);
    EXPECT_EQ(am->id, 3456789u);
    EXPECT_EQ(am->operatorClass, 'E');
    const auto club = ParseAmRecord("AM|77|||W1ARC||D|1|K1ABC|Y||||||||");
    ASSERT_TRUE(club);
    EXPECT_EQ(club->operatorClass, 0);
    EXPECT_FALSE(ParseAmRecord("AM|77|||W1ARC"));
    EXPECT_FALSE(ParseAmRecord("AM||||W1ARC|E|"));
    EXPECT_EQ(LicenceRecordId("EN|1234567|||N0CALL"), 1234567u);
    EXPECT_FALSE(LicenceRecordId("EN|12345678901|||N0CALL"));
}

TEST(LicenceShown, NetPageLineForEveryKindOfLicence)
{
    const LicenceDay g = day(2024, 2, 15);
    EXPECT_EQ(NetLicenceText(licence('E', 'A', g, day(2034, 2, 15)), true),
        (LicenceLabel { "Extra, active to 2034-02-15", false }));
    EXPECT_EQ(NetLicenceText(licence('P', 'A', g, day(2034, 2, 15)), true),
        (LicenceLabel { "Tech Plus, active to 2034-02-15", false }));
    EXPECT_EQ(NetLicenceText(licence(0, 'A', g, day(2034, 2, 15)), true),
        (LicenceLabel { "Active to 2034-02-15", false }));
    EXPECT_EQ(NetLicenceText(licence('G', 'E', g, day(2023, 9, 28)), true),
        (LicenceLabel { "EXPIRED 2023-09-28", true }));
    EXPECT_EQ(NetLicenceText(licence('T', 'C', g, day(2034, 2, 15), day(2025, 9, 30)), true),
        (LicenceLabel { "CANCELLED 2025-09-30", true }));
    EXPECT_EQ(NetLicenceText(licence('T', 'T', g, day(2034, 2, 15), day(2025, 1, 2)), true),
        (LicenceLabel { "TERMINATED 2025-01-02", true }));
    EXPECT_EQ(NetLicenceText(licence('G', 'L', g, day(2034, 2, 15)), true),
        (LicenceLabel { "General, status L", false }));
    EXPECT_EQ(NetLicenceText(std::nullopt, true), (LicenceLabel { "not in the FCC file", false }));
    EXPECT_EQ(NetLicenceText(LicenceInfo {}, true), (LicenceLabel { "class and status unknown", false }));
    EXPECT_EQ(NetLicenceText(licence('E', 'E', g, g), false), LicenceLabel {});
    EXPECT_EQ(NetLicenceText(std::nullopt, false), LicenceLabel {});

    EXPECT_EQ(LicenceSuggestionMark(licence('T', 'A', g, g)), (SuggestionMark { 'T', false }));
    EXPECT_EQ(LicenceSuggestionMark(licence('E', 'E', g, g)), (SuggestionMark { 'E', true }));
    EXPECT_EQ(LicenceSuggestionMark(licence('G', 'C', g, g)), (SuggestionMark { 'G', true }));
    EXPECT_EQ(LicenceSuggestionMark(licence(0, 'A', g, g)), (SuggestionMark { 0, false }));
    EXPECT_EQ(LicenceSuggestionMark(LicenceInfo {}), (SuggestionMark { 0, false }));

    EXPECT_EQ(LicenceClassName('N'), "Novice");
    EXPECT_EQ(LicenceClassName('A'), "Advanced");
    EXPECT_EQ(LicenceClassName(0), "");
    EXPECT_EQ(LicenceStatusName('X'), "X");
    EXPECT_EQ(LicenceStatusName('T'), "Terminated");
}

TEST(LicenceShown, ActiveRecordCountsElseTheLatest)
{
    const LicenceInfo oldActive = licence('T', 'A', day(2015, 1, 1), day(2025, 1, 1));
    const LicenceInfo newExpired = licence('E', 'E', day(2020, 1, 1), day(2030, 1, 1));
    EXPECT_TRUE(LicenceCountsOver(oldActive, 1, newExpired, 2));
    EXPECT_FALSE(LicenceCountsOver(newExpired, 2, oldActive, 1));
    const LicenceInfo olderCancelled = licence('G', 'C', day(2010, 1, 1), day(2020, 1, 1));
    EXPECT_TRUE(LicenceCountsOver(newExpired, 1, olderCancelled, 9));
    EXPECT_FALSE(LicenceCountsOver(olderCancelled, 9, newExpired, 1));
    // Same grant: the higher identifier, the later record.
    EXPECT_TRUE(LicenceCountsOver(newExpired, 5, newExpired, 4));
}

TEST(FccDataDates, CountsFileDateAndThePagesLine)
{
    EXPECT_EQ(ParseCountsDate("File Creation Date: Sun Sep 28 07:05:12 EDT 2025\n   1512 EN.dat\n"),
        day(2025, 9, 28));
    EXPECT_EQ(ParseCountsDate("created September 3, 2025"), day(2025, 9, 3));
    EXPECT_EQ(ParseCountsDate("   12 EN.dat\nmade 09/30/2025\n"), day(2025, 9, 30));
    EXPECT_EQ(ParseCountsDate("2025-10-01 06:00"), day(2025, 10, 1));
    EXPECT_EQ(ParseCountsDate("   12 EN.dat\n   14 HD.dat\n"), 0);
    EXPECT_EQ(ParseCountsDate("Sep 31 2025"), 0);

    FccDataDates dates;
    dates.weekly = day(2025, 9, 28);
    const LicenceDay today = day(2025, 10, 1);
    EXPECT_EQ(FccDataDateLine(dates, true, today).text, "FCC data of 2025-09-28");
    EXPECT_FALSE(FccDataDateLine(dates, true, today).red);
    dates.dailies = { day(2025, 9, 29) };
    EXPECT_EQ(FccDataDateLine(dates, true, today).text, "FCC data of 2025-09-28 with 1 daily update");
    dates.dailies.push_back(day(2025, 9, 30));
    dates.dailies.push_back(day(2025, 10, 1));
    EXPECT_EQ(FccDataDateLine(dates, true, today).text, "FCC data of 2025-09-28 with 3 daily updates");
    // Red once the newest set is more than 14 days old.
    EXPECT_FALSE(FccDataDateLine(dates, true, day(2025, 10, 15)).red);
    EXPECT_TRUE(FccDataDateLine(dates, true, day(2025, 10, 16)).red);
    EXPECT_EQ(FccDataDateLine(std::nullopt, true, today).text, "FCC data of unknown date");
    EXPECT_EQ(FccDataDateLine(std::nullopt, false, today).text, "");

    const auto back = FccDataDates::fromText(dates.toText());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->weekly, dates.weekly);
    EXPECT_EQ(back->dailies, dates.dailies);
    EXPECT_FALSE(FccDataDates::fromText("daily 2025-09-29\n"));
    EXPECT_FALSE(FccDataDates::fromText("weekly 2025-13-01\n"));
    EXPECT_FALSE(FccDataDates::fromText(""));
}

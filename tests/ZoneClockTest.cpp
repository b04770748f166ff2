// The zone arithmetic: the four zones from the selected one, the true Universal time
// and the daylight-saving indication in a local zone fixed by the test.
#include "LocalZone.h"

#include "clocks/ZoneClock.h"

#include <QDate>
#include <QLocale>
#include <gtest/gtest.h>

namespace {

// Half a second past the full second, clear of the few milliseconds by which the hour
// constants differ from exact hours.
double at(int h, int m, int s)
{
    return ((h * 3600.0 + m * 60 + s) * 1000.0 + 500) / 86400000.0;
}

std::string reads(double value)
{
    return timeOfDayText(splitTimeOfDay(value));
}

struct Row {
    std::string eastern, central, mountain, pacific;
    friend bool operator==(const Row&, const Row&) = default;
    friend std::ostream& operator<<(std::ostream& o, const Row& r)
    {
        return o << r.eastern << ' ' << r.central << ' ' << r.mountain << ' ' << r.pacific;
    }
};

Row row(const ZoneTimes& z)
{
    return { reads(z.Eastern), reads(z.Central), reads(z.Mountain), reads(z.Pacific) };
}

TEST(ZoneTable, EachSelectedZoneAtTheExampleTimes)
{
    using Z = TimeZoneChoice;
    EXPECT_EQ(row(continentalZoneTimes(at(12, 0, 0), Z::CST)),
        (Row { "13:00:00", "12:00:00", "11:00:00", "10:00:00" }));
    EXPECT_EQ(row(continentalZoneTimes(at(0, 30, 0), Z::EST)),
        (Row { "00:30:00", "23:30:00", "22:30:00", "21:30:00" }));
    EXPECT_EQ(row(continentalZoneTimes(at(22, 30, 0), Z::PST)),
        (Row { "01:30:00", "00:30:00", "23:30:00", "22:30:00" }));
    EXPECT_EQ(row(continentalZoneTimes(at(9, 15, 45), Z::MST)),
        (Row { "11:15:45", "10:15:45", "09:15:45", "08:15:45" }));
    // The values are not reduced into one day, and the page's decimal hours are used.
    const ZoneTimes est = continentalZoneTimes(0.02, Z::EST);
    EXPECT_DOUBLE_EQ(est.Pacific, 0.02 - 0.1250001);
    EXPECT_LT(est.Pacific, 0);
    const ZoneTimes pst = continentalZoneTimes(0.95, Z::PST);
    EXPECT_DOUBLE_EQ(pst.Eastern, 0.95 + 0.1250001);
    EXPECT_DOUBLE_EQ(pst.Central, 0.95 + 0.0833334);
    EXPECT_DOUBLE_EQ(pst.Mountain, 0.95 + 0.0416667);
}

TEST(ZoneReadingChicago, SummerNoonIsDaylightTimeWithUniversalSeventeen)
{
    LocalZone zone("America/Chicago");
    const ZoneReading r = readZones(utcInstant(2024, 7, 15, 17, 0, 0, 500), TimeZoneChoice::CST);
    EXPECT_TRUE(r.daylightSaving);
    EXPECT_EQ(reads(r.local), "12:00:00");
    EXPECT_EQ(int(r.local), daysSince1899(2024, 7, 15));
    EXPECT_EQ(row(r.times), (Row { "13:00:00", "12:00:00", "11:00:00", "10:00:00" }));
    EXPECT_EQ(reads(r.times.Universal), "17:00:00");
    EXPECT_EQ(r.utcText, "Mon Jul 15 17:00:00 2024\n");
}

TEST(ZoneReadingChicago, WinterNoonIsStandardTimeWithUniversalEighteen)
{
    LocalZone zone("America/Chicago");
    const ZoneReading r = readZones(utcInstant(2024, 1, 15, 18, 0, 0, 500), TimeZoneChoice::CST);
    EXPECT_FALSE(r.daylightSaving);
    EXPECT_EQ(reads(r.local), "12:00:00");
    EXPECT_EQ(reads(r.times.Universal), "18:00:00");
    EXPECT_EQ(r.utcText, "Mon Jan 15 18:00:00 2024\n");
}

TEST(ZoneReadingChicago, EveningWhenTheUniversalDateIsADayAhead)
{
    LocalZone zone("America/Chicago");
    // 20:30 daylight time is 01:30 Universal on the next day: still daylight time, and
    // Universal time five hours on (comparing hours of the day alone would see 19).
    const ZoneReading summer = readZones(utcInstant(2024, 7, 16, 1, 30, 0, 500), TimeZoneChoice::CST);
    EXPECT_TRUE(summer.daylightSaving);
    EXPECT_EQ(reads(summer.local), "20:30:00");
    EXPECT_EQ(reads(summer.times.Universal), "01:30:00");
    EXPECT_GT(summer.times.Universal, 1.0);
    EXPECT_EQ(summer.utcText, "Tue Jul 16 01:30:00 2024\n");
    // 23:59:59 standard time is 05:59:59 Universal.
    const ZoneReading winter = readZones(utcInstant(2024, 1, 16, 5, 59, 59, 500), TimeZoneChoice::CST);
    EXPECT_FALSE(winter.daylightSaving);
    EXPECT_EQ(reads(winter.local), "23:59:59");
    EXPECT_EQ(reads(winter.times.Universal), "05:59:59");
    EXPECT_EQ(winter.utcText, "Tue Jan 16 05:59:59 2024\n");
}

TEST(ZoneReadingOtherZones, UniversalAndIndicationFollowTheComputersRealZone)
{
    {
        LocalZone zone("America/New_York");
        // Noon Eastern daylight time; the operator has left CST selected.
        const ZoneReading r = readZones(utcInstant(2024, 7, 15, 16, 0, 0, 500), TimeZoneChoice::CST);
        EXPECT_TRUE(r.daylightSaving);
        EXPECT_EQ(reads(r.times.Universal), "16:00:00");
        EXPECT_EQ(reads(r.times.Central), "12:00:00"); // the zones still follow the selection
        const ZoneReading w = readZones(utcInstant(2024, 1, 15, 17, 0, 0, 500), TimeZoneChoice::EST);
        EXPECT_FALSE(w.daylightSaving);
        EXPECT_EQ(reads(w.times.Universal), "17:00:00");
        EXPECT_EQ(row(w.times), (Row { "12:00:00", "11:00:00", "10:00:00", "09:00:00" }));
        // 21:00 on 15 July in New York is 01:00 Universal on the 16th.
        const ZoneReading e = readZones(utcInstant(2024, 7, 16, 1, 0, 0, 500), TimeZoneChoice::EST);
        EXPECT_TRUE(e.daylightSaving);
        EXPECT_EQ(reads(e.times.Universal), "01:00:00");
    }
    {
        LocalZone zone("America/Phoenix"); // Mountain time, no daylight saving
        const ZoneReading r = readZones(utcInstant(2024, 7, 15, 19, 0, 0, 500), TimeZoneChoice::MST);
        EXPECT_FALSE(r.daylightSaving);
        EXPECT_EQ(reads(r.local), "12:00:00");
        EXPECT_EQ(reads(r.times.Universal), "19:00:00");
    }
    {
        LocalZone zone("Asia/Kolkata"); // half-hour offset
        const ZoneReading r = readZones(utcInstant(2024, 7, 15, 6, 30, 0, 500), TimeZoneChoice::CST);
        EXPECT_EQ(reads(r.local), "12:00:00");
        EXPECT_EQ(reads(r.times.Universal), "06:30:00");
    }
}

TEST(ZoneReadingChicago, TheZoneIsReadAgainAtEveryReading)
{
    const ClockInstant noonUtc = utcInstant(2024, 7, 15, 12, 0, 0, 500);
    LocalZone chicago("America/Chicago");
    EXPECT_EQ(reads(readZones(noonUtc, TimeZoneChoice::CST).local), "07:00:00");
    {
        LocalZone newYork("America/New_York");
        EXPECT_EQ(reads(readZones(noonUtc, TimeZoneChoice::CST).local), "08:00:00");
    }
    EXPECT_EQ(reads(readZones(noonUtc, TimeZoneChoice::CST).local), "07:00:00");
}

TEST(AsctimeText, FixedWidthsAndTheClosingLineFeed)
{
    std::tm tm {};
    tm.tm_year = 2025 - 1900;
    tm.tm_mon = 0;
    tm.tm_mday = 8;
    tm.tm_wday = 3;
    tm.tm_hour = 5;
    tm.tm_min = 4;
    tm.tm_sec = 3;
    EXPECT_EQ(asctimeText(tm), "Wed Jan  8 05:04:03 2025\n");
    tm.tm_mday = 28;
    tm.tm_mon = 11;
    EXPECT_EQ(asctimeText(tm), "Wed Dec 28 05:04:03 2025\n");
}

TEST(DateTimeText, ShortDateThenTimeWithSecondsAndNoTimeAtMidnight)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const TDateTime noon = encodeDateTime(2024, 7, 15, 13, 5, 9, 400);
    const QString text = dateTimeText(noon);
    const QString date = QLocale().toString(QDate(2024, 7, 15), QLocale::ShortFormat);
    EXPECT_EQ(text, date + " 1:05:09 PM");
    EXPECT_EQ(dateTimeText(encodeDateTime(2024, 7, 15, 0, 0, 0)), date);
    EXPECT_EQ(dateTimeText(encodeDateTime(2024, 7, 15, 0, 0, 0, 1)), date + " 12:00:00 AM");
    QLocale::setDefault(previous);
}

} // namespace

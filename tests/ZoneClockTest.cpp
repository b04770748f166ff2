// The zone arithmetic: every zone's true time from the time-zone database wherever the
// computer's clock runs, the whole-hour rule left for a zone the database lacks, the
// computer's own zone, the Universal time and the daylight-saving indication, with the
// computer's zone fixed by the test.
#include "LocalZone.h"

#include "clocks/ZoneClock.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

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

// Eastern, Central, Mountain, Pacific and Universal, as the displays read them.
struct Clocks {
    std::string eastern, central, mountain, pacific, universal;
    friend bool operator==(const Clocks&, const Clocks&) = default;
    friend std::ostream& operator<<(std::ostream& o, const Clocks& c)
    {
        return o << c.eastern << ' ' << c.central << ' ' << c.mountain << ' ' << c.pacific << ' '
                 << c.universal;
    }
};

Clocks clocks(const ZoneTimes& z)
{
    return { reads(z.Eastern), reads(z.Central), reads(z.Mountain), reads(z.Pacific), reads(z.Universal) };
}

// What the five displays should read at the instant, worked out by the C library.
Clocks runtimeClocks(ClockInstant instant)
{
    return { runtimeClock("America/New_York", instant), runtimeClock("America/Chicago", instant),
        runtimeClock("America/Denver", instant), runtimeClock("America/Los_Angeles", instant),
        runtimeClock("UTC", instant) };
}

const TimeZoneChoice AllChoices[]
    = { TimeZoneChoice::EST, TimeZoneChoice::CST, TimeZoneChoice::MST, TimeZoneChoice::PST };

// Ordinary days in both seasons, and both nights on which the United States change
// their clocks, in 2024 and 2025: every half hour across the night and each zone's
// switch second with the second before it.
std::vector<ClockInstant> testInstants()
{
    std::vector<ClockInstant> out = {
        utcInstant(2024, 7, 15, 17, 0, 0, 500), // noon Central daylight time
        utcInstant(2024, 7, 16, 3, 30, 0, 500), // evening: Universal date a day ahead
        utcInstant(2024, 1, 15, 18, 0, 0, 500), // noon Central standard time
        utcInstant(2024, 1, 16, 5, 59, 59, 500),
        utcInstant(2024, 12, 31, 23, 59, 59, 999), // new year in Universal time only
    };
    struct Night {
        int year, month, day;
        int firstUtcHour; // the hour (Universal) at which Eastern switches
    };
    // Spring forward at 02:00 standard time, fall back at 02:00 daylight time.
    for (const Night& n : { Night { 2024, 3, 10, 7 }, Night { 2024, 11, 3, 6 }, Night { 2025, 3, 9, 7 },
             Night { 2025, 11, 2, 6 } }) {
        for (int half = 8; half <= 24; ++half)
            out.push_back(utcInstant(n.year, n.month, n.day, half / 2, half % 2 * 30, 0, 250));
        for (int zone = 0; zone < 4; ++zone) {
            const int hour = n.firstUtcHour + zone;
            out.push_back(utcInstant(n.year, n.month, n.day, hour - 1, 59, 59, 999));
            out.push_back(utcInstant(n.year, n.month, n.day, hour, 0, 0, 0));
        }
    }
    return out;
}

const char* const ComputerZones[] = { "UTC", "America/Phoenix", "Pacific/Honolulu", "Europe/Berlin",
    "America/Chicago", "America/New_York", "Asia/Colombo" };

TEST(ZoneReading, EveryDisplayShowsItsZonesTrueTimeWhereverTheComputerRuns)
{
    const ContinentalZones zones;
    const std::vector<ClockInstant> instants = testInstants();
    std::vector<Clocks> expected;
    for (const ClockInstant& instant : instants)
        expected.push_back(runtimeClocks(instant));
    for (const char* computer : ComputerZones) {
        LocalZone zone(computer);
        for (std::size_t i = 0; i < instants.size(); ++i) {
            const auto utc = universalDateTime(instants[i]);
            SCOPED_TRACE(std::string(computer) + " at " + dateTimeText(utc).toStdString() + " UTC");
            for (const TimeZoneChoice home : AllChoices) {
                const ZoneReading r = readZones(instants[i], home, zones);
                EXPECT_EQ(clocks(r.times), expected[i]) << "home zone " << int(home);
                EXPECT_EQ(reads(r.local), runtimeClock(computer, instants[i]));
            }
        }
    }
}

TEST(ZoneReading, KnownTimesAcrossTheSpringAndAutumnSwitches)
{
    const ContinentalZones zones;
    LocalZone zone("UTC");
    const auto at = [&](int month, int day, int hour, int minute, int second, int ms) {
        return clocks(
            readZones(utcInstant(2024, month, day, hour, minute, second, ms), TimeZoneChoice::CST, zones)
                .times);
    };
    // 10 March 2024: Eastern moves from 02:00 to 03:00 at 07:00 Universal time, Central an
    // hour later, and so on westwards.
    EXPECT_EQ(
        at(3, 10, 6, 59, 59, 999), (Clocks { "01:59:59", "00:59:59", "23:59:59", "22:59:59", "06:59:59" }));
    EXPECT_EQ(at(3, 10, 7, 0, 0, 0), (Clocks { "03:00:00", "01:00:00", "00:00:00", "23:00:00", "07:00:00" }));
    EXPECT_EQ(at(3, 10, 8, 0, 0, 0), (Clocks { "04:00:00", "03:00:00", "01:00:00", "00:00:00", "08:00:00" }));
    EXPECT_EQ(
        at(3, 10, 10, 0, 0, 0), (Clocks { "06:00:00", "05:00:00", "04:00:00", "03:00:00", "10:00:00" }));
    // 3 November 2024: Eastern goes back from 02:00 to 01:00 at 06:00 Universal time.
    EXPECT_EQ(
        at(11, 3, 5, 59, 59, 999), (Clocks { "01:59:59", "00:59:59", "23:59:59", "22:59:59", "05:59:59" }));
    EXPECT_EQ(at(11, 3, 6, 0, 0, 0), (Clocks { "01:00:00", "01:00:00", "00:00:00", "23:00:00", "06:00:00" }));
    EXPECT_EQ(at(11, 3, 7, 0, 0, 0), (Clocks { "02:00:00", "01:00:00", "01:00:00", "00:00:00", "07:00:00" }));
    EXPECT_EQ(at(11, 3, 9, 0, 0, 0), (Clocks { "04:00:00", "03:00:00", "02:00:00", "01:00:00", "09:00:00" }));
}

// The rule of deriving the zones from the local time by whole hours holds only on a
// computer that runs on the home zone. These are the cases where it showed wrong times.
TEST(ZoneReading, TheWholeHourRuleWasWrongOffTheHomeZoneAndTheReadingIsRight)
{
    const ContinentalZones zones;
    struct Case {
        const char* computer;
        ClockInstant instant;
        TimeZoneChoice home;
    };
    const Case cases[] = {
        // A clock on Universal time with the default home zone: Central read as UTC.
        { "UTC", utcInstant(2024, 7, 15, 17, 0, 0, 500), TimeZoneChoice::CST },
        { "UTC", utcInstant(2024, 1, 15, 18, 0, 0, 500), TimeZoneChoice::CST },
        // Arizona in summer keeps Mountain standard time: Central and Eastern an hour off.
        { "America/Phoenix", utcInstant(2024, 7, 15, 19, 0, 0, 500), TimeZoneChoice::MST },
        // A laptop left on Hawaiian or European time: no home zone is right.
        { "Pacific/Honolulu", utcInstant(2024, 7, 15, 22, 0, 0, 500), TimeZoneChoice::EST },
        { "Pacific/Honolulu", utcInstant(2024, 7, 15, 22, 0, 0, 500), TimeZoneChoice::CST },
        { "Pacific/Honolulu", utcInstant(2024, 7, 15, 22, 0, 0, 500), TimeZoneChoice::MST },
        { "Pacific/Honolulu", utcInstant(2024, 7, 15, 22, 0, 0, 500), TimeZoneChoice::PST },
        { "Europe/Berlin", utcInstant(2024, 1, 15, 18, 0, 0, 500), TimeZoneChoice::CST },
        // A Chicago computer, but the operator is from the east coast.
        { "America/Chicago", utcInstant(2024, 7, 15, 17, 0, 0, 500), TimeZoneChoice::EST },
    };
    for (const Case& c : cases) {
        LocalZone zone(c.computer);
        SCOPED_TRACE(std::string(c.computer) + " home " + std::to_string(int(c.home)));
        const Clocks right = runtimeClocks(c.instant);
        const ZoneReading r = readZones(c.instant, c.home, zones);
        EXPECT_EQ(clocks(r.times), right);
        ZoneTimes wholeHours = continentalZoneTimes(r.local - std::trunc(r.local), c.home);
        wholeHours.Universal = r.times.Universal;
        EXPECT_NE(clocks(wholeHours), right);
    }
    // Arizona in summer, spelled out: noon in Phoenix is 15:00 Eastern and 14:00 Central
    // daylight time, not 14:00 and 13:00.
    LocalZone phoenix("America/Phoenix");
    const ZoneReading r = readZones(utcInstant(2024, 7, 15, 19, 0, 0, 500), TimeZoneChoice::MST, zones);
    EXPECT_EQ(clocks(r.times), (Clocks { "15:00:00", "14:00:00", "13:00:00", "12:00:00", "19:00:00" }));
}

TEST(ZoneReading, AZoneTheDatabaseLacksFallsBackToTheWholeHourRule)
{
    // Denver looked up under a name the database does not have.
    const ContinentalZones noDenver([](const QByteArray& id) {
        return QTimeZone(id == "America/Denver" ? QByteArrayLiteral("America/Nowhere") : id);
    });
    EXPECT_FALSE(noDenver.zone(TimeZoneChoice::MST).isValid());
    EXPECT_TRUE(noDenver.zone(TimeZoneChoice::CST).isValid());
    const ClockInstant noonCentral = utcInstant(2024, 7, 15, 17, 0, 0, 500);
    {
        // On a Chicago computer with Central as home the rule still gives the right time.
        LocalZone zone("America/Chicago");
        EXPECT_EQ(clocks(readZones(noonCentral, TimeZoneChoice::CST, noDenver).times),
            (Clocks { "13:00:00", "12:00:00", "11:00:00", "10:00:00", "17:00:00" }));
    }
    {
        // On a Universal-time computer only Mountain is taken from the local time.
        LocalZone zone("UTC");
        EXPECT_EQ(clocks(readZones(noonCentral, TimeZoneChoice::CST, noDenver).times),
            (Clocks { "13:00:00", "12:00:00", "16:00:00", "10:00:00", "17:00:00" }));
        // No database at all: every zone by whole hours from the home zone, Universal still
        // the true one.
        const ContinentalZones none(nullptr);
        const ZoneReading r = readZones(noonCentral, TimeZoneChoice::EST, none);
        EXPECT_EQ(clocks(r.times), (Clocks { "17:00:00", "16:00:00", "15:00:00", "14:00:00", "17:00:00" }));
    }
}

TEST(ZoneReading, TheSystemDatabaseHasTheFourZones)
{
    const ContinentalZones zones;
    for (const TimeZoneChoice zone : AllChoices) {
        EXPECT_TRUE(zones.zone(zone).isValid()) << zoneId(zone).constData();
        EXPECT_EQ(zones.zone(zone).id(), zoneId(zone));
    }
}

TEST(ComputerZone, TheContinentalZoneByItsStandardTimeOrNone)
{
    const ClockInstant summer = utcInstant(2024, 7, 15, 17, 0, 0);
    const ClockInstant winter = utcInstant(2024, 1, 15, 18, 0, 0);
    const std::pair<const char*, std::optional<TimeZoneChoice>> cases[] = {
        { "America/New_York", TimeZoneChoice::EST },
        { "America/Detroit", TimeZoneChoice::EST },
        { "America/Chicago", TimeZoneChoice::CST },
        { "CST6CDT", TimeZoneChoice::CST },
        { "America/Denver", TimeZoneChoice::MST },
        { "America/Phoenix", TimeZoneChoice::MST }, // Mountain standard time all year
        { "America/Los_Angeles", TimeZoneChoice::PST },
        { "UTC", std::nullopt },
        { "Pacific/Honolulu", std::nullopt },
        { "America/Anchorage", std::nullopt },
        { "Europe/Berlin", std::nullopt },
        { "Asia/Colombo", std::nullopt },
    };
    for (const auto& [name, expected] : cases) {
        LocalZone zone(name);
        EXPECT_EQ(computerZone(summer), expected) << name << " in summer";
        EXPECT_EQ(computerZone(winter), expected) << name << " in winter";
    }
}

// The computer's zone can be given to the program by name (on Windows that is how a test
// fixes it); given none, the program reads the system's own local time.
TEST(ComputerClock, AZoneGivenByNameIsReadInsteadOfTheSystemsOwn)
{
    const ClockInstant noon = utcInstant(2024, 7, 15, 17, 0, 0, 500);
    const qint64 ms = std::chrono::duration_cast<std::chrono::milliseconds>(noon.time_since_epoch()).count();
    // The system's own local time, as Qt has it from the system.
    const std::string systemClock
        = QDateTime::fromMSecsSinceEpoch(ms).time().toString(QStringLiteral("HH:mm:ss")).toStdString();
    ASSERT_TRUE(computerTimeZone().isEmpty());
    EXPECT_EQ(reads(localDateTime(noon)), systemClock);

    const ContinentalZones zones;
    ASSERT_TRUE(setComputerTimeZone("Asia/Colombo"));
    EXPECT_EQ(computerTimeZone(), "Asia/Colombo");
    EXPECT_EQ(reads(localDateTime(noon)), "22:30:00");
    EXPECT_EQ(computerZone(noon), std::nullopt);
    ASSERT_TRUE(setComputerTimeZone("America/Chicago"));
    const ZoneReading r = readZones(noon, TimeZoneChoice::CST, zones);
    EXPECT_EQ(reads(r.local), "12:00:00");
    EXPECT_TRUE(r.daylightSaving);
    EXPECT_EQ(computerZone(noon), TimeZoneChoice::CST);
    // A name no zone has changes nothing.
    EXPECT_FALSE(setComputerTimeZone("America/Nowhere"));
    EXPECT_EQ(computerTimeZone(), "America/Chicago");

    ASSERT_TRUE(setComputerTimeZone({}));
    EXPECT_TRUE(computerTimeZone().isEmpty());
    EXPECT_EQ(reads(localDateTime(noon)), systemClock);
}

TEST(ZoneReadingChicago, SummerNoonIsDaylightTimeWithUniversalSeventeen)
{
    LocalZone zone("America/Chicago");
    const ZoneReading r
        = readZones(utcInstant(2024, 7, 15, 17, 0, 0, 500), TimeZoneChoice::CST, ContinentalZones());
    EXPECT_TRUE(r.daylightSaving);
    EXPECT_EQ(reads(r.local), "12:00:00");
    EXPECT_EQ(int(r.local), daysSince1899(2024, 7, 15));
    EXPECT_EQ(clocks(r.times), (Clocks { "13:00:00", "12:00:00", "11:00:00", "10:00:00", "17:00:00" }));
    EXPECT_EQ(r.utcText, "Mon Jul 15 17:00:00 2024\n");
}

TEST(ZoneReadingChicago, WinterNoonIsStandardTimeWithUniversalEighteen)
{
    LocalZone zone("America/Chicago");
    const ZoneReading r
        = readZones(utcInstant(2024, 1, 15, 18, 0, 0, 500), TimeZoneChoice::CST, ContinentalZones());
    EXPECT_FALSE(r.daylightSaving);
    EXPECT_EQ(reads(r.local), "12:00:00");
    EXPECT_EQ(reads(r.times.Universal), "18:00:00");
    EXPECT_EQ(r.utcText, "Mon Jan 15 18:00:00 2024\n");
}

TEST(ZoneReadingChicago, ValuesCountFromTheLocalDateAcrossMidnight)
{
    LocalZone zone("America/Chicago");
    const ContinentalZones zones;
    // 20:30 daylight time is 01:30 Universal on the next day: still daylight time, and the
    // eastern and Universal values run past one day.
    const ZoneReading summer = readZones(utcInstant(2024, 7, 16, 1, 30, 0, 500), TimeZoneChoice::CST, zones);
    EXPECT_TRUE(summer.daylightSaving);
    EXPECT_EQ(reads(summer.local), "20:30:00");
    EXPECT_NEAR(summer.times.Universal, 1 + at(1, 30, 0), 1e-9);
    EXPECT_NEAR(summer.times.Central, at(20, 30, 0), 1e-9);
    EXPECT_NEAR(summer.times.Eastern, at(21, 30, 0), 1e-9);
    EXPECT_NEAR(summer.utcOffsetDays, 5.0 / 24, 1e-12);
    EXPECT_EQ(summer.utcText, "Tue Jul 16 01:30:00 2024\n");
    // 00:30 Central standard time is still 23:30 on the evening before in Denver.
    const ZoneReading winter = readZones(utcInstant(2024, 1, 16, 6, 30, 0, 500), TimeZoneChoice::CST, zones);
    EXPECT_FALSE(winter.daylightSaving);
    EXPECT_NEAR(winter.times.Mountain, at(23, 30, 0) - 1, 1e-9);
    EXPECT_NEAR(winter.times.Pacific, at(22, 30, 0) - 1, 1e-9);
    EXPECT_EQ(reads(winter.times.Pacific), "22:30:00");
    EXPECT_NEAR(winter.utcOffsetDays, 6.0 / 24, 1e-12);
}

TEST(ZoneReadingOtherZones, IndicationFollowsTheComputersOwnZone)
{
    const ContinentalZones zones;
    const std::tuple<const char*, ClockInstant, bool> cases[] = {
        { "America/New_York", utcInstant(2024, 7, 15, 16, 0, 0), true },
        { "America/New_York", utcInstant(2024, 1, 15, 17, 0, 0), false },
        { "America/Phoenix", utcInstant(2024, 7, 15, 19, 0, 0), false },
        { "Europe/Berlin", utcInstant(2024, 7, 15, 10, 0, 0), true },
        { "UTC", utcInstant(2024, 7, 15, 17, 0, 0), false },
    };
    for (const auto& [name, instant, daylight] : cases) {
        LocalZone zone(name);
        EXPECT_EQ(readZones(instant, TimeZoneChoice::CST, zones).daylightSaving, daylight) << name;
    }
}

TEST(ZoneReadingChicago, TheZoneIsReadAgainAtEveryReading)
{
    const ContinentalZones zones;
    const ClockInstant noonUtc = utcInstant(2024, 7, 15, 12, 0, 0, 500);
    LocalZone chicago("America/Chicago");
    EXPECT_EQ(reads(readZones(noonUtc, TimeZoneChoice::CST, zones).local), "07:00:00");
    {
        LocalZone newYork("America/New_York");
        EXPECT_EQ(reads(readZones(noonUtc, TimeZoneChoice::CST, zones).local), "08:00:00");
    }
    EXPECT_EQ(reads(readZones(noonUtc, TimeZoneChoice::CST, zones).local), "07:00:00");
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

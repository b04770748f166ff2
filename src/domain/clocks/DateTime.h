#pragma once
// Date-time values as the displays and the zone clocks count them: a double counting
// days from 30 December 1899, whose fraction is the time of day. Also the conversion
// from an instant of the system clock to local and Universal date-times, through the
// runtime library's time zone (so a test can fix the zone with TZ and tzset), or through
// the zone set with setComputerTimeZone.
#include <QByteArray>

#include <chrono>
#include <ctime>
#include <functional>
#include <string>

using TDateTime = double;
using TTime = double;

using ClockInstant = std::chrono::system_clock::time_point;
// Where a clock takes "now" from; tests give a fixed or stepping instant.
using ClockSource = std::function<ClockInstant()>;
// Where a display takes the current local date and time from.
using LocalClock = std::function<TDateTime()>;

constexpr long long MillisecondsPerDay = 86'400'000;

// Days from 30 December 1899 to the given civil date (negative before it).
long long daysSince1899(int year, int month, int day);
// The date-time value of a civil date and time of day.
TDateTime encodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond = 0);
// The date-time value of a broken-down time plus milliseconds.
TDateTime fromBrokenDown(const std::tm& tm, int millisecond = 0);

// Re-reads the runtime library's time-zone settings (TZ).
void rereadTimeZone();
// The zone the computer's clock is read in, by its IANA name ("America/Chicago"); empty,
// the default, for the system's own through the runtime library. A zone named here is read
// through Qt's time zones instead: the runtime library of Windows takes no zone names, so
// this is how a zone is fixed there. Returns false, and changes nothing, for a name Qt does
// not know.
bool setComputerTimeZone(const QByteArray& ianaId);
QByteArray computerTimeZone();
// The instant broken down into local time and into Universal time.
std::tm localBrokenDown(std::time_t t);
std::tm universalBrokenDown(std::time_t t);
// The instant as a local / Universal date-time value, milliseconds included.
TDateTime localDateTime(ClockInstant instant);
TDateTime universalDateTime(ClockInstant instant);
// The current local date and time from the system clock.
TDateTime localNow();
// The runtime's abbreviation of the local zone at that instant ("CST", "CDT", ...), made
// short by shortZoneName.
std::string zoneAbbreviation(ClockInstant instant);
// A zone's name as a clock shows it: an abbreviation stays as it is ("CDT"); a zone named in
// words, as Windows names its zones ("Central Daylight Time"), is shown by the initials of
// its words ("CDT"), the way the United States write their zones; Windows' name of Universal
// time ("Coordinated Universal Time") is "UTC".
std::string shortZoneName(const std::string& name);

// A time of day on a 24-hour clock.
struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

// The time of day of a value in whole milliseconds: the value times 86 400 000,
// rounded to the nearest millisecond and reduced into one day, also below zero (minus
// one hour is 23:00:00); the date plays no role and the milliseconds are dropped. A
// value that cannot be split (not a number, or beyond the range where a double still
// counts single milliseconds) gives 00:00:00.
TimeOfDay splitTimeOfDay(TTime value);
// "HH:MM:SS", each number with two digits.
std::string timeOfDayText(const TimeOfDay& time);

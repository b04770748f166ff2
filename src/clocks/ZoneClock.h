#pragma once
// The arithmetic of the zone clock page, without widgets: the four continental zones
// derived from the local time by whole hours, the true Universal time, whether
// daylight saving time is in effect, and the texts the page shows.
#include "segments/DateTime.h"

#include <QString>
#include <cstdint>
#include <string>

// The zone the computer's local clock runs on, as the operator tells it.
enum class TimeZoneChoice : std::int32_t { CST = 1, EST = 2, MST = 3, PST = 4 };

// The hours the page adds and takes away between zones, as fractions of a day.
constexpr double OneHour = 0.0416667;
constexpr double TwoHours = 0.0833334;
constexpr double ThreeHours = 0.1250001;

// The time of day each display shows, as a fraction of a day. The values are not
// reduced into one day: just after local midnight a zone to the west holds a value
// below zero, late in the day a zone to the east can hold one day or more.
struct ZoneTimes {
    TDateTime Eastern = 0;
    TDateTime Central = 0;
    TDateTime Mountain = 0;
    TDateTime Pacific = 0;
    TDateTime Universal = 0;
};

// The four zone values for a local time of day f (a fraction of a day) when the local
// clock runs on the selected zone. Universal is left 0.
ZoneTimes continentalZoneTimes(double f, TimeZoneChoice selected);

// What one tick of the page's timer shows.
struct ZoneReading {
    TDateTime local = 0; // the local date and time
    double utcOffsetDays = 0; // Universal minus local date-time, in days
    bool daylightSaving = false; // the runtime says daylight saving is in effect locally
    ZoneTimes times; // the four zones from the selection, Universal the true one
    std::string utcText; // the asctime text of the Universal time, line feed included
};

// Reads the time-zone settings again (TZ) and works out the zone times of the instant.
// Universal time is the local time of day plus the real current offset, so it is right
// in every zone, in both seasons and while the Universal date is a day ahead.
ZoneReading readZones(ClockInstant now, TimeZoneChoice selected);

// The C library's asctime text of a broken-down time: "Mon Jul 15 17:00:00 2024\n"
// (weekday, month, day right-aligned in two, time, year, line feed).
std::string asctimeText(const std::tm& tm);

// The local date and time as the system writes them: the short date, then the time
// with seconds (left out when the value is exactly midnight).
QString dateTimeText(TDateTime value);

#pragma once
// The arithmetic of the zone clock page, without widgets: the time of day in the four
// continental zones and in Universal time, taken from the current instant and each
// zone's own rules in the system's time-zone database, whether daylight saving time is
// in effect on the computer, and the texts the page shows.
#include "clocks/DateTime.h"

#include <QByteArray>
#include <QString>
#include <QTimeZone>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// One of the four continental zones: the operator's home zone on the page.
enum class TimeZoneChoice : std::int32_t { CST = 1, EST = 2, MST = 3, PST = 4 };

// The hours the whole-hour rule adds and takes away between zones, as fractions of a day.
constexpr double OneHour = 0.0416667;
constexpr double TwoHours = 0.0833334;
constexpr double ThreeHours = 0.1250001;

// The time of day each display shows, as a fraction of a day counted from the start of
// the computer's local date. The values are not reduced into one day: just after local
// midnight a zone to the west holds a value below zero, late in the day a zone to the
// east can hold one day or more.
struct ZoneTimes {
    TDateTime Eastern = 0;
    TDateTime Central = 0;
    TDateTime Mountain = 0;
    TDateTime Pacific = 0;
    TDateTime Universal = 0;
};

// The whole-hour rule: the four zone values for a local time of day f (a fraction of a
// day) when the local clock runs on the given zone and keeps daylight saving like the
// others. Universal is left 0. Only right on such a computer, so it is used only for a
// zone the time-zone database lacks.
ZoneTimes continentalZoneTimes(double f, TimeZoneChoice localZone);

// The time-zone database name of a continental zone ("America/Chicago", ...).
QByteArray zoneId(TimeZoneChoice zone);

// The four continental zones as the time-zone database describes them. A zone the
// database lacks stays invalid; its display then falls back to the whole-hour rule.
class ContinentalZones {
public:
    using Lookup = std::function<QTimeZone(const QByteArray& ianaId)>;

    // The zones of the system's time-zone database.
    ContinentalZones();
    // The zones as another lookup gives them (a database that lacks some).
    explicit ContinentalZones(const Lookup& lookup);

    const QTimeZone& zone(TimeZoneChoice choice) const;

private:
    std::array<QTimeZone, 4> m_zones; // in the order of TimeZoneChoice
};

// What one tick of the page's timer shows.
struct ZoneReading {
    TDateTime local = 0; // the computer's local date and time
    double utcOffsetDays = 0; // Universal minus local date-time, in days
    bool daylightSaving = false; // the runtime says daylight saving is in effect locally
    ZoneTimes times; // each zone's true time of day, Universal included
    std::string utcText; // the asctime text of the Universal time, line feed included
};

// Reads the computer's time-zone settings again (TZ) and works out the zone times of the
// instant. Each continental zone follows its own rules, whatever zone the computer runs
// on; the home zone matters only for a zone the database lacks.
ZoneReading readZones(ClockInstant now, TimeZoneChoice home, const ContinentalZones& zones);

// The continental zone the computer's clock runs on at that instant, told by the standard
// time of its zone (so Arizona, on Mountain standard time all year, is Mountain); none
// when its zone is none of the four (Universal time, Hawaii, Europe, ...).
std::optional<TimeZoneChoice> computerZone(ClockInstant now);

// The C library's asctime text of a broken-down time: "Mon Jul 15 17:00:00 2024\n"
// (weekday, month, day right-aligned in two, time, year, line feed).
std::string asctimeText(const std::tm& tm);

// The local date and time as the system writes them: the short date, then the time
// with seconds (left out when the value is exactly midnight).
QString dateTimeText(TDateTime value);

#include "clocks/ZoneClock.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>
#include <cstdio>

ZoneTimes continentalZoneTimes(double f, TimeZoneChoice localZone)
{
    ZoneTimes z;
    switch (localZone) {
    case TimeZoneChoice::EST:
        z = { f, f - OneHour, f - TwoHours, f - ThreeHours, 0 };
        break;
    case TimeZoneChoice::CST:
        z = { f + OneHour, f, f - OneHour, f - TwoHours, 0 };
        break;
    case TimeZoneChoice::MST:
        z = { f + TwoHours, f + OneHour, f, f - OneHour, 0 };
        break;
    case TimeZoneChoice::PST:
        z = { f + ThreeHours, f + TwoHours, f + OneHour, f, 0 };
        break;
    }
    return z;
}

QByteArray zoneId(TimeZoneChoice zone)
{
    switch (zone) {
    case TimeZoneChoice::EST:
        return QByteArrayLiteral("America/New_York");
    case TimeZoneChoice::CST:
        return QByteArrayLiteral("America/Chicago");
    case TimeZoneChoice::MST:
        return QByteArrayLiteral("America/Denver");
    case TimeZoneChoice::PST:
        return QByteArrayLiteral("America/Los_Angeles");
    }
    return {};
}

namespace {
constexpr TimeZoneChoice Continental[]
    = { TimeZoneChoice::CST, TimeZoneChoice::EST, TimeZoneChoice::MST, TimeZoneChoice::PST };

std::size_t indexOf(TimeZoneChoice choice)
{
    return std::size_t(std::int32_t(choice) - 1) % 4;
}

constexpr long long DaysFrom1899To1970 = 25569;

long long dayOf(const std::tm& tm)
{
    return daysSince1899(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

long long secondOfDay(const std::tm& tm)
{
    return tm.tm_hour * 3600LL + tm.tm_min * 60LL + tm.tm_sec;
}

// Seconds the local clock is ahead of Universal time, from the two breakdowns of one
// second (dates included, so it holds while the dates differ).
long long localOffsetSeconds(const std::tm& local, const std::tm& universal)
{
    return (dayOf(local) - dayOf(universal)) * 86400 + secondOfDay(local) - secondOfDay(universal);
}

long long millisecondsOf(ClockInstant instant)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(instant.time_since_epoch()).count();
}

// The whole second of a millisecond count, rounded down also before 1970.
std::time_t secondsOf(long long ms)
{
    return std::time_t(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
}

// The time of day, in days from the start of the local date, that a clock running
// offsetSeconds ahead of Universal time shows at the instant. Counted in whole
// milliseconds so that no rounding of the date creeps into the time of day.
double timeFromLocalDate(long long ms, long long offsetSeconds, long long localDay)
{
    const long long since1899 = ms + offsetSeconds * 1000 + DaysFrom1899To1970 * MillisecondsPerDay;
    return double(since1899 - localDay * MillisecondsPerDay) / double(MillisecondsPerDay);
}

// The value of one continental zone in a set of zone times.
template <typename Times> auto& field(Times& times, TimeZoneChoice zone)
{
    switch (zone) {
    case TimeZoneChoice::EST:
        return times.Eastern;
    case TimeZoneChoice::MST:
        return times.Mountain;
    case TimeZoneChoice::PST:
        return times.Pacific;
    case TimeZoneChoice::CST:
        break;
    }
    return times.Central;
}
} // namespace

ContinentalZones::ContinentalZones()
    : ContinentalZones([](const QByteArray& id) { return QTimeZone(id); }) { }

ContinentalZones::ContinentalZones(const Lookup& lookup)
{
    for (const TimeZoneChoice zone : Continental)
        m_zones[indexOf(zone)] = lookup ? lookup(zoneId(zone)) : QTimeZone();
}

const QTimeZone& ContinentalZones::zone(TimeZoneChoice choice) const
{
    return m_zones[indexOf(choice)];
}

ZoneReading readZones(ClockInstant now, TimeZoneChoice home, const ContinentalZones& zones)
{
    rereadTimeZone();
    const long long ms = millisecondsOf(now);
    const std::time_t seconds = secondsOf(ms);
    const int millisecond = int(ms - (long long)seconds * 1000);

    const std::tm local = localBrokenDown(seconds);
    const std::tm universal = universalBrokenDown(seconds);
    const long long localOffset = localOffsetSeconds(local, universal);
    const long long localDay = dayOf(local);

    ZoneReading r;
    r.local = fromBrokenDown(local, millisecond);
    r.utcOffsetDays = -double(localOffset) / 86400.0;
    r.daylightSaving = local.tm_isdst > 0;
    const double f = r.local - std::trunc(r.local);
    const ZoneTimes wholeHours = continentalZoneTimes(f, home);
    const QDateTime instant = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    for (const TimeZoneChoice zone : Continental) {
        const QTimeZone& tz = zones.zone(zone);
        // A zone the database lacks: the best left is the whole-hour rule from the
        // operator's home zone.
        field(r.times, zone) = tz.isValid() ? timeFromLocalDate(ms, tz.offsetFromUtc(instant), localDay)
                                            : field(wholeHours, zone);
    }
    r.times.Universal = timeFromLocalDate(ms, 0, localDay);
    r.utcText = asctimeText(universal);
    return r;
}

std::optional<TimeZoneChoice> computerZone(ClockInstant now)
{
    rereadTimeZone();
    const std::time_t seconds = secondsOf(millisecondsOf(now));
    const std::tm local = localBrokenDown(seconds);
    // Daylight saving time in the United States is one hour ahead of standard time.
    const long long standard
        = localOffsetSeconds(local, universalBrokenDown(seconds)) - (local.tm_isdst > 0 ? 3600 : 0);
    switch (standard) {
    case -5 * 3600:
        return TimeZoneChoice::EST;
    case -6 * 3600:
        return TimeZoneChoice::CST;
    case -7 * 3600:
        return TimeZoneChoice::MST;
    case -8 * 3600:
        return TimeZoneChoice::PST;
    default:
        return std::nullopt;
    }
}

std::string asctimeText(const std::tm& tm)
{
    static const char* const Weekdays[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
    static const char* const Months[]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    const char* weekday = tm.tm_wday >= 0 && tm.tm_wday < 7 ? Weekdays[tm.tm_wday] : "???";
    const char* month = tm.tm_mon >= 0 && tm.tm_mon < 12 ? Months[tm.tm_mon] : "???";
    char text[64];
    std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", weekday, month, tm.tm_mday,
        tm.tm_hour, tm.tm_min, tm.tm_sec, 1900 + tm.tm_year);
    return text;
}

namespace {
// The locale's long time format without the time-zone name, which the page shows
// elsewhere.
QString timeFormatWithoutZone(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.simplified();
}
} // namespace

QString dateTimeText(TDateTime value)
{
    const QLocale locale;
    const long long ms = std::llround(value * double(MillisecondsPerDay));
    long long days = ms / MillisecondsPerDay;
    long long rest = ms % MillisecondsPerDay;
    if (rest < 0) {
        rest += MillisecondsPerDay;
        --days;
    }
    const QDate date = QDate(1899, 12, 30).addDays(days);
    QString text = locale.toString(date, QLocale::ShortFormat);
    if (rest != 0)
        text += QLatin1Char(' ')
            + locale.toString(QTime::fromMSecsSinceStartOfDay(int(rest)), timeFormatWithoutZone(locale));
    return text;
}

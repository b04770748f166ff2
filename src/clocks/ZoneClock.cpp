#include "clocks/ZoneClock.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>
#include <cstdio>

ZoneTimes continentalZoneTimes(double f, TimeZoneChoice selected)
{
    ZoneTimes z;
    switch (selected) {
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

ZoneReading readZones(ClockInstant now, TimeZoneChoice selected)
{
    using namespace std::chrono;
    rereadTimeZone();
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    const auto seconds = std::time_t(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    const int millisecond = int(ms - (long long)seconds * 1000);

    const std::tm local = localBrokenDown(seconds);
    const std::tm universal = universalBrokenDown(seconds);

    ZoneReading r;
    r.local = fromBrokenDown(local, millisecond);
    // Both broken-down times come from the same whole second, so the difference is the
    // zone's offset to whole seconds, with the dates taken into account.
    r.utcOffsetDays = fromBrokenDown(universal) - fromBrokenDown(local);
    r.daylightSaving = local.tm_isdst > 0;
    const double f = r.local - std::trunc(r.local);
    r.times = continentalZoneTimes(f, selected);
    r.times.Universal = f + r.utcOffsetDays;
    r.utcText = asctimeText(universal);
    return r;
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

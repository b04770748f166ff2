#include "clocks/DateTime.h"

#include <QDateTime>
#include <QMutex>
#include <QTimeZone>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {
// The zone set with setComputerTimeZone, if any. The clocks read it on the GUI thread, the
// reports on their workers.
QMutex zoneLock;
std::optional<QTimeZone> givenZone;

std::optional<QTimeZone> zoneGiven()
{
    const QMutexLocker lock(&zoneLock);
    return givenZone;
}

// Days from 1970-01-01 to a civil date in the proleptic Gregorian calendar.
long long daysFromCivil(long long y, long long m, long long d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr long long DaysFrom1899To1970 = 25569;

std::time_t secondsOf(ClockInstant instant, int& millisecond)
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(instant.time_since_epoch()).count();
    long long seconds = ms / 1000;
    long long rest = ms % 1000;
    if (rest < 0) {
        rest += 1000;
        --seconds;
    }
    millisecond = int(rest);
    return std::time_t(seconds);
}
} // namespace

long long daysSince1899(int year, int month, int day)
{
    return daysFromCivil(year, month, day) + DaysFrom1899To1970;
}

TDateTime encodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    const double dayFraction
        = ((hour * 3600.0 + minute * 60.0 + second) * 1000.0 + millisecond) / double(MillisecondsPerDay);
    return double(daysSince1899(year, month, day)) + dayFraction;
}

TDateTime fromBrokenDown(const std::tm& tm, int millisecond)
{
    return encodeDateTime(
        tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, millisecond);
}

void rereadTimeZone()
{
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
}

bool setComputerTimeZone(const QByteArray& ianaId)
{
    std::optional<QTimeZone> zone;
    if (!ianaId.isEmpty()) {
        zone = QTimeZone(ianaId);
        if (!zone->isValid())
            return false;
    }
    const QMutexLocker lock(&zoneLock);
    givenZone = zone;
    return true;
}

QByteArray computerTimeZone()
{
    const std::optional<QTimeZone> zone = zoneGiven();
    return zone ? zone->id() : QByteArray();
}

std::tm localBrokenDown(std::time_t t)
{
    std::tm tm {};
    if (const std::optional<QTimeZone> zone = zoneGiven()) {
        const QDateTime at = QDateTime::fromSecsSinceEpoch(qint64(t), *zone);
        const QDate date = at.date();
        const QTime time = at.time();
        tm.tm_year = date.year() - 1900;
        tm.tm_mon = date.month() - 1;
        tm.tm_mday = date.day();
        tm.tm_hour = time.hour();
        tm.tm_min = time.minute();
        tm.tm_sec = time.second();
        tm.tm_wday = date.dayOfWeek() % 7;
        tm.tm_yday = date.dayOfYear() - 1;
        tm.tm_isdst = zone->isDaylightTime(at) ? 1 : 0;
        return tm;
    }
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return tm;
}

std::tm universalBrokenDown(std::time_t t)
{
    std::tm tm {};
#ifdef _WIN32
    gmtime_s(&tm, &t);
#else
    gmtime_r(&t, &tm);
#endif
    return tm;
}

TDateTime localDateTime(ClockInstant instant)
{
    int ms = 0;
    const std::time_t t = secondsOf(instant, ms);
    return fromBrokenDown(localBrokenDown(t), ms);
}

TDateTime universalDateTime(ClockInstant instant)
{
    int ms = 0;
    const std::time_t t = secondsOf(instant, ms);
    return fromBrokenDown(universalBrokenDown(t), ms);
}

TDateTime localNow()
{
    return localDateTime(std::chrono::system_clock::now());
}

std::string zoneAbbreviation(ClockInstant instant)
{
    int ms = 0;
    const std::time_t t = secondsOf(instant, ms);
    if (const std::optional<QTimeZone> zone = zoneGiven())
        return shortZoneName(
            zone->abbreviation(QDateTime::fromSecsSinceEpoch(qint64(t), *zone)).toLocal8Bit().toStdString());
    const std::tm tm = localBrokenDown(t);
    char text[64] = {};
    if (std::strftime(text, sizeof text, "%Z", &tm) == 0)
        return {};
    return shortZoneName(text);
}

std::string shortZoneName(const std::string& name)
{
    if (name.find(' ') == std::string::npos)
        return name;
    if (name == "Coordinated Universal Time")
        return "UTC";
    std::string initials;
    bool wordStart = true;
    for (const char c : name) {
        if (c == ' ') {
            wordStart = true;
            continue;
        }
        if (wordStart && std::isalpha(static_cast<unsigned char>(c)))
            initials += char(std::toupper(static_cast<unsigned char>(c)));
        wordStart = false;
    }
    return initials;
}

TimeOfDay splitTimeOfDay(TTime value)
{
    // Beyond 2^53 ms (about 285 000 years) a double no longer holds every millisecond.
    constexpr double Limit = 9007199254740992.0;
    const double scaled = value * double(MillisecondsPerDay);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= Limit)
        return {};
    long long ms = std::llround(scaled) % MillisecondsPerDay;
    if (ms < 0)
        ms += MillisecondsPerDay;
    const long long seconds = ms / 1000;
    return { int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60) };
}

std::string timeOfDayText(const TimeOfDay& time)
{
    char text[40];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

#pragma once
// Runs a test in a fixed local time zone: sets TZ and re-reads it, and puts back the
// zone the process had when it ends.
#include "clocks/DateTime.h"

#include <QByteArray>
#include <QtGlobal>

#include <chrono>
#include <ctime>
#include <string>

class LocalZone {
public:
    explicit LocalZone(const char* zone) : m_had(qEnvironmentVariableIsSet("TZ")), m_previous(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        rereadTimeZone();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_previous);
        else
            qunsetenv("TZ");
        rereadTimeZone();
    }
    LocalZone(const LocalZone&) = delete;
    LocalZone& operator=(const LocalZone&) = delete;

private:
    bool m_had;
    QByteArray m_previous;
};

// The instant of a Universal date and time, with milliseconds.
inline ClockInstant utcInstant(int year, int month, int day, int hour, int minute, int second, int ms = 0)
{
    using namespace std::chrono;
    const long long days = daysSince1899(year, month, day) - 25569; // days since 1970-01-01
    return ClockInstant(milliseconds(((days * 24 + hour) * 60 + minute) * 60'000LL + second * 1000LL + ms));
}

// The time of day "HH:MM:SS" at the instant in the named zone, as the C library works it
// out with TZ set to that zone: an account kept apart from the program's own reading of
// the time-zone database, to compare the displays with.
inline std::string runtimeClock(const char* zone, ClockInstant instant)
{
    using namespace std::chrono;
    const std::time_t t = system_clock::to_time_t(floor<seconds>(instant));
    LocalZone local(zone);
    const std::tm tm = localBrokenDown(t);
    char text[16] = {};
    std::strftime(text, sizeof text, "%H:%M:%S", &tm);
    return text;
}

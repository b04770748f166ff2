#pragma once
// Runs a test in a fixed local time zone, and puts back the zone the process had when it
// ends. On Unix it sets TZ and re-reads it, as a user would; the runtime library of Windows
// takes no zone names, so there the program is given the zone (setComputerTimeZone).
#include "clocks/DateTime.h"

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>
#include <QtGlobal>

#include <chrono>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

class LocalZone {
public:
#ifdef _WIN32
    explicit LocalZone(const char* zone) : m_previous(computerTimeZone())
    {
        EXPECT_TRUE(setComputerTimeZone(zone)) << zone << " is no zone Qt knows here";
    }
    ~LocalZone()
    {
        setComputerTimeZone(m_previous);
    }
#else
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
#endif
    LocalZone(const LocalZone&) = delete;
    LocalZone& operator=(const LocalZone&) = delete;

private:
#ifndef _WIN32
    bool m_had;
#endif
    QByteArray m_previous;
};

// The instant of a Universal date and time, with milliseconds.
inline ClockInstant utcInstant(int year, int month, int day, int hour, int minute, int second, int ms = 0)
{
    using namespace std::chrono;
    const long long days = daysSince1899(year, month, day) - 25569; // days since 1970-01-01
    return ClockInstant(milliseconds(((days * 24 + hour) * 60 + minute) * 60'000LL + second * 1000LL + ms));
}

// The time of day "HH:MM:SS" at the instant in the named zone, worked out apart from the
// program's own reading of the time-zone database, to compare the displays with: by the C
// library with TZ set to that zone, or on Windows, whose C library takes no zone names, by
// Qt's conversion of the instant into the zone.
inline std::string runtimeClock(const char* zone, ClockInstant instant)
{
    using namespace std::chrono;
    const std::time_t t = system_clock::to_time_t(floor<seconds>(instant));
#ifdef _WIN32
    return QDateTime::fromSecsSinceEpoch(qint64(t), QTimeZone(zone))
        .time()
        .toString(QStringLiteral("HH:mm:ss"))
        .toStdString();
#else
    LocalZone local(zone);
    const std::tm tm = localBrokenDown(t);
    char text[16] = {};
    std::strftime(text, sizeof text, "%H:%M:%S", &tm);
    return text;
#endif
}

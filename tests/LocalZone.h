#pragma once
// Runs a test in a fixed local time zone: sets TZ and re-reads it, and puts back the
// zone the process had when it ends.
#include "segments/DateTime.h"

#include <QByteArray>
#include <QtGlobal>

#include <chrono>

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

#pragma once
// Attendance over the kept nets, as the journal counts it and the exports show it. A
// station is its identity (trimmed, upper-cased call); discarded nets never count.
#include <QString>

#include <cstdint>

// One station's attendance over a range of nets.
struct Attendance {
    QString call;
    QString name;
    int nets = 0;
    std::int64_t firstUtcMs = 0;
    std::int64_t lastUtcMs = 0;
};

// How many of the last nets (with check-ins) a station checked into, and the time of its
// last check-in; {0, 0} when none.
struct RecentAttendance {
    int nets = 0;
    int outOf = 0;
    std::int64_t lastUtcMs = 0;
};

#pragma once
// How fresh the FCC data below the installation folder is: the date of the weekly set it
// was imported from and of each daily set applied on top, kept in "FCCraw/dates.txt"
// beside the licence files, and the line the FCC page shows for it. Plain C++ and
// QtCore, no widgets.
#include "licence/LicenceInfo.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The date of a set from the text of its "counts" file. The FCC writes the day the set
// was made on the first line, as "File Creation Date: Sun Sep 28 07:05:12 EDT 2025"; the
// first date found in the text counts, in that form (month name, day, year), or as
// MM/DD/YYYY or YYYY-MM-DD. 0 when the text holds none.
LicenceDay ParseCountsDate(std::string_view counts);
// The time the FCC wrote a set, in seconds since 1970 UTC, from the first date of its
// counts text when that has the FCC's form with a time ("Sep 28 07:05:12 EDT 2025"; the
// US zone names count, any other zone is taken for UTC); -1 when it has no time.
std::int64_t ParseCountsTime(std::string_view counts);

// When a set was written: its day, and its time when the counts file gave one (-1 not).
struct FccSetDate {
    LicenceDay day = 0;
    std::int64_t time = -1;
    bool operator==(const FccSetDate&) const = default;
    // Whether this set was written after other: by the time when both have one, else by day.
    bool after(const FccSetDate& other) const
    {
        return time >= 0 && other.time >= 0 ? time > other.time : day > other.day;
    }
};

struct FccDataDates {
    LicenceDay weekly = 0;
    std::vector<LicenceDay> dailies; // in the order applied
    // The times the FCC wrote them, -1 where not known; as many as there are days.
    std::int64_t weeklyTime = -1;
    std::vector<std::int64_t> dailyTimes;

    bool known() const { return weekly != 0; }
    // The newest set: the last daily, else the weekly.
    LicenceDay newest() const { return dailies.empty() ? weekly : dailies.back(); }
    FccSetDate newestSet() const
    {
        if (dailies.empty())
            return { weekly, weeklyTime };
        return { dailies.back(), dailyTimes.size() == dailies.size() ? dailyTimes.back() : -1 };
    }
    void addDaily(const FccSetDate& date)
    {
        dailyTimes.resize(dailies.size(), -1);
        dailies.push_back(date.day);
        dailyTimes.push_back(date.time);
    }
    // "weekly YYYY-MM-DD" and one "daily YYYY-MM-DD" per daily, a line each, each
    // followed by the time in seconds since 1970 UTC when it is known.
    QByteArray toText() const;
    static std::optional<FccDataDates> fromText(const QByteArray& text);
};

// The file of the dates in the folder of the licence files (of its current set).
QString FccDatesFile(const QString& fccFolder);
// The dates kept there; nothing when there is no such file or it cannot be read.
std::optional<FccDataDates> ReadFccDates(const QString& fccFolder);

// The page's line for the data: "FCC data of 2025-09-28 with 3 daily updates", red when
// the newest set is older than 14 days on today. "FCC data of unknown date" for licence
// files that came without dates (EN.dat copied by hand); empty when there are none.
struct FccDataLine {
    QString text;
    bool red = false;
};
FccDataLine FccDataDateLine(const std::optional<FccDataDates>& dates, bool haveLicenceFile, LicenceDay today);
// Today, in the local zone, as a licence day.
LicenceDay LicenceToday();

#pragma once
// How fresh the FCC data below the installation folder is: the date of the weekly set it
// was imported from and of each daily set applied on top, kept in "FCCraw/dates.txt"
// beside the licence files, and the line the FCC page shows for it. Plain C++ and
// QtCore, no widgets.
#include "licence/LicenceInfo.h"

#include <QString>

#include <optional>
#include <string_view>
#include <vector>

// The date of a set from the text of its "counts" file. The FCC writes the day the set
// was made on the first line, as "File Creation Date: Sun Sep 28 07:05:12 EDT 2025"; the
// first date found in the text counts, in that form (month name, day, year), or as
// MM/DD/YYYY or YYYY-MM-DD. 0 when the text holds none.
LicenceDay ParseCountsDate(std::string_view counts);

struct FccDataDates {
    LicenceDay weekly = 0;
    std::vector<LicenceDay> dailies; // in the order applied

    bool known() const { return weekly != 0; }
    // The newest set: the last daily, else the weekly.
    LicenceDay newest() const { return dailies.empty() ? weekly : dailies.back(); }
    // "weekly YYYY-MM-DD" and one "daily YYYY-MM-DD" per daily, a line each.
    QByteArray toText() const;
    static std::optional<FccDataDates> fromText(const QByteArray& text);
};

// The file of the dates in the folder of the licence files.
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

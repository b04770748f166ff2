#pragma once
// One line of the check-in list, and where a check-in came from. No widgets and no storage
// here: the journal, the exports and the pages all speak in these terms.
#include <QString>

#include <cstdint>

// Where a check-in came from.
enum class CheckInSource { Roster, Manual, Fcc, Spreadsheet, ClubSearch };
QString sourceName(CheckInSource source);
CheckInSource sourceFromName(const QString& name);

// One line of the check-in list as the journal keeps it.
struct JournalEntry {
    std::int64_t seq = 0; // position key: lines stand in the order of their seq
    bool dateLine = false;
    int number = 0; // 0 for a date line
    QString call, name, city, state;
    QString text; // the whole line, for a date line
    CheckInSource source = CheckInSource::Manual;
    std::int64_t utcMs = 0; // when it was added, milliseconds since 1970 UTC
    QString status; // short status tag, empty when none
    QString loggedBy; // the call of the operator who logged the line, empty when not known
    bool provisional = false; // a shared net's line still waiting for its number from the server
};

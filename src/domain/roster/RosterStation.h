#pragma once
// A station read from a record of a club roster table, by the roster's description: which
// table column holds the call and which fill which SELECTED CALL field.
#include "checkin/Station.h"
#include "roster/RosterCatalog.h"

#include <QStringList>

#include <span>
#include <utility>
#include <vector>

class RosterTable;

// The place of a column in a table's columns, its name matched without regard to case; -1
// when the table has no such column (or the name is null).
int rosterColumn(const QStringList& columns, const char* name);

// A roster's columns found once in a table, so the records are read by position.
struct RosterColumns {
    int key = -1; // the call; -1 when the table has no key column
    std::vector<std::pair<int, StationField>> fields; // only the columns the table has
    int column(StationField field) const; // -1 when not mapped or not in the table
};
RosterColumns rosterColumns(
    const ClubRoster& roster, const RosterTable& table, std::span<const ColumnField> fields);

// The station of one record: the call from the key column and every mapped field; a field
// the map leaves out stays unset. source is where a check-in of it comes from (a roster line
// or the club search), the origin the roster's label.
Station rosterStation(const ClubRoster& roster, const RosterColumns& columns, const QStringList& record,
    CheckInSource source = CheckInSource::Roster);

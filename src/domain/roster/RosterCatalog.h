#pragma once
// What each club roster is: its database file and table, its key and area columns, which of
// its columns fill which SELECTED CALL field, whether its first record is a placeholder, and
// how it is named. The chapter roster spreadsheet is described here too. Everything that
// reads a roster (the roster lists, the look-ups, the club search, the station directory and
// the grid) takes it from here; no column name or number is written anywhere else.
#include "checkin/Station.h"
#include "data/HostSystem.h"

#include <QString>

#include <span>

// The club groups, with the values the net page keeps as its shown group.
enum RosterGroup { rgNone = 0, rgARC = 1, rgRV = 2, rgRegular = 3, rgWBCCI = 4 };

struct ColumnField {
    const char* column;
    StationField field;
};

struct ClubRoster {
    RosterGroup group;
    const char* label; // as the club search lists it and the suggestions name it
    const char* file; // below the installation folder's database/
    const char* table;
    const char* keyColumn; // the call
    const char* areaColumn; // the call area digit, as text
    std::span<const ColumnField> fields; // what a look-up of one of its stations copies
    std::span<const ColumnField> searchFields; // what the club search copies
    // The first record of some tables is a placeholder that the lists leave out: from the
    // whole list, from an area list, or from both.
    bool wholeFromSecond;
    bool areaFromSecond;
};

// ARC, RV Radio, Regular, WBCCI: the order of the group panels and of the club search.
std::span<const ClubRoster> clubRosters();
// The roster of a group; null for rgNone or any other value.
const ClubRoster* clubRoster(int group);

// The chapter roster spreadsheet, read from below the working directory. Row 0 is the header
// row; every later row is a member.
struct SheetField {
    int column;
    StationField field;
};

struct RosterSheet {
    const char* relativePath; // "OrvikDB/Roster_Name_ARC.xls", '/' separated
    int callColumn;
    int spouseCallColumn;
    int spouseNameColumn;
    int lastNameColumn;
    int stateSortColumn; // the member's home state, for the grid's third sort
    std::span<const SheetField> gridFields; // a click on a grid line copies these
    std::span<const SheetField> searchFields; // the grid's search copies these
    // MEMBER CHECK fills the manual boxes: name, city and state from these columns.
    int checkNameColumn;
    int checkCityColumn;
    int checkStateColumn;
};

const RosterSheet& rosterSheet();
// The spreadsheet's file below a folder, joined with the system's separator ("\\" on
// Windows). The folder's text is used as it stands: a root folder ending in a separator
// gives a doubled separator, which the file system accepts.
QString rosterSheetPath(const QString& folder, HostSystem system = thisSystem());

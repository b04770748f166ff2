#include "roster/RosterCatalog.h"

#include <iterator>

namespace {
using F = StationField;

const ColumnField arcFields[] = { { "FN", F::FirstName }, { "SFN", F::SpouseName }, { "LNAME", F::LastName },
    { "SCALL", F::SpouseCall }, { "CITY", F::City }, { "STATE", F::State } };
const ColumnField rvFields[]
    = { { "FN", F::FirstName }, { "Spouse", F::SpouseName }, { "CITY", F::City }, { "STATE", F::State } };
const ColumnField regFields[] = { { "NameS", F::FirstName }, { "City", F::City }, { "State", F::State } };
const ColumnField wbcFields[] = { { "NameS", F::FirstName }, { "CITY", F::City }, { "STATE", F::State } };
// The club search takes only the first name from the RV Radio roster.
const ColumnField rvSearchFields[] = { { "FN", F::FirstName } };

const ClubRoster rosters[] = {
    { rgARC, "FMCA ARC", "ARCarea.mdb", "Amber", "CALL", "AREA", arcFields, arcFields, false, false },
    { rgRV, "RV Radio Network", "radioRV.mdb", "ABC", "Call", "AREA", rvFields, rvSearchFields, true, true },
    { rgRegular, "Regular Check-ins", "RepCheck.mdb", "RepCheckIn", "Call", "AREA", regFields, regFields,
        false, true },
    { rgWBCCI, "WBCCI Service net", "WBCII.mdb", "wbcci", "Call", "AREA", wbcFields, wbcFields, true, true },
};

// Last Name, First Name, Call, Member No, Joined, Spouse, Spouse Call, Coach, Home State,
// Address, Zip, City, State, Mail State.
const SheetField gridFields[] = { { 0, F::LastName }, { 1, F::FirstName }, { 2, F::Call },
    { 5, F::SpouseName }, { 6, F::SpouseCall }, { 11, F::City }, { 12, F::State } };
// The grid's search has always read the columns one to the right for the spouse, the city
// and the state; clubs' sheets and operators rely on what it shows.
const SheetField searchFields[] = { { 0, F::LastName }, { 1, F::FirstName }, { 2, F::Call },
    { 6, F::SpouseName }, { 12, F::City }, { 13, F::State } };

const RosterSheet sheet { "OrvikDB/Roster_Name_ARC.xls", 2, 6, 5, 0, 8, gridFields, searchFields, 1, 12, 13 };
} // namespace

std::span<const ClubRoster> clubRosters()
{
    return rosters;
}

const ClubRoster* clubRoster(int group)
{
    for (const ClubRoster& r : rosters)
        if (r.group == group)
            return &r;
    return nullptr;
}

const RosterSheet& rosterSheet()
{
    return sheet;
}

QString rosterSheetPath(const QString& folder, HostSystem system)
{
    QString relative = QLatin1Char('/') + QString::fromLatin1(rosterSheet().relativePath);
    if (system == HostSystem::Windows)
        relative.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return folder + relative;
}

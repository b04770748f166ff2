#include "roster/ClubSearch.h"

ClubSearchResult searchClubRosters(
    const QString& call, const std::function<const RosterTable&(RosterGroup)>& table)
{
    // Stations of two rosters are never mixed: a roster whose record only begins with the
    // call counts only when no roster holds the call itself.
    bool anyExact = false;
    for (const ClubRoster& r : clubRosters())
        anyExact = anyExact
            || table(r.group)
                   .find(QString::fromLatin1(r.keyColumn), call, LocateOptions { false, false })
                   .has_value();
    const LocateOptions how { !anyExact, false };
    ClubSearchResult result;
    for (const ClubRoster& r : clubRosters()) {
        const RosterTable& t = table(r.group);
        const std::optional<int> record = t.find(QString::fromLatin1(r.keyColumn), call, how);
        if (!record)
            continue;
        if (!result.station) {
            result.station = Station(CheckInSource::ClubSearch, QString::fromLatin1(r.label));
            result.station->set(StationField::Call, call);
        }
        for (const ColumnField& f : r.searchFields)
            result.station->set(f.field, t.text(*record, t.column(QString::fromLatin1(f.column))));
        result.rosters << QString::fromLatin1(r.label);
    }
    return result;
}

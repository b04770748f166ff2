#include "roster/RosterLookUp.h"

std::optional<Station> lookUpRosterStation(const ClubRoster& roster, const RosterTable& table,
    const QString& text, std::span<const ColumnField> fields)
{
    const std::optional<int> record = table.findCall(QString::fromLatin1(roster.keyColumn), text);
    if (!record)
        return std::nullopt;
    Station station(CheckInSource::Roster, QString::fromLatin1(roster.label));
    station.set(StationField::Call, text);
    for (const ColumnField& f : fields)
        station.set(f.field, table.text(*record, table.column(QString::fromLatin1(f.column))));
    return station;
}

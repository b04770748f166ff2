#include "roster/RosterStation.h"

#include "data/RosterTable.h"

int rosterColumn(const QStringList& columns, const char* name)
{
    if (!name)
        return -1;
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int RosterColumns::column(StationField field) const
{
    for (const auto& [column, f] : fields)
        if (f == field)
            return column;
    return -1;
}

RosterColumns rosterColumns(
    const ClubRoster& roster, const RosterTable& table, std::span<const ColumnField> fields)
{
    RosterColumns out;
    out.key = rosterColumn(table.columns(), roster.keyColumn);
    for (const ColumnField& f : fields) {
        const int column = rosterColumn(table.columns(), f.column);
        if (column >= 0)
            out.fields.emplace_back(column, f.field);
    }
    return out;
}

Station rosterStation(
    const ClubRoster& roster, const RosterColumns& columns, const QStringList& record, CheckInSource source)
{
    Station s(source, QString::fromLatin1(roster.label));
    if (columns.key >= 0)
        s.set(StationField::Call, record.value(columns.key));
    for (const auto& [column, field] : columns.fields)
        s.set(field, record.value(column));
    return s;
}

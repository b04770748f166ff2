#include "data/RosterTable.h"

#include "data/DataError.h"

RosterTable::RosterTable(QStringList columns, std::vector<QStringList> rows)
    : columnNames(std::move(columns)), rows(std::move(rows))
{
    for (QStringList& row : this->rows)
        while (row.size() < columnNames.size())
            row << QString();
}

bool RosterTable::hasColumn(const QString& name) const
{
    for (const QString& c : columnNames)
        if (c.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int RosterTable::column(const QString& name) const
{
    for (int i = 0; i < columnNames.size(); ++i)
        if (columnNames[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    throw DataError(QStringLiteral("Field '%1' not found").arg(name).toStdString());
}

std::optional<int> RosterTable::find(const QString& name, const QString& value, LocateOptions options) const
{
    const int index = column(name);
    const Qt::CaseSensitivity cs = options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int r = 0; r < recordCount(); ++r) {
        const QString& v = rows[std::size_t(r)][index];
        if (options.partialKey ? v.startsWith(value, cs) : v.compare(value, cs) == 0)
            return r;
    }
    return std::nullopt;
}

std::optional<int> RosterTable::findCall(const QString& name, const QString& value) const
{
    if (auto exact = find(name, value, LocateOptions { false, false }))
        return exact;
    return find(name, value, LocateOptions { true, false });
}

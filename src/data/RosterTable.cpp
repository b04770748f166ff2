#include "data/RosterTable.h"

#include "data/DataError.h"
#include "data/IsolatedReader.h"

RosterTable::RosterTable(QStringList columns, std::vector<QStringList> rows)
    : columnNames(std::move(columns)), rows(std::move(rows))
{
    for (QStringList& row : this->rows)
        while (row.size() < columnNames.size())
            row << QString();
}

RosterTable RosterTable::open(const QString& mdbPath, const QString& tableName)
{
    TextTable table = IsolatedReader::readMdbTable(mdbPath, tableName);
    return RosterTable(std::move(table.columns), std::move(table.rows));
}

void RosterTable::First()
{
    current = 0;
}

void RosterTable::Next()
{
    if (current < recordCount())
        ++current;
}

bool RosterTable::Eof() const
{
    return current >= recordCount();
}

int RosterTable::columnIndex(const QString& column) const
{
    for (const Resolved& r : resolved)
        if (r.index >= 0 && r.name == column)
            return r.index;
    for (int i = 0; i < columnNames.size(); ++i) {
        if (columnNames[i].compare(column, Qt::CaseInsensitive) == 0) {
            resolved[nextSlot] = { column, i };
            nextSlot = (nextSlot + 1) % int(resolved.size());
            return i;
        }
    }
    throw DataError(QStringLiteral("Field '%1' not found").arg(column).toStdString());
}

QString RosterTable::FieldText(const QString& column) const
{
    const int index = columnIndex(column);
    if (Eof())
        throw DataError(QStringLiteral("Field '%1' cannot be read: there is no current record")
                            .arg(column)
                            .toStdString());
    return rows[current][index];
}

bool RosterTable::Locate(const QString& column, const QString& text, LocateOptions options)
{
    const int index = columnIndex(column);
    const Qt::CaseSensitivity cs = options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int r = 0; r < recordCount(); ++r) {
        const QString& value = rows[r][index];
        const bool hit = options.partialKey ? value.startsWith(text, cs) : value.compare(text, cs) == 0;
        if (hit) {
            current = r;
            return true;
        }
    }
    return false;
}

int RosterTable::recordCount() const
{
    return static_cast<int>(rows.size());
}

const QStringList& RosterTable::columns() const
{
    return columnNames;
}

int RosterTable::position() const
{
    return current;
}

bool RosterTable::LocateCall(const QString& column, const QString& text)
{
    return Locate(column, text, LocateOptions { false, false })
        || Locate(column, text, LocateOptions { true, false });
}

#include "data/RosterTable.h"

RosterTable::RosterTable(QStringList columns, std::vector<QStringList> rows)
    : m_columns(std::move(columns)), m_rows(std::move(rows))
{
}

RosterTable RosterTable::open(const QString& mdbPath, const QString&)
{
    throw DataError(("Cannot open " + mdbPath).toStdString());
}

void RosterTable::First() { m_pos = 0; }
void RosterTable::Next()
{
    if (m_pos < int(m_rows.size()))
        ++m_pos;
}
bool RosterTable::Eof() const { return m_pos >= int(m_rows.size()); }

int RosterTable::columnIndex(const QString& column) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    throw DataError(QStringLiteral("Field '%1' not found").arg(column).toStdString());
}

QString RosterTable::FieldText(const QString& column) const
{
    const int c = columnIndex(column);
    if (Eof())
        throw DataError("No current record");
    return m_rows[size_t(m_pos)].value(c);
}

bool RosterTable::Locate(const QString& column, const QString& text, LocateOptions o)
{
    const int c = columnIndex(column);
    const auto cs = o.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const QString v = m_rows[i].value(c);
        if (o.partialKey ? v.startsWith(text, cs) : v.compare(text, cs) == 0) {
            m_pos = int(i);
            return true;
        }
    }
    return false;
}

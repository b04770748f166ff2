#include "net/RosterGridModel.h"

#include "controls/TColor.h"

#include <QBrush>
#include <QFont>
#include <algorithm>

void RosterGridModel::setRows(QList<QStringList> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_columns = 0;
    for (const QStringList& r : m_rows)
        m_columns = std::max(m_columns, int(r.size()));
    m_sorted = -1;
    endResetModel();
}

void RosterGridModel::sortByColumn(int column)
{
    emit layoutAboutToBeChanged();
    if (m_rows.size() > 2) {
        std::stable_sort(
            m_rows.begin() + 1, m_rows.end(), [column](const QStringList& a, const QStringList& b) {
                return a.value(column).compare(b.value(column), Qt::CaseInsensitive) < 0;
            });
    }
    m_sorted = column;
    emit layoutChanged();
}

QString RosterGridModel::cell(int column, int row) const
{
    if (row < 0 || row >= m_rows.size())
        return QString();
    return m_rows[row].value(column);
}

int RosterGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RosterGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant RosterGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const bool fixed = index.row() == 0 || index.column() == 0;
    switch (role) {
    case Qt::DisplayRole:
        return cell(index.column(), index.row());
    case Qt::FontRole:
        if (fixed) {
            QFont f(QStringLiteral("Tahoma"));
            f.setBold(true);
            return f;
        }
        return {};
    case Qt::BackgroundRole:
        if (index.row() == 0 && index.column() == m_sorted)
            return QBrush(toQColor(clYellow));
        if (fixed)
            return QBrush(QColor(0xD4, 0xD0, 0xC8));
        return {};
    default:
        return {};
    }
}

#include "net/RosterGridModel.h"

#include "controls/TColor.h"

#include <QBrush>
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
    if (m_columns > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_columns - 1); // the marked title moved
    if (m_rows.size() > 1)
        emit headerDataChanged(Qt::Vertical, 1, int(m_rows.size()) - 1);
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
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return cell(index.column(), index.row());
}

QVariant RosterGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        return orientation == Qt::Horizontal ? cell(section, 0) : cell(0, section);
    case Qt::BackgroundRole:
        // The title of the column the members are sorted by.
        if (orientation == Qt::Horizontal && section == m_sorted)
            return QBrush(toQColor(clYellow));
        return {};
    default:
        return {};
    }
}

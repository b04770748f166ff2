#include "fcc/LicenceListModel.h"

#include <limits>
#include <stdexcept>

LicenceListModel::LicenceListModel(QObject* parent) : QAbstractListModel(parent) { }

int LicenceListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant LicenceListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return QVariant();
    return lineText(index.row());
}

QString LicenceListModel::lineText(int row) const
{
    const std::string_view line = m_lines.line(std::size_t(row));
    return QString::fromLatin1(line.data(), qsizetype(line.size()));
}

void LicenceListModel::appendLines(LicenceList&& lines)
{
    if (lines.empty())
        return;
    // Item views count rows in int: a build that would pass that is refused whole.
    const std::size_t room = std::size_t(std::numeric_limits<int>::max()) - m_lines.size();
    if (lines.size() > room)
        throw std::length_error("the prefix list cannot hold more than 2147483647 lines");
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + int(lines.size()) - 1);
    m_lines.append(std::move(lines));
    endInsertRows();
}

void LicenceListModel::clear()
{
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

#include "net/CheckInModel.h"

#include "checkin/CheckInStatus.h"

#include <QStringList>

CheckInModel::CheckInModel(CheckInList& list, QObject* parent) : QAbstractListModel(parent), m_list(list)
{
    m_list.addObserver(this);
}

CheckInModel::~CheckInModel()
{
    m_list.removeObserver(this);
}

int CheckInModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.size();
}

QVariant CheckInModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_list.size())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        // On a shared net each line says who logged it, after the line as it is saved.
        const JournalEntry& line = m_list.at(index.row());
        if (line.dateLine || line.loggedBy.isEmpty())
            return m_list.line(index.row());
        return m_list.line(index.row()) + QStringLiteral("   by ") + line.loggedBy;
    }
    case StatusRole:
        return m_list.at(index.row()).status;
    case Qt::ToolTipRole: {
        // The status in words, and on a shared net who logged the line.
        const JournalEntry& line = m_list.at(index.row());
        const CheckInStatus* status = statusByCode(line.status);
        QStringList tip;
        if (status)
            tip << status->label;
        if (!line.loggedBy.isEmpty() && !line.dateLine)
            tip << QStringLiteral("Logged by %1").arg(line.loggedBy);
        return tip.isEmpty() ? QVariant() : QVariant(tip.join(QLatin1Char('\n')));
    }
    default:
        return {};
    }
}

void CheckInModel::aboutToInsert(int index)
{
    beginInsertRows({}, index, index);
}

void CheckInModel::inserted(int)
{
    endInsertRows();
    emit listChanged();
}

void CheckInModel::aboutToRemove(int index)
{
    beginRemoveRows({}, index, index);
}

void CheckInModel::removed(int)
{
    endRemoveRows();
    emit listChanged();
}

void CheckInModel::changed(int index)
{
    emit dataChanged(this->index(index), this->index(index));
    emit listChanged();
}

void CheckInModel::aboutToReset()
{
    beginResetModel();
}

void CheckInModel::reset()
{
    endResetModel();
    emit listChanged();
}

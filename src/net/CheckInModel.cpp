#include "net/CheckInModel.h"

#include "checkin/CheckInStatus.h"

CheckInModel::CheckInModel(CheckInList& list, QObject* parent) : QAbstractListModel(parent), m_list(list)
{
    m_list.setObserver(this);
}

CheckInModel::~CheckInModel()
{
    m_list.setObserver(nullptr);
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
    case Qt::DisplayRole:
        return m_list.line(index.row());
    case StatusRole:
        return m_list.at(index.row()).status;
    case Qt::ToolTipRole: {
        const CheckInStatus* status = statusByCode(m_list.at(index.row()).status);
        return status ? status->label : QVariant();
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

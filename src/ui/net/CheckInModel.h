#pragma once
// The check-in list as a Qt list model: one row per line of the plain list, kept in step
// through the list's change notifications, so a view keeps its selection and keyboard
// position across adds, deletes and undos. The line's status is a role of its own; the
// line's text never carries it.
#include "checkin/CheckInList.h"

#include <QAbstractListModel>

class CheckInModel : public QAbstractListModel, private CheckInListObserver {
    Q_OBJECT

public:
    enum Role { StatusRole = Qt::UserRole + 1 };

    explicit CheckInModel(CheckInList& list, QObject* parent = nullptr);
    ~CheckInModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

signals:
    // After any change of the list: its lines, their count or a status.
    void listChanged();

private:
    void aboutToInsert(int index) override;
    void inserted(int index) override;
    void aboutToRemove(int index) override;
    void removed(int index) override;
    void changed(int index) override;
    void aboutToReset() override;
    void reset() override;

    CheckInList& m_list;
};

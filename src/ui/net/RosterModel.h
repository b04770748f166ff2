#pragma once
// One club roster as a Qt list model: a row per record of its table, showing the call.
// Stations already checked in carry a role of their own, shown as a green line with a tick.
// RosterAreaFilter narrows it to what a roster list shows: the whole roster or one call area,
// without the placeholder first record where the roster has one.
#include "data/RosterTable.h"
#include "roster/RosterCatalog.h"

#include <QAbstractListModel>
#include <QSet>
#include <QSortFilterProxyModel>

#include <functional>
#include <optional>

class RosterModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { CheckedInRole = Qt::UserRole + 1, RecordRole };
    // How often a call checked in lately, for the tooltip; may be empty.
    using AttendanceText = std::function<QString(const QString& call)>;

    RosterModel(const ClubRoster& roster, const RosterTable& table, QObject* parent = nullptr);

    const ClubRoster& roster() const { return m_roster; }
    const RosterTable& table() const { return m_table; }
    QString call(int record) const;
    // Throws DataError when the table has no call column.
    void requireCalls() const;
    // The area of a record; throws DataError when the table has no area column.
    QString area(int record) const;
    // Marks the records whose station identity is in the set.
    void setCheckedIn(const QSet<QString>& identities);
    void setAttendanceText(AttendanceText text) { m_attendance = std::move(text); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const ClubRoster& m_roster;
    const RosterTable& m_table;
    int m_callColumn;
    std::vector<bool> m_in;
    AttendanceText m_attendance;
};

class RosterAreaFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit RosterAreaFilter(RosterModel* roster, QObject* parent = nullptr);
    // The whole roster, or the records of one area. Throws DataError, leaving the list as it
    // was, when an area is asked of a table without an area column.
    void showWhole();
    void showArea(const QString& area);
    // The record a row of this filter shows.
    int recordAt(int row) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    RosterModel* m_roster;
    int m_first = 0;
    std::optional<QString> m_area;
    bool m_filled = false; // nothing is listed until the roster is first shown
};

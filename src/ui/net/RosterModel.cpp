#include "net/RosterModel.h"

#include "checkin/Station.h"

#include <QColor>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {
// The mark beside a roster line whose station is checked in: a green tick.
QIcon checkedInMark()
{
    static const QIcon mark = [] {
        QPixmap tick(14, 14);
        tick.fill(Qt::transparent);
        QPainter p(&tick);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 128, 0), 2.5));
        p.drawPolyline(QPolygonF({ QPointF(2, 7.5), QPointF(5.5, 11), QPointF(12, 3) }));
        return QIcon(tick);
    }();
    return mark;
}
} // namespace

RosterModel::RosterModel(const ClubRoster& roster, const RosterTable& table, QObject* parent)
    : QAbstractListModel(parent), m_roster(roster), m_table(table), m_in(std::size_t(table.recordCount()))
{
    const QString key = QString::fromLatin1(roster.keyColumn);
    m_callColumn = table.hasColumn(key) ? table.column(key) : -1;
}

QString RosterModel::call(int record) const
{
    if (m_callColumn < 0)
        return {};
    return m_table.text(record, m_callColumn);
}

void RosterModel::requireCalls() const
{
    if (m_callColumn < 0)
        m_table.column(QString::fromLatin1(m_roster.keyColumn));
}

QString RosterModel::area(int record) const
{
    return m_table.text(record, m_table.column(QString::fromLatin1(m_roster.areaColumn)));
}

void RosterModel::setCheckedIn(const QSet<QString>& identities)
{
    for (int r = 0; r < m_table.recordCount(); ++r) {
        const bool in = identities.contains(stationIdentity(call(r)));
        if (in == m_in[std::size_t(r)])
            continue;
        m_in[std::size_t(r)] = in;
        emit dataChanged(index(r), index(r));
    }
}

int RosterModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.recordCount();
}

QVariant RosterModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int r = index.row();
    const bool in = m_in[std::size_t(r)];
    switch (role) {
    case Qt::DisplayRole:
        return call(r);
    case CheckedInRole:
        return in;
    case RecordRole:
        return r;
    case Qt::BackgroundRole:
        return in ? QVariant(QColor(0xb8, 0xf0, 0xb8)) : QVariant();
    case Qt::DecorationRole:
        return in ? QVariant(checkedInMark()) : QVariant();
    case Qt::ToolTipRole: {
        if (!m_attendance)
            return {};
        QString text = m_attendance(call(r));
        if (text.isEmpty())
            text = QStringLiteral("No check-ins on record");
        return call(r) + QStringLiteral(": ") + text;
    }
    default:
        return {};
    }
}

RosterAreaFilter::RosterAreaFilter(RosterModel* roster, QObject* parent)
    : QSortFilterProxyModel(parent), m_roster(roster)
{
    setSourceModel(roster);
    setDynamicSortFilter(false);
}

void RosterAreaFilter::showWhole()
{
    m_roster->requireCalls();
    m_first = m_roster->roster().wholeFromSecond ? 1 : 0;
    m_area.reset();
    m_filled = true;
    invalidateFilter();
}

void RosterAreaFilter::showArea(const QString& area)
{
    m_roster->requireCalls();
    if (m_roster->table().recordCount() > 0)
        m_roster->area(0); // a table without an area column is told before the list changes
    m_first = m_roster->roster().areaFromSecond ? 1 : 0;
    m_area = area;
    m_filled = true;
    invalidateFilter();
}

int RosterAreaFilter::recordAt(int row) const
{
    return mapToSource(index(row, 0)).row();
}

bool RosterAreaFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return m_filled && sourceRow >= m_first && (!m_area || m_roster->area(sourceRow) == *m_area);
}

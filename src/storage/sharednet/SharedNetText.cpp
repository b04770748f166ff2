#include "sharednet/SharedNetText.h"

#include <QDateTime>

QString sharedLabelText(bool online, const QString& net, const QString& host, int operators, int waiting)
{
    if (!online)
        return QStringLiteral("OFFLINE: %1 changes waiting").arg(waiting);
    return QStringLiteral("Shared: %1 on %2, %3 operators").arg(net, host).arg(operators);
}

QString repeatNotice(const QString& call, const JournalEntry& line, const QTimeZone& zone)
{
    const QTimeZone z = zone.isValid() ? zone : QTimeZone::utc();
    const QString time = QDateTime::fromMSecsSinceEpoch(line.utcMs, z).toString(QStringLiteral("HH:mm"));
    QString text = QStringLiteral("%1 is already checked in as #%2 at %3")
                       .arg(call.trimmed())
                       .arg(line.number)
                       .arg(time);
    if (!line.loggedBy.isEmpty())
        text += QStringLiteral(" by ") + line.loggedBy;
    return text;
}

QString defaultNetName(const QString& club, const QDate& date)
{
    return QStringLiteral("%1 net %2").arg(club.trimmed(), date.toString(Qt::ISODate));
}

#pragma once
// The words a shared net shows the operator.
#include "checkin/CheckIn.h"

#include <QString>
#include <QTimeZone>

// The net page's label: "Shared: <net> on <host>, <n> operators" on line, or
// "OFFLINE: <n> changes waiting" (shown in red) while the server cannot be reached.
QString sharedLabelText(bool online, const QString& net, const QString& host, int operators, int waiting);

// The repeat notice over the whole shared net: "K5ABC is already checked in as #7 at 19:42
// by N5NCS" (the time in the zone; without "by" when no one is known).
QString repeatNotice(
    const QString& call, const JournalEntry& line, const QTimeZone& zone = QTimeZone::systemTimeZone());

// The default name of a shared net: "<club> net <date>".
QString defaultNetName(const QString& club, const QDate& date);

#include "checkin/CheckInStatus.h"

#include <array>

namespace {
// Colours that stay apart from one another and read as a tag on a white list; checked out
// and not heard are the quiet grey and the warning red.
const std::array<CheckInStatus, 7>& table()
{
    static const std::array<CheckInStatus, 7> statuses { {
        { QStringLiteral("R"), QStringLiteral("Relay (R)"), QLatin1Char('R'), QColor(0x1f, 0x5f, 0xbf) },
        { QStringLiteral("T"), QStringLiteral("Traffic and announcements (T)"), QLatin1Char('T'),
            QColor(0xd0, 0x70, 0x00) },
        { QStringLiteral("M/S"), QStringLiteral("Mobile or short time (M/S)"), QLatin1Char('M'),
            QColor(0x80, 0x30, 0xa0) },
        { QStringLiteral("EB"), QStringLiteral("Early bird (EB)"), QLatin1Char('E'),
            QColor(0x00, 0x80, 0x80) },
        { QStringLiteral("G"), QStringLiteral("General (G)"), QLatin1Char('G'), QColor(0x2e, 0x8b, 0x3e) },
        { QStringLiteral("OUT"), QStringLiteral("Checked out (OUT)"), QLatin1Char('O'),
            QColor(0x70, 0x70, 0x70) },
        { QStringLiteral("NH"), QStringLiteral("Not heard (NH)"), QLatin1Char('N'),
            QColor(0xc0, 0x20, 0x20) },
    } };
    return statuses;
}
} // namespace

std::span<const CheckInStatus> checkInStatuses()
{
    return table();
}

const CheckInStatus* statusByCode(const QString& code)
{
    for (const CheckInStatus& s : table())
        if (s.code == code)
            return &s;
    return nullptr;
}

const CheckInStatus* statusByKey(QChar key)
{
    const QChar upper = key.toUpper();
    for (const CheckInStatus& s : table())
        if (s.key == upper)
            return &s;
    return nullptr;
}

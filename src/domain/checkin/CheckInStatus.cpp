#include "checkin/CheckInStatus.h"

#include <array>

namespace {
// Colours that stay apart from one another and read as a tag on a white list; checked out
// and not heard are the quiet grey and the warning red.
const std::array<CheckInStatus, 7>& table()
{
    static const std::array<CheckInStatus, 7> statuses { {
        { QStringLiteral("R"), QStringLiteral("Relay (R)"), QLatin1Char('R'), 0x1f5fbf },
        { QStringLiteral("T"), QStringLiteral("Traffic and announcements (T)"), QLatin1Char('T'), 0xd07000 },
        { QStringLiteral("M/S"), QStringLiteral("Mobile or short time (M/S)"), QLatin1Char('M'), 0x8030a0 },
        { QStringLiteral("EB"), QStringLiteral("Early bird (EB)"), QLatin1Char('E'), 0x008080 },
        { QStringLiteral("G"), QStringLiteral("General (G)"), QLatin1Char('G'), 0x2e8b3e },
        { QStringLiteral("OUT"), QStringLiteral("Checked out (OUT)"), QLatin1Char('O'), 0x707070 },
        { QStringLiteral("NH"), QStringLiteral("Not heard (NH)"), QLatin1Char('N'), 0xc02020 },
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

#include "report/NetSummary.h"

#include "checkin/CheckInList.h"
#include "checkin/CheckInStatus.h"

#include <algorithm>

namespace {
const QString datePrefix = QStringLiteral("DATE : ");

QString dateOf(const JournalEntry& dateLine)
{
    return dateLine.text.startsWith(datePrefix) ? dateLine.text.mid(datePrefix.size()) : dateLine.text;
}
} // namespace

std::vector<JournalEntry> currentNet(const CheckInList& list)
{
    QString latestDate;
    for (int i = list.size() - 1; i >= 0; --i)
        if (list.at(i).dateLine) {
            latestDate = list.at(i).text;
            break;
        }
    std::vector<JournalEntry> out;
    bool inNet = latestDate.isEmpty();
    for (int i = 0; i < list.size(); ++i) {
        const JournalEntry& e = list.at(i);
        inNet = inNet || (e.dateLine && e.text == latestDate);
        if (inNet)
            out.push_back(e);
    }
    return out;
}

NetSummary summarizeNet(const std::vector<JournalEntry>& lines,
    const std::vector<std::int64_t>& identifications, const QString& netControl,
    std::optional<std::int64_t> endUtcMs)
{
    NetSummary s;
    s.netControl = netControl;
    for (const CheckInStatus& status : checkInStatuses())
        s.byStatus.push_back({ status.code, 0 });
    std::vector<StatusCount> others;
    int unmarked = 0;
    std::optional<std::int64_t> opened; // the first line of the net, date line or check-in
    std::int64_t latest = 0;
    for (const JournalEntry& e : lines) {
        if (!opened)
            opened = e.utcMs;
        if (e.dateLine) {
            s.date = dateOf(e);
            continue;
        }
        if (s.count++ == 0)
            s.startUtcMs = e.utcMs;
        latest = std::max(latest, e.utcMs);
        if (e.status.isEmpty()) {
            ++unmarked;
            continue;
        }
        auto known = std::find_if(
            s.byStatus.begin(), s.byStatus.end(), [&](const StatusCount& c) { return c.code == e.status; });
        if (known != s.byStatus.end()) {
            ++known->count;
            continue;
        }
        auto other = std::find_if(
            others.begin(), others.end(), [&](const StatusCount& c) { return c.code == e.status; });
        if (other != others.end())
            ++other->count;
        else
            others.push_back({ e.status, 1 });
    }
    s.byStatus.insert(s.byStatus.end(), others.begin(), others.end());
    if (unmarked > 0)
        s.byStatus.push_back({ QString(), unmarked });

    for (std::int64_t t : identifications)
        if (!opened || t >= *opened)
            s.identifications.push_back(t);
    std::sort(s.identifications.begin(), s.identifications.end());
    if (s.count > 0) {
        if (!s.identifications.empty())
            latest = std::max(latest, s.identifications.back());
        s.endUtcMs = endUtcMs ? *endUtcMs : latest;
    }
    return s;
}

NetSummary summarizeNet(
    const CheckInList& list, const QString& netControl, std::optional<std::int64_t> endUtcMs)
{
    return summarizeNet(currentNet(list), list.identifications(), netControl, endUtcMs);
}

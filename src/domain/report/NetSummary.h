#pragma once
// The header facts of one net, as the exports and the printed report show them: its date,
// the control station, when it ran, how many checked in, when the control station
// identified, and how many stations carry each status.
#include "checkin/CheckInStore.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class CheckInList;

struct StatusCount {
    QString code; // a status code; empty for check-ins that carry none
    int count = 0;
};

struct NetSummary {
    QString date; // the date of the net's date line as the operator saw it, e.g. "12/9/26"
    QString netControl; // the control station's call
    std::int64_t startUtcMs = 0; // the first check-in; 0 when the net has none
    std::int64_t endUtcMs = 0; // 0 when the net has no check-in
    int count = 0; // check-in lines; date lines never count
    std::vector<std::int64_t> identifications; // UTC milliseconds, in order
    // Every known status in menu order (zero counts too), then any other code found in the
    // journal, then the check-ins without a status when there are any. The counts add up
    // to count.
    std::vector<StatusCount> byStatus;

    std::int64_t durationMs() const { return endUtcMs > startUtcMs ? endUtcMs - startUtcMs : 0; }
};

// The lines of the net on the list now: from the first date line that carries the latest
// date (a trip to another page adds a date line of the same day, which does not start a new
// net) to the end. All lines when there is no date line.
std::vector<JournalEntry> currentNet(const CheckInList& list);

// Sums up a net from its lines (date lines give the date and are not counted) and the
// identifications of the control station; identifications before the net opened belong to an
// earlier net and are left out. The end is endUtcMs when given, otherwise the latest
// check-in or identification, so that an export made the next morning still tells how long
// the net ran.
NetSummary summarizeNet(const std::vector<JournalEntry>& lines,
    const std::vector<std::int64_t>& identifications, const QString& netControl,
    std::optional<std::int64_t> endUtcMs = std::nullopt);

// The same for the net on the list now (see currentNet).
NetSummary summarizeNet(
    const CheckInList& list, const QString& netControl, std::optional<std::int64_t> endUtcMs = std::nullopt);

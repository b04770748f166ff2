#pragma once
// The status of a check-in: the five call-ups of the preamble (relay, traffic, mobile or short
// time, early bird, general), and the two marks an operator needs besides (checked out, not
// heard). The code is what the journal keeps; the line's own text never carries it, so the
// saved check-in file keeps its exact format.
#include <QString>

#include <span>

struct CheckInStatus {
    QString code; // kept in the journal and written in exports: "R", "T", "M/S", ...
    QString label; // for menus: "Relay (R)"
    QChar key; // the letter that sets it with Alt: 'R', 'T', 'M', ...
    unsigned rgb; // the colour of the tag shown with the list line, 0xRRGGBB
};

// Every status, in the order of the preamble's call-ups, then checked out and not heard.
std::span<const CheckInStatus> checkInStatuses();

// The status with this code (compared exactly, as the journal stores it), or null.
const CheckInStatus* statusByCode(const QString& code);

// The status set by Alt and this letter (either case), or null.
const CheckInStatus* statusByKey(QChar key);

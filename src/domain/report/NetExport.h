#pragma once
// What a club secretary takes away from a net: the check-ins as CSV, attendance over a range
// of nets as CSV, and the short attendance note shown with a call.
//
// The CSV files are UTF-8 with a byte order mark, so a spreadsheet opened with a double
// click reads accented names right; fields are quoted as RFC 4180 says (a field holding a
// comma, a quote, CR or LF is put in quotes and its quotes doubled); every line ends with
// CR LF. The net's own facts stand above the column header as records whose first field
// starts with "#": a spreadsheet shows them as a label and its values in the first rows, and
// a CSV reader can skip every record whose first field starts with "#".
#include "checkin/CheckInStore.h"
#include "report/Attendance.h"
#include "report/NetSummary.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTimeZone>

#include <cstdint>
#include <utility>
#include <vector>

// The zone, or UTC when the zone cannot be read (a computer without time-zone data): times
// are then given in UTC rather than left blank, and the zone named with them says so.
QTimeZone readableZone(const QTimeZone& zone);

// One CSV field, quoted when it has to be. A field that begins with "=", "+", "-", "@", a tab
// or a carriage return gets a leading apostrophe, so a spreadsheet shows it as text and never
// runs it as a formula; every other field is written as it is.
QByteArray csvField(const QString& text);

// "2026-12-09 01:02:03" at the instant in the zone; what spreadsheets take for a date and time.
QString csvTime(std::int64_t utcMs, const QTimeZone& zone);
// "1:02:05"
QString durationText(std::int64_t ms);

// The check-ins of one net. Date lines among the entries are left out; times are given in
// UTC and in the zone.
QByteArray netCsv(const NetSummary& summary, const std::vector<JournalEntry>& entries,
    const QTimeZone& zone = QTimeZone::systemTimeZone());

// Every station of an attendance list: call, name, number of nets, first and last date (the
// dates in the zone).
QByteArray attendanceCsv(
    const std::vector<Attendance>& stations, const QTimeZone& zone = QTimeZone::systemTimeZone());

// The instants that bound whole days from `from` to `to` in the zone, both included, for
// NetJournal::attendance.
std::pair<std::int64_t, std::int64_t> attendanceRange(
    QDate from, QDate to, const QTimeZone& zone = QTimeZone::systemTimeZone());

// "8 of last 10 nets, last 2026-12-02" (the date in the zone); empty when the station never
// checked in.
QString attendanceNote(const RecentAttendance& recent, const QTimeZone& zone = QTimeZone::systemTimeZone());

#pragma once
// The printed net report: the net's facts (control station, start, end, duration, count,
// counts by status, identification times) over the list of check-ins with their times and
// statuses. Up to about a hundred check-ins fit one page: the list goes into two columns and
// smaller type as it grows. A longer list carries on over further pages rather than lose lines.
#include "report/NetSummary.h"

#include <QString>
#include <QTimeZone>

#include <vector>

class QPagedPaintDevice;

// Paints the report on a paged device (QPdfWriter, or a QPrinter set up by the print dialog)
// within its page size and margins, starting new pages as needed. Date lines among the
// entries are left out. Returns the pages painted; 0 when the device cannot be painted on or
// refuses a new page.
int paintNetReport(QPagedPaintDevice& device, const NetSummary& summary,
    const std::vector<JournalEntry>& entries, const QTimeZone& zone = QTimeZone::systemTimeZone());

// Writes the report as a PDF file of Letter pages with half-inch margins. False, with the
// reason in error, when the file cannot be written.
bool writeNetReportPdf(const QString& file, const NetSummary& summary,
    const std::vector<JournalEntry>& entries, QString* error,
    const QTimeZone& zone = QTimeZone::systemTimeZone());

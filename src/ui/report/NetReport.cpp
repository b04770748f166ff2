#include "report/NetReport.h"

#include "checkin/CheckInStatus.h"
#include "data/AtomicFile.h"
#include "report/NetExport.h"

#include <QBuffer>
#include <QDateTime>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <cmath>

namespace {
// Lengths below are in points (1/72 inch) and turned into device units when painted.
constexpr double minimumListSize = 6.0; // the smallest type the list is set in
constexpr double columnGap = 14.0;
constexpr double footerHeight = 12.0;
constexpr std::int64_t identifyEveryMs = 10 * 60 * 1000;

enum ColumnIndex {
    NumberColumn,
    CallColumn,
    NameColumn,
    PlaceColumn,
    StatusColumn,
    UtcColumn,
    LocalColumn,
    ColumnCount
};

struct Column {
    QString title;
    Qt::Alignment align;
    bool shares; // names and places share the room the other columns leave
    double most; // the widest a column sized to its text may be, as a share of the list column
};

const std::array<Column, ColumnCount>& columns()
{
    static const std::array<Column, ColumnCount> all { {
        { QStringLiteral("No."), Qt::AlignRight, false, 0.10 },
        { QStringLiteral("Call"), Qt::AlignLeft, false, 0.20 },
        { QStringLiteral("Name"), Qt::AlignLeft, true, 0 },
        { QStringLiteral("City, State"), Qt::AlignLeft, true, 0 },
        { QStringLiteral("Status"), Qt::AlignLeft, false, 0.14 },
        { QStringLiteral("UTC"), Qt::AlignLeft, false, 0.12 },
        { QStringLiteral("Local"), Qt::AlignLeft, false, 0.12 },
    } };
    return all;
}

// "Yuma, AZ"; either part alone when the other is blank.
QString place(const QString& city, const QString& state)
{
    const QString c = city.trimmed(), s = state.trimmed();
    return c.isEmpty() || s.isEmpty() ? c + s : c + QStringLiteral(", ") + s;
}

QString clock(std::int64_t utcMs, const QTimeZone& zone)
{
    return QDateTime::fromMSecsSinceEpoch(utcMs, zone).toString(QStringLiteral("HH:mm"));
}

// How the list is set: its type size, the columns side by side and the rows in each.
struct ListSetting {
    double size = 10;
    int sideBySide = 1;
    double rowHeight() const { return size * 1.35; }
    int rowsIn(double height) const { return std::max(1, int(std::floor(height / rowHeight())) - 1); }
    int linesIn(double height) const { return sideBySide * rowsIn(height); }
};

class ReportPainter {
public:
    ReportPainter(QPagedPaintDevice& device, QPainter& painter, const NetSummary& summary,
        const std::vector<JournalEntry>& entries, const QTimeZone& zone)
        : device(device), painter(painter), summary(summary), zone(readableZone(zone)),
          oneClock(keepsUtc(this->zone, summary)), unit(device.logicalDpiY() / 72.0),
          width(device.width() / unit), height(device.height() / unit)
    {
        const QTimeZone utc = QTimeZone::utc();
        for (const JournalEntry& e : entries)
            if (!e.dateLine)
                lines.push_back({ QString::number(e.number), e.call, e.name, place(e.city, e.state), e.status,
                    clock(e.utcMs, utc), clock(e.utcMs, this->zone) });
    }

    // On a computer kept on UTC the local time is UTC: one time column, and no time told twice.
    static bool keepsUtc(const QTimeZone& zone, const NetSummary& summary)
    {
        const std::int64_t at = summary.count > 0 ? summary.startUtcMs : QDateTime::currentMSecsSinceEpoch();
        return !zone.hasDaylightTime()
            && zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(at, QTimeZone::utc())) == 0;
    }
    bool shown(int c) const { return c != LocalColumn || !oneClock; }

    int paint()
    {
        const double firstTop = header(false);
        const double nextTop = title(false, true);
        setting = chooseSetting(height - footerHeight - firstTop);
        const int firstPage = setting.linesIn(height - footerHeight - firstTop);
        const int nextPages = setting.linesIn(height - footerHeight - nextTop);
        const int rest = std::max(0, int(lines.size()) - firstPage);
        const int pages = 1 + (rest + nextPages - 1) / nextPages;

        std::size_t next = 0;
        for (int page = 1; page <= pages; ++page) {
            if (page > 1 && !device.newPage())
                return 0; // a report short of lines is no report
            const double top = page == 1 ? header(true) : title(true, true);
            next = list(next, top, height - footerHeight - top);
            if (pages > 1)
                footer(page, pages);
        }
        return pages;
    }

private:
    QFont font(double points, bool bold = false) const
    {
        QFont f;
        f.setFamilies(
            { QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial") });
        f.setStyleHint(QFont::SansSerif);
        f.setPointSizeF(points); // the device's own resolution turns points into its units
        f.setBold(bold);
        return f;
    }
    QRectF rect(double x, double y, double w, double h) const
    {
        return QRectF(x * unit, y * unit, w * unit, h * unit);
    }

    // Draws (when draw is set) a line of text at y, wrapped to the width; returns its height.
    double text(double y, const QString& s, const QFont& f, bool draw, int flags = Qt::AlignLeft)
    {
        const QRectF box = rect(0, y, width, height - y);
        const QRectF used = QFontMetricsF(f, &device).boundingRect(box, flags | Qt::TextWordWrap, s);
        if (draw) {
            painter.setPen(Qt::black);
            painter.setFont(f);
            painter.drawText(box, flags | Qt::TextWordWrap, s);
        }
        return used.height() / unit;
    }

    // The title line; returns where the next thing goes.
    double title(bool draw, bool continued = false)
    {
        QString t = QStringLiteral("Net report");
        if (!summary.date.isEmpty())
            t += QStringLiteral("  ") + summary.date;
        if (continued)
            t += QStringLiteral(" (continued)");
        return text(0, t, font(15, true), draw) + 4;
    }

    // The title and the net's facts; returns where the list begins.
    double header(bool draw)
    {
        double y = title(draw);
        const QFont body = font(9.5);
        const QTimeZone utc = QTimeZone::utc();
        QString line = QStringLiteral("Net control: %1     Check-ins: %2     Duration: %3")
                           .arg(summary.netControl.isEmpty() ? QStringLiteral("-") : summary.netControl)
                           .arg(summary.count)
                           .arg(durationText(summary.durationMs()));
        y += text(y, line, body, draw);
        if (summary.count > 0) {
            const auto when = [&](std::int64_t t) {
                const QDateTime local = QDateTime::fromMSecsSinceEpoch(t, zone);
                if (oneClock)
                    return QStringLiteral("%1 UTC").arg(csvTime(t, utc).left(16));
                return QStringLiteral("%1 UTC (%2 %3)")
                    .arg(csvTime(t, utc).left(16), clock(t, zone), local.timeZoneAbbreviation());
            };
            y += text(y,
                QStringLiteral("Start: %1     End: %2").arg(when(summary.startUtcMs), when(summary.endUtcMs)),
                body, draw);
        }
        QStringList counts;
        for (const StatusCount& c : summary.byStatus)
            counts << QStringLiteral("%1 %2")
                          .arg(c.code.isEmpty() ? QStringLiteral("none") : c.code)
                          .arg(c.count);
        y += text(y, QStringLiteral("By status: ") + counts.join(QStringLiteral("   ")), body, draw);

        QStringList times;
        bool late = false;
        for (std::size_t i = 0; i < summary.identifications.size(); ++i) {
            const std::int64_t t = summary.identifications[i];
            const bool gap = i > 0 && t - summary.identifications[i - 1] > identifyEveryMs;
            late = late || gap;
            times << clock(t, utc) + (gap ? QStringLiteral("*") : QString());
        }
        QString idents = QStringLiteral("Identifications (UTC): ")
            + (times.isEmpty() ? QStringLiteral("none") : times.join(QStringLiteral("  ")));
        if (late)
            idents += QStringLiteral("   (* more than 10 minutes after the one before)");
        y += text(y, idents, body, draw);
        y += 4;
        if (draw) {
            painter.setPen(QPen(Qt::black, 0.8 * unit));
            painter.drawLine(QPointF(0, y * unit), QPointF(width * unit, y * unit));
        }
        return y + 6;
    }

    ListSetting chooseSetting(double firstPageHeight) const
    {
        const int n = int(lines.size());
        for (double size = 10; size >= 8; size -= 0.5)
            if (ListSetting { size, 1 }.linesIn(firstPageHeight) >= n)
                return { size, 1 };
        // Side by side the columns are narrow: names and places keep more of their text in
        // smaller type.
        for (double size = 8; size >= minimumListSize; size -= 0.5)
            if (ListSetting { size, 2 }.linesIn(firstPageHeight) >= n)
                return { size, 2 };
        return { minimumListSize, 2 };
    }

    // The local times are headed by the zone's abbreviation ("CST") where it has one.
    QString columnTitle(int c) const
    {
        if (c != LocalColumn || summary.count == 0)
            return columns()[c].title;
        const QString zoneName
            = QDateTime::fromMSecsSinceEpoch(summary.startUtcMs, zone).timeZoneAbbreviation();
        return zoneName.isEmpty() ? columns()[c].title : zoneName;
    }

    // The width of each column of one list column: numbers, calls, statuses and times
    // as wide as their widest text (within a limit), and the room left to names and places.
    std::array<double, ColumnCount> columnWidths(
        double columnWidth, const QFont& plain, const QFont& bold) const
    {
        const QFontMetricsF plainMetrics(plain, &device);
        const QFontMetricsF boldMetrics(bold, &device);
        const double padding = 4;
        std::array<double, ColumnCount> widths {};
        std::array<double, ColumnCount> natural {};
        double left = columnWidth;
        for (int c = 0; c < ColumnCount; ++c) {
            if (!shown(c))
                continue; // no width
            double w = boldMetrics.horizontalAdvance(columnTitle(c));
            for (const Cells& cells : lines)
                w = std::max(w, (c == StatusColumn ? boldMetrics : plainMetrics).horizontalAdvance(cells[c]));
            natural[c] = w / unit + padding;
            if (!columns()[c].shares) {
                widths[c] = std::min(natural[c], columns()[c].most * columnWidth);
                left -= widths[c];
            }
        }
        // Names and places: each as wide as its widest text when both fit; otherwise the
        // narrower keeps its width up to half the room, and the other has the rest.
        left = std::max(0.0, left);
        const double name = natural[NameColumn], place = natural[PlaceColumn];
        if (name + place <= left) {
            widths[NameColumn] = name + (left - name - place) / 2;
            widths[PlaceColumn] = left - widths[NameColumn];
        } else if (name <= place) {
            widths[NameColumn] = std::min(name, left / 2);
            widths[PlaceColumn] = left - widths[NameColumn];
        } else {
            widths[PlaceColumn] = std::min(place, left / 2);
            widths[NameColumn] = left - widths[PlaceColumn];
        }
        return widths;
    }

    // Paints list lines from `first` into the band below top; returns the next line to paint.
    std::size_t list(std::size_t first, double top, double bandHeight)
    {
        const double columnWidth = (width - columnGap * (setting.sideBySide - 1)) / setting.sideBySide;
        // The lines of this page are shared evenly between the columns side by side.
        const int onPage = int(std::min<std::size_t>(
            lines.size() - first, std::size_t(setting.rowsIn(bandHeight)) * std::size_t(setting.sideBySide)));
        const int rows = (onPage + setting.sideBySide - 1) / setting.sideBySide;
        const double rowHeight = setting.rowHeight();
        const QFont plain = font(setting.size);
        const QFont bold = font(setting.size, true);
        const QFontMetricsF plainMetrics(plain, &device);
        const QFontMetricsF boldMetrics(bold, &device);
        const std::array<double, ColumnCount> widths = columnWidths(columnWidth, plain, bold);
        // Draws one cell, shortened with an ellipsis when it is wider than its column.
        const auto cell = [&](double x, double y, int c, const QString& s, bool isBold) {
            const double w = widths[c] - 3;
            const QString shown
                = (isBold ? boldMetrics : plainMetrics).elidedText(s, Qt::ElideRight, w * unit);
            painter.setFont(isBold ? bold : plain);
            painter.drawText(rect(x + 1, y, w, rowHeight), columns()[c].align | Qt::AlignVCenter, shown);
        };
        std::size_t next = first;
        for (int side = 0; side < setting.sideBySide && next < lines.size(); ++side) {
            const double left = side * (columnWidth + columnGap);
            double x = left;
            painter.setPen(Qt::black);
            for (int c = 0; c < ColumnCount; ++c) {
                if (shown(c))
                    cell(x, top, c, columnTitle(c), true);
                x += widths[c];
            }
            painter.setPen(QPen(Qt::black, 0.5 * unit));
            painter.drawLine(QPointF(left * unit, (top + rowHeight) * unit),
                QPointF((left + columnWidth) * unit, (top + rowHeight) * unit));
            for (int row = 0; row < rows && next < lines.size(); ++row, ++next) {
                const Cells& cells = lines[next];
                const double y = top + (row + 1) * rowHeight + 1;
                if (row % 2 == 1)
                    painter.fillRect(rect(left, y, columnWidth, rowHeight), QColor(0xee, 0xee, 0xee));
                const CheckInStatus* status = statusByCode(cells[StatusColumn]);
                x = left;
                for (int c = 0; c < ColumnCount; ++c) {
                    if (!shown(c))
                        continue;
                    const bool isStatus = c == StatusColumn;
                    painter.setPen(isStatus && status ? QColor(QRgb(status->rgb)) : QColor(Qt::black));
                    cell(x, y, c, cells[c], isStatus);
                    x += widths[c];
                }
            }
        }
        return next;
    }

    void footer(int page, int pages)
    {
        painter.setPen(Qt::black);
        painter.setFont(font(7));
        painter.drawText(rect(0, height - footerHeight + 2, width, footerHeight - 2),
            Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Page %1 of %2").arg(page).arg(pages));
    }

    QPagedPaintDevice& device;
    QPainter& painter;
    const NetSummary& summary;
    const QTimeZone zone;
    const bool oneClock; // no local time column beside the UTC one
    const double unit; // device units per point
    const double width; // of the page's printable area, in points
    const double height;
    using Cells = std::array<QString, ColumnCount>;
    std::vector<Cells> lines; // the check-ins as the list shows them
    ListSetting setting;
};
} // namespace

int paintNetReport(QPagedPaintDevice& device, const NetSummary& summary,
    const std::vector<JournalEntry>& entries, const QTimeZone& zone)
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const int pages = ReportPainter(device, painter, summary, entries, zone).paint();
    return painter.end() ? pages : 0;
}

bool writeNetReportPdf(const QString& file, const NetSummary& summary,
    const std::vector<JournalEntry>& entries, QString* error, const QTimeZone& zone)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(300);
        writer.setTitle(summary.date.isEmpty() ? QStringLiteral("Net report")
                                               : QStringLiteral("Net report %1").arg(summary.date));
        writer.setCreator(QStringLiteral("Velmora"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
            QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch));
        if (paintNetReport(writer, summary, entries, zone) == 0) {
            if (error)
                *error = QStringLiteral("The net report could not be drawn.");
            return false;
        }
    }
    QString why;
    const bool written = writeFileAtomically(file, pdf.data(), &why);
    if (!written && error)
        *error = why;
    return written;
}

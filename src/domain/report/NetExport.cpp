#include "report/NetExport.h"

#include <QDateTime>

namespace {
const QByteArray crlf = "\r\n";
const QByteArray byteOrderMark = "\xEF\xBB\xBF";

QByteArray record(const QStringList& fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += csvField(fields[i]);
    }
    return line + crlf;
}

QString timeOrEmpty(std::int64_t utcMs, const QTimeZone& zone)
{
    return utcMs ? csvTime(utcMs, zone) : QString();
}

QString localDate(std::int64_t utcMs, const QTimeZone& zone)
{
    return QDateTime::fromMSecsSinceEpoch(utcMs, readableZone(zone)).date().toString(Qt::ISODate);
}
} // namespace

QTimeZone readableZone(const QTimeZone& zone)
{
    return zone.isValid() ? zone : QTimeZone::utc();
}

QByteArray csvField(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    // A spreadsheet takes a field that begins like this for a formula (or, after a tab or a
    // line end, strips what hides one): the apostrophe makes it plain text there.
    static const QByteArray formulaStarts = QByteArrayLiteral("=+-@\t\r");
    if (!utf8.isEmpty() && formulaStarts.contains(utf8.front()))
        utf8.prepend('\'');
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\r') && !utf8.contains('\n'))
        return utf8;
    utf8.replace("\"", "\"\"");
    return '"' + utf8 + '"';
}

QString csvTime(std::int64_t utcMs, const QTimeZone& zone)
{
    return QDateTime::fromMSecsSinceEpoch(utcMs, readableZone(zone))
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString durationText(std::int64_t ms)
{
    const std::int64_t seconds = ms > 0 ? ms / 1000 : 0;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QByteArray netCsv(const NetSummary& s, const std::vector<JournalEntry>& entries, const QTimeZone& zone)
{
    const QTimeZone utc = QTimeZone::utc();
    QByteArray out = byteOrderMark;
    out += record({ QStringLiteral("# date"), s.date });
    out += record({ QStringLiteral("# net control"), s.netControl });
    out += record({ QStringLiteral("# start utc"), timeOrEmpty(s.startUtcMs, utc) });
    out += record({ QStringLiteral("# start local"), timeOrEmpty(s.startUtcMs, zone) });
    out += record({ QStringLiteral("# end utc"), timeOrEmpty(s.endUtcMs, utc) });
    out += record({ QStringLiteral("# end local"), timeOrEmpty(s.endUtcMs, zone) });
    out += record({ QStringLiteral("# duration"), durationText(s.durationMs()) });
    out += record({ QStringLiteral("# count"), QString::number(s.count) });
    QStringList idents { QStringLiteral("# identifications utc") };
    for (std::int64_t t : s.identifications)
        idents << csvTime(t, utc);
    out += record(idents);
    out += record({ QStringLiteral("# local time zone"), QString::fromUtf8(readableZone(zone).id()) });
    out += "number,call,name,city,state,status,source,utc_time,local_time,logged by" + crlf;
    for (const JournalEntry& e : entries) {
        if (e.dateLine)
            continue;
        out += record({ QString::number(e.number), e.call, e.name, e.city, e.state, e.status,
            sourceName(e.source), csvTime(e.utcMs, utc), csvTime(e.utcMs, zone), e.loggedBy });
    }
    return out;
}

QByteArray attendanceCsv(const std::vector<Attendance>& stations, const QTimeZone& zone)
{
    QByteArray out = byteOrderMark;
    out += "call,name,nets,first_date,last_date" + crlf;
    for (const Attendance& a : stations)
        out += record({ a.call, a.name, QString::number(a.nets), localDate(a.firstUtcMs, zone),
            localDate(a.lastUtcMs, zone) });
    return out;
}

std::pair<std::int64_t, std::int64_t> attendanceRange(QDate from, QDate to, const QTimeZone& zone)
{
    const QTimeZone z = readableZone(zone);
    const std::int64_t first = QDateTime(from, QTime(0, 0), z).toMSecsSinceEpoch();
    const std::int64_t afterLast = QDateTime(to.addDays(1), QTime(0, 0), z).toMSecsSinceEpoch();
    return { first, afterLast - 1 };
}

QString attendanceNote(const RecentAttendance& recent, const QTimeZone& zone)
{
    if (recent.nets == 0 && recent.lastUtcMs == 0)
        return QString();
    return QStringLiteral("%1 of last %2 %3, last %4")
        .arg(recent.nets)
        .arg(recent.outOf)
        .arg(recent.outOf == 1 ? QStringLiteral("net") : QStringLiteral("nets"))
        .arg(localDate(recent.lastUtcMs, zone));
}

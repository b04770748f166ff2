#include "licence/FccDataDate.h"

#include "licence/FccLicenceSet.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QList>

#include <cctype>
#include <cstring>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digitsAt(std::string_view s, std::size_t at, std::size_t count)
{
    if (at + count > s.size())
        return -1;
    int n = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!isDigit(s[at + i]))
            return -1;
        n = n * 10 + (s[at + i] - '0');
    }
    return n;
}

// "Sep 28 07:05:12 EDT 2025": a month name, then the day, then a year of four digits
// later on the same line.
LicenceDay monthNameDate(std::string_view s, std::size_t at)
{
    static const char* const kMonths[]
        = { "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec" };
    if (at + 3 > s.size() || (at > 0 && std::isalpha(static_cast<unsigned char>(s[at - 1]))))
        return 0;
    int month = 0;
    for (int m = 0; m < 12 && month == 0; ++m) {
        bool same = true;
        for (int i = 0; i < 3; ++i)
            same = same && std::tolower(static_cast<unsigned char>(s[at + std::size_t(i)])) == kMonths[m][i];
        if (same)
            month = m + 1;
    }
    if (month == 0)
        return 0;
    std::size_t p = at + 3;
    while (p < s.size() && std::isalpha(static_cast<unsigned char>(s[p])))
        ++p; // "September"
    while (p < s.size() && s[p] == ' ')
        ++p;
    int day = 0;
    std::size_t d = 0;
    while (p + d < s.size() && isDigit(s[p + d]) && d < 3)
        day = day * 10 + (s[p + d++] - '0');
    if (d == 0 || d > 2)
        return 0;
    const std::size_t lineEnd = std::min(s.find('\n', p), s.size());
    for (std::size_t q = p + d; q + 4 <= lineEnd; ++q) {
        if ((q == 0 || !isDigit(s[q - 1])) && (q + 4 == lineEnd || !isDigit(s[q + 4]))) {
            const int year = digitsAt(s, q, 4);
            if (year > 0)
                return LicenceDayOf(year, month, day);
        }
    }
    return 0;
}

// The time after the day of "Sep 28 07:05:12 EDT 2025", in seconds since 1970 UTC; -1
// when there is none.
std::int64_t monthNameTime(std::string_view s, std::size_t at, LicenceDay day)
{
    const std::size_t lineEnd = std::min(s.find('\n', at), s.size());
    const std::string_view line = s.substr(at, lineEnd - at);
    for (std::size_t i = 0; i + 8 <= line.size(); ++i) {
        if (line[i + 2] != ':' || line[i + 5] != ':' || (i > 0 && isDigit(line[i - 1])))
            continue;
        const int h = digitsAt(line, i, 2), m = digitsAt(line, i + 3, 2), sec = digitsAt(line, i + 6, 2);
        if (h < 0 || h > 23 || m < 0 || m > 59 || sec < 0 || sec > 60)
            continue;
        static const struct {
            const char* name;
            int hours; // behind UTC
        } kZones[] = { { "EDT", 4 }, { "EST", 5 }, { "CDT", 5 }, { "CST", 6 }, { "MDT", 6 }, { "MST", 7 },
            { "PDT", 7 }, { "PST", 8 } };
        int behind = 0;
        const std::string_view after = line.substr(i + 8);
        for (const auto& zone : kZones)
            if (after.find(zone.name) != std::string_view::npos && after.find(zone.name) < 3)
                behind = zone.hours;
        return std::int64_t(day) * 86400 + h * 3600 + m * 60 + sec + behind * 3600;
    }
    return -1;
}

} // namespace

std::int64_t ParseCountsTime(std::string_view s)
{
    // The same walk as ParseCountsDate: the first date found is the set's.
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (std::isalpha(static_cast<unsigned char>(s[i]))) {
            if (const LicenceDay d = monthNameDate(s, i))
                return monthNameTime(s, i, d);
            continue;
        }
        if (!isDigit(s[i]) || (i > 0 && isDigit(s[i - 1])))
            continue;
        if (ParseCountsDate(s.substr(i, 10)) != 0)
            return -1; // a date of digits only: no time
    }
    return -1;
}

LicenceDay ParseCountsDate(std::string_view s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (std::isalpha(static_cast<unsigned char>(s[i]))) {
            if (const LicenceDay d = monthNameDate(s, i))
                return d;
            continue;
        }
        if (!isDigit(s[i]) || (i > 0 && isDigit(s[i - 1])))
            continue;
        // MM/DD/YYYY
        if (i + 10 <= s.size() && s[i + 2] == '/' && s[i + 5] == '/')
            if (const LicenceDay d = ParseLicenceDay(s.substr(i, 10)))
                return d;
        // YYYY-MM-DD
        if (i + 10 <= s.size() && s[i + 4] == '-' && s[i + 7] == '-')
            if (const LicenceDay d
                = LicenceDayOf(digitsAt(s, i, 4), digitsAt(s, i + 5, 2), digitsAt(s, i + 8, 2)))
                return d;
    }
    return 0;
}

QByteArray FccDataDates::toText() const
{
    auto line = [](const char* kind, LicenceDay day, std::int64_t time) {
        QByteArray text = QByteArray(kind) + " " + QByteArray::fromStdString(LicenceDayText(day));
        if (time >= 0)
            text += " " + QByteArray::number(qlonglong(time));
        return text + "\n";
    };
    QByteArray text = line("weekly", weekly, weeklyTime);
    for (std::size_t i = 0; i < dailies.size(); ++i)
        text += line("daily", dailies[i], i < dailyTimes.size() ? dailyTimes[i] : -1);
    return text;
}

std::optional<FccDataDates> FccDataDates::fromText(const QByteArray& text)
{
    FccDataDates dates;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 2 && parts.size() != 3)
            return std::nullopt;
        std::int64_t time = -1;
        if (parts.size() == 3) {
            bool number = false;
            time = parts[2].toLongLong(&number);
            if (!number || time < 0)
                return std::nullopt;
        }
        const std::string_view day(parts[1].constData(), std::size_t(parts[1].size()));
        const LicenceDay d = day.size() == 10 && day[4] == '-' && day[7] == '-'
            ? LicenceDayOf(digitsAt(day, 0, 4), digitsAt(day, 5, 2), digitsAt(day, 8, 2))
            : 0;
        if (d == 0)
            return std::nullopt;
        if (parts[0] == "weekly" && dates.weekly == 0) {
            dates.weekly = d;
            dates.weeklyTime = time;
        } else if (parts[0] == "daily" && dates.weekly != 0) {
            dates.addDaily({ d, time });
        } else
            return std::nullopt;
    }
    if (!dates.known())
        return std::nullopt;
    return dates;
}

QString FccDatesFile(const QString& fccFolder)
{
    return QDir(FccCurrentSetFolder(fccFolder)).filePath(QStringLiteral("dates.txt"));
}

std::optional<FccDataDates> ReadFccDates(const QString& fccFolder)
{
    QFile file(FccDatesFile(fccFolder));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return FccDataDates::fromText(file.read(4096));
}

FccDataLine FccDataDateLine(const std::optional<FccDataDates>& dates, bool haveLicenceFile, LicenceDay today)
{
    if (!dates || !dates->known())
        return { haveLicenceFile ? QStringLiteral("FCC data of unknown date") : QString(), false };
    QString text
        = QStringLiteral("FCC data of %1").arg(QString::fromStdString(LicenceDayText(dates->weekly)));
    const auto n = dates->dailies.size();
    if (n == 1)
        text += QStringLiteral(" with 1 daily update");
    else if (n > 1)
        text += QStringLiteral(" with %1 daily updates").arg(n);
    return { text, today > dates->newest() + 14 };
}

LicenceDay LicenceToday()
{
    const QDate d = QDate::currentDate();
    return LicenceDayOf(d.year(), d.month(), d.day());
}

#include "checkin/CheckInLine.h"

#include <QDate>
#include <QLocale>

static const QString separator = QStringLiteral("  ");

QString checkInLine(
    int number, const QString& call, const QString& name, const QString& city, const QString& state)
{
    return QString::number(number) + separator + call + separator + name + separator + city + separator
        + state;
}

QString dateLine(const QString& date)
{
    return QStringLiteral("DATE : ") + date;
}

QString todayDateText()
{
    return dateText(QDate::currentDate());
}

QString dateText(const QDate& date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

static int leadingDigits(const QString& line)
{
    int n = 0;
    while (n < line.size() && line.at(n).isDigit() && line.at(n).unicode() < 128)
        ++n;
    return n;
}

bool isCheckInLine(const QString& line)
{
    const int digits = leadingDigits(line);
    return digits > 0 && line.mid(digits, 2) == separator;
}

int checkInNumber(const QString& line)
{
    if (!isCheckInLine(line))
        return 0;
    return line.left(leadingDigits(line)).toInt();
}

QString callOfCheckInLine(const QString& line)
{
    if (!isCheckInLine(line))
        return QString();
    const int start = leadingDigits(line) + 2;
    const int end = line.indexOf(separator, start);
    return end < 0 ? line.mid(start) : line.mid(start, end - start);
}

int countCheckIns(const QStringList& lines)
{
    int n = 0;
    for (const QString& line : lines)
        n += isCheckInLine(line) ? 1 : 0;
    return n;
}

QByteArray checkInFileContents(const QStringList& lines, HostSystem system)
{
    QByteArray out;
    for (const QString& line : lines) {
        // Windows: the system's 8-bit code page, what its text tools read the file in.
        out += system == HostSystem::Windows ? line.toLocal8Bit() : line.toUtf8();
        out += "\r\n";
    }
    return out;
}

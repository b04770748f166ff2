#pragma once
// The lines of the check-in list and the rule that numbers them.
#include "data/HostSystem.h"

#include <QDate>
#include <QString>
#include <QStringList>

// One line of the check-in list: the number, then call, name, city and state,
// each after two blanks. Nothing is trimmed or padded.
QString checkInLine(
    int number, const QString& call, const QString& name, const QString& city, const QString& state);

// The line appended each time the net page is brought up.
QString dateLine(const QString& date);
// Today's date as a date line shows it: the short date of the computer's settings.
QString todayDateText();
// The date line's text of a day, as todayDateText gives today's.
QString dateText(const QDate& date);

// True for a check-in line (it starts with its number and two blanks); date lines are not.
bool isCheckInLine(const QString& line);

// The number a check-in line starts with, or 0 for any other line.
int checkInNumber(const QString& line);

// The call a check-in line holds: the text after the number and its two blanks, up to
// the next two blanks. Empty for any other line.
QString callOfCheckInLine(const QString& line);

// How many of the lines are check-in lines.
int countCheckIns(const QStringList& lines);

// Numbering of check-ins for one run: every new check-in gets one more than the highest
// number given so far, so a number is never given twice even after deletes.
class CheckInNumbering {
public:
    int next() { return ++highest; }
    int highestGiven() const { return highest; }

private:
    int highest = 0;
};

// The saved check-in file: every line followed by CR LF, nothing else; in UTF-8, or on
// Windows in the system's 8-bit code page.
QByteArray checkInFileContents(const QStringList& lines, HostSystem system = thisSystem());

#pragma once
#include <QList>
#include <QStringList>

// The first worksheet of an .xls workbook as rows of text cells, every row as long as the
// widest; row 0 is the sheet's first line. Throws DataError naming the file and the reason.
// Cells read as a user sees them: text as it stands, whole numbers without a decimal part,
// other numbers with up to 15 significant digits, dates as YYYY-MM-DD (with HH:MM:SS when
// they carry a time), formulas as their saved result, empty cells empty. Trailing rows and
// columns that hold nothing (formatted blank cells) are left out, so a sheet of a header and
// 250 members gives 251 rows.
QList<QStringList> ReadFirstWorksheet(const QString& xlsPath);

#pragma once
// The first worksheet of an .xls workbook as rows of text cells, every row as long as the
// widest; row 0 is the sheet's first line. Throws DataError naming the file and the reason.
#include "data/DataError.h"

#include <QList>
#include <QStringList>

QList<QStringList> ReadFirstWorksheet(const QString& xlsPath);

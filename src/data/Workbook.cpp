#include "data/Workbook.h"

QList<QStringList> ReadFirstWorksheet(const QString& xlsPath)
{
    throw DataError(("Cannot read " + xlsPath).toStdString());
}

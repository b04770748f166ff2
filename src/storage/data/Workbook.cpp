#include "data/Workbook.h"

#include "data/IsolatedReader.h"

QList<QStringList> ReadFirstWorksheet(const QString& xlsPath)
{
    TextTable sheet = IsolatedReader::readFirstWorksheet(xlsPath);
    QList<QStringList> rows;
    rows.reserve(static_cast<qsizetype>(sheet.rows.size()));
    for (QStringList& row : sheet.rows)
        rows.append(std::move(row));
    return rows;
}

#pragma once
// Fixture files for the data-layer tests: Access databases made on the spot with the Jet 4
// writer, Excel workbooks made when the tests are built.
#include "Jet4Writer.h"
#include "TestSupport.h"

#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <optional>

// A table given as Qt text: the first row names the columns; "\x01null" marks a null.
inline jet4::Table fixtureTable(
    const QString& name, const QList<QStringList>& rows, const QStringList& longColumns = {})
{
    jet4::Table t;
    t.name = name.toStdString();
    for (const QString& c : rows.value(0))
        t.columns.push_back({ c.toStdString(),
            longColumns.contains(c) ? jet4::ColumnType::LongInteger : jet4::ColumnType::Text });
    for (qsizetype r = 1; r < rows.size(); ++r) {
        jet4::Row row;
        for (const QString& v : rows[r])
            row.push_back(v == QStringLiteral("\x01null") ? jet4::Value() : jet4::Value(v.toStdString()));
        t.rows.push_back(std::move(row));
    }
    return t;
}

inline const QString null = QStringLiteral("\x01null");

inline void writeFixtureDatabase(const QString& path, const std::vector<jet4::Table>& tables)
{
    jet4::writeDatabase(path.toStdString(), tables);
}

// Puts at path the workbook made at build time from tests/fixtures/xls/NAME.json (by
// tools/xls/xlswrite.py on the build machine, so the tests need no Python where they run).
inline bool writeFixtureWorkbook(const QString& path, const QString& name)
{
    const QString made = binaryDir() + QStringLiteral("/test-workbooks/") + name + QStringLiteral(".xls");
    QFile::remove(path);
    if (!QFile::copy(made, path)) {
        ADD_FAILURE() << "no workbook " << made.toStdString() << " to copy to " << path.toStdString();
        return false;
    }
    return true;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

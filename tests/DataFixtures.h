#pragma once
// Fixture files for the data-layer tests, made on the spot: Access databases with the Jet 4
// writer, Excel workbooks with the workbook writer script (python3-xlwt).
#include "Jet4Writer.h"
#include "TestSupport.h"

#include <QFile>
#include <QProcess>
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

// Writes a workbook from a JSON description (see tools/xls/xlswrite.py); false on failure.
inline bool writeFixtureWorkbook(const QString& path, const QByteArray& json)
{
    const QString script = sourceDir() + QStringLiteral("/tools/xls/xlswrite.py");
    QProcess p;
    p.start(
        QStringLiteral("/usr/bin/python3"), { script, QStringLiteral("--json"), path, QStringLiteral("-") });
    p.write(json);
    p.closeWriteChannel();
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << "workbook writer failed: " << p.readAllStandardError().toStdString();
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

#pragma once
// Interim in-memory roster table; replaced by the reader-backed table.
#include "data/DataError.h"

#include <QStringList>
#include <vector>

struct LocateOptions {
    bool partialKey = false;
    bool caseInsensitive = false;
};

class RosterTable {
public:
    RosterTable() = default;
    RosterTable(QStringList columns, std::vector<QStringList> rows);
    static RosterTable open(const QString& mdbPath, const QString& tableName);
    void First();
    void Next();
    bool Eof() const;
    QString FieldText(const QString& column) const;
    bool Locate(const QString& column, const QString& text, LocateOptions options);
    int recordCount() const { return int(m_rows.size()); }
    const QStringList& columns() const { return m_columns; }
    int position() const { return m_pos; }

private:
    int columnIndex(const QString& column) const;
    QStringList m_columns;
    std::vector<QStringList> m_rows;
    int m_pos = 0;
};

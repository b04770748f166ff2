#pragma once
// One club roster table, read whole when it is opened. Records are read by index, so any
// number of readers walk it at once without moving anything shared: the roster lists, the
// look-ups, the club search and the station directory.
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct LocateOptions {
    bool partialKey = false; // the value begins with the text
    bool caseInsensitive = false; // letters compared by Unicode case folding
};

class RosterTable {
public:
    RosterTable() = default; // empty table
    RosterTable(QStringList columns, std::vector<QStringList> rows);

    int recordCount() const { return int(rows.size()); }
    const QStringList& columns() const { return columnNames; }
    // The index of the column, matched without regard to case. Throws DataError
    // "Field 'NAME' not found" for a missing column.
    int column(const QString& name) const;
    // Whether the table has the column, matched without regard to case.
    bool hasColumn(const QString& name) const;
    // Record index (0 <= index < recordCount()), its values in the order of columns().
    const QStringList& record(int index) const { return rows[std::size_t(index)]; }
    // One value: the record's text in the column of that index.
    const QString& text(int record, int column) const { return rows[std::size_t(record)][column]; }

    // The first record, in table order, whose column equals (or, with partialKey, begins
    // with) the text. A missing column throws DataError.
    std::optional<int> find(const QString& column, const QString& text, LocateOptions options) const;
    // The record whose column equals the text; only when none does, the first record whose
    // column begins with it. Letter case counts.
    std::optional<int> findCall(const QString& column, const QString& text) const;

private:
    QStringList columnNames;
    std::vector<QStringList> rows;
};

#pragma once
// One club roster table, read whole when it is opened. The in-memory snapshot is the static
// cursor the net page walks: First, Next, Eof, a column's text by name, and a keyed search.
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

struct LocateOptions {
    bool partialKey = false; // the value begins with the text
    bool caseInsensitive = false; // letters compared by Unicode case folding
};

class RosterTable {
public:
    RosterTable() = default; // empty table
    RosterTable(QStringList columns, std::vector<QStringList> rows);

    // Reads the table through the isolated reader; throws DataError naming the file's full path.
    static RosterTable open(const QString& mdbPath, const QString& tableName);

    void First();
    void Next();
    bool Eof() const; // past the last record (also true for an empty table)

    // The current record's value of the column, matched without regard to case. Throws
    // DataError "Field 'NAME' not found" for a missing column, and a DataError at Eof.
    QString FieldText(const QString& column) const;

    // Searches from the first record, in table order, for the first record whose column equals
    // (or, with partialKey, begins with) the text. On a hit the cursor moves there and the
    // result is true; on a miss the cursor stays. A missing column throws DataError.
    bool Locate(const QString& column, const QString& text, LocateOptions options);

    // The record whose column equals the text; only when none does, the first record whose
    // column begins with it. Letter case counts.
    bool LocateCall(const QString& column, const QString& text);

    int recordCount() const;
    const QStringList& columns() const;
    // Record index (0 <= index < recordCount()), its values in the order of columns(),
    // read without moving the cursor.
    const QStringList& record(int index) const { return rows[std::size_t(index)]; }
    int position() const; // 0-based current record; recordCount() at Eof

private:
    int columnIndex(const QString& column) const;

    QStringList columnNames;
    std::vector<QStringList> rows;
    int current = 0;

    // Loaders ask for the same few columns once per record: remember the last names resolved.
    struct Resolved {
        QString name;
        int index = -1;
    };
    mutable std::array<Resolved, 8> resolved;
    mutable int nextSlot = 0;
};

#pragma once
// Small helpers the journal's source files share for SQLite's text values and prepared
// statements. Not for use outside the journal.
#include <QString>

#include <sqlite3.h>

// A station's identity in SQL, as stationIdentity() makes it: the call without the blanks
// and line breaks around it, in capitals. The index and the look-ups must spell it alike for
// SQLite to use the index, so both take it from here.
#define VELMORA_CALL_IDENTITY "upper(trim(call, ' ' || char(9, 10, 11, 12, 13)))"
// The same of the call of the table named t in a query.
#define VELMORA_CALL_IDENTITY_OF(t) "upper(trim(" #t ".call, ' ' || char(9, 10, 11, 12, 13)))"

inline QString columnText(sqlite3_stmt* st, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(st, column)) : QString();
}

inline void bindText(sqlite3_stmt* st, int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(st, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// Resets a prepared statement when it goes out of scope, so it can be run again.
struct StatementReset {
    sqlite3_stmt* st;
    ~StatementReset()
    {
        if (st) {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
        }
    }
};

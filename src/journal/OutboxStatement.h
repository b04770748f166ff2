#pragma once
// A prepared statement of the outbox's connection, with its values bound in order and
// finalized when it goes; and a text column as a QString.
#include <QString>

#include <sqlite3.h>

#include <cstdint>

namespace outbox_sql {
inline QString text(sqlite3_stmt* st, int column)
{
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
    return t ? QString::fromUtf8(t, sqlite3_column_bytes(st, column)) : QString();
}

// A prepared statement with its values bound in order, finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql)
    {
        if (db)
            sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    }
    ~Statement() { sqlite3_finalize(st); }
    Statement& bind(std::int64_t v)
    {
        sqlite3_bind_int64(st, ++index, v);
        return *this;
    }
    Statement& bind(const QString& v)
    {
        const QByteArray utf8 = v.toUtf8();
        sqlite3_bind_text(st, ++index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }
    bool step() { return st && sqlite3_step(st) == SQLITE_ROW; }
    bool run()
    {
        if (!st)
            return false;
        const int rc = sqlite3_step(st);
        return rc == SQLITE_DONE || rc == SQLITE_ROW;
    }
    sqlite3_stmt* get() const { return st; }

private:
    sqlite3_stmt* st = nullptr;
    int index = 0;
};
} // namespace outbox_sql

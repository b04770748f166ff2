#pragma once
// A prepared statement of the outbox's connection, with its values bound in order and
// finalized when it goes; text values through the journal's helpers.
#include "journal/JournalSql.h"

#include <QString>

#include <sqlite3.h>

#include <cstdint>

namespace outbox_sql {
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
        bindText(st, ++index, v);
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

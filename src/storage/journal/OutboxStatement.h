#pragma once
// A prepared statement of the outbox's connection, with its values bound in order and
// finalized when it goes; text values through the journal's helpers.
#include "journal/JournalSql.h"

#include <QString>

#include <sqlite3.h>

#include <cstdint>

namespace outbox_sql {
// The prepared statements of the outbox's connections, kept for their next use: a catch-up
// of thousands of lines prepares each statement once, not once a line. A statement in use is
// taken out, so a second use at the same time prepares one of its own.
sqlite3_stmt* takeStatement(sqlite3* db, const char* sql);
void giveBack(sqlite3* db, const char* sql, sqlite3_stmt* st);
// Finalizes the kept statements of a connection, before it is closed.
void forgetStatements(sqlite3* db);

// A prepared statement with its values bound in order, given back when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db(db), sql(sql)
    {
        if (db)
            st = takeStatement(db, sql);
    }
    ~Statement()
    {
        if (st)
            giveBack(db, sql, st);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
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
    sqlite3* db = nullptr;
    const char* sql = nullptr;
    sqlite3_stmt* st = nullptr;
    int index = 0;
};
} // namespace outbox_sql

#pragma once
// A prepared statement of the outbox's connection, with its values bound in order and
// finalized when it goes; text values through the journal's helpers.
#include "journal/JournalSql.h"

#include <QString>

#include <sqlite3.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace outbox_sql {
// The prepared statements of one outbox connection, kept for their next use: a catch-up of
// thousands of lines prepares each statement once, not once a line. The connection is used
// by one thread at a time, so the cache needs no lock. A statement in use is taken out, so
// a second use at the same time prepares one of its own.
class StatementCache {
public:
    StatementCache() = default;
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;
    ~StatementCache() { clear(); }

    sqlite3_stmt* take(sqlite3* db, const char* sql)
    {
        for (auto it = kept.begin(); it != kept.end(); ++it)
            if (it->first == sql) {
                sqlite3_stmt* st = it->second;
                kept.erase(it);
                return st;
            }
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            return nullptr;
        }
        return st;
    }
    void giveBack(const char* sql, sqlite3_stmt* st)
    {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        for (const auto& [key, other] : kept)
            if (key == sql) {
                sqlite3_finalize(st); // one kept per text is enough
                return;
            }
        kept.emplace_back(sql, st);
    }
    // Finalizes the kept statements, before the connection is closed.
    void clear()
    {
        for (const auto& [sql, st] : kept)
            sqlite3_finalize(st);
        kept.clear();
    }

private:
    std::vector<std::pair<const char*, sqlite3_stmt*>> kept;
};

// A prepared statement with its values bound in order, given back to its cache when it goes.
class Statement {
public:
    Statement(StatementCache& cache, sqlite3* db, const char* sql) : cache(cache), sql(sql)
    {
        if (db)
            st = cache.take(db, sql);
    }
    ~Statement()
    {
        if (st)
            cache.giveBack(sql, st);
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
    StatementCache& cache;
    const char* sql = nullptr;
    sqlite3_stmt* st = nullptr;
    int index = 0;
};
} // namespace outbox_sql

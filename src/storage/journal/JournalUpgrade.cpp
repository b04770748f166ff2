#include "journal/JournalUpgrade.h"

#include <sqlite3.h>

#include <cstring>

namespace {
bool hasColumn(sqlite3* db, const char* table, const char* column)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info(?)", -1, &st, nullptr) != SQLITE_OK)
        return false;
    sqlite3_bind_text(st, 1, table, -1, SQLITE_STATIC);
    bool found = false;
    while (!found && sqlite3_step(st) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        found = name && std::strcmp(name, column) == 0;
    }
    sqlite3_finalize(st);
    return found;
}
} // namespace

bool upgradeJournal(sqlite3* db)
{
    // Who logged each line: a shared net has several operators.
    if (!hasColumn(db, "entries", "logged_by")
        && sqlite3_exec(db, "ALTER TABLE entries ADD COLUMN logged_by TEXT NOT NULL DEFAULT ''", nullptr,
               nullptr, nullptr)
            != SQLITE_OK)
        return false;
    return true;
}

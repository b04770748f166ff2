#include "journal/JournalUpgrade.h"

#include <sqlite3.h>

#include <cstring>
#include <string>

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

// Adds the column to the table unless it is there already; false when it cannot be added.
bool addColumn(sqlite3* db, const char* table, const char* column, const char* definition)
{
    if (hasColumn(db, table, column))
        return true;
    const std::string sql = std::string("ALTER TABLE ") + table + " ADD COLUMN " + column + ' ' + definition;
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The net's own facts beyond its lines: the call of its net control, and the file its
// check-ins were saved to last (where the next save is offered).
bool addNetFacts(sqlite3* db)
{
    return addColumn(db, "nets", "control_call", "TEXT NOT NULL DEFAULT ''")
        && addColumn(db, "nets", "saved_file", "TEXT");
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
    return addNetFacts(db);
}

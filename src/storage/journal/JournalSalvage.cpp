#include "journal/JournalSalvage.h"

#include <QFile>
#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {
std::vector<std::string> columnsOf(sqlite3* db, const char* table)
{
    std::vector<std::string> out;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info(?)", -1, &st, nullptr) != SQLITE_OK)
        return out;
    sqlite3_bind_text(st, 1, table, -1, SQLITE_STATIC);
    while (sqlite3_step(st) == SQLITE_ROW)
        if (const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(st, 0)))
            out.emplace_back(name);
    sqlite3_finalize(st);
    return out;
}

std::int64_t count(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    std::int64_t n = 0;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return n;
}

// Copies the rows of one table in the order of their row ids. A damaged page ends a scan: the
// scan starts again further on, at gaps that double, so the rows after the damage are read too.
void copyTable(sqlite3* from, sqlite3* into, const char* table)
{
    std::vector<std::string> columns;
    const std::vector<std::string> wanted = columnsOf(into, table);
    for (const std::string& c : columnsOf(from, table))
        for (const std::string& w : wanted)
            if (c == w)
                columns.push_back(c);
    if (columns.empty())
        return;
    std::string list, marks;
    for (const std::string& c : columns) {
        list += (list.empty() ? "\"" : ", \"") + c + '"';
        marks += marks.empty() ? "?" : ", ?";
    }
    const std::string select
        = "SELECT rowid, " + list + " FROM \"" + table + "\" WHERE rowid > ? ORDER BY rowid";
    const std::string insert
        = "INSERT OR IGNORE INTO \"" + std::string(table) + "\"(" + list + ") VALUES(" + marks + ")";
    sqlite3_stmt* read = nullptr;
    sqlite3_stmt* write = nullptr;
    if (sqlite3_prepare_v2(from, select.c_str(), -1, &read, nullptr) != SQLITE_OK
        || sqlite3_prepare_v2(into, insert.c_str(), -1, &write, nullptr) != SQLITE_OK) {
        sqlite3_finalize(read);
        sqlite3_finalize(write);
        return;
    }
    const std::int64_t highest
        = count(from, (std::string("SELECT max(rowid) FROM \"") + table + '"').c_str());
    std::int64_t after = 0; // the scan goes on after this row id
    std::int64_t gap = 1;
    for (int restarts = 0; restarts < 64; ++restarts) {
        sqlite3_reset(read);
        sqlite3_bind_int64(read, 1, after);
        int rc = SQLITE_OK;
        bool any = false;
        while ((rc = sqlite3_step(read)) == SQLITE_ROW) {
            any = true;
            after = sqlite3_column_int64(read, 0);
            for (int i = 0; i < int(columns.size()); ++i)
                sqlite3_bind_value(write, i + 1, sqlite3_column_value(read, i + 1));
            sqlite3_step(write); // a row that breaks a rule of the table is left out
            sqlite3_reset(write);
        }
        // The end, unless the damaged tree ended the scan before the highest row id.
        if (rc == SQLITE_DONE && after >= highest)
            break;
        gap = any ? 1 : gap * 2;
        const std::int64_t next = highest > 0 ? std::min(after + gap, highest - 1) : after + gap;
        if (next <= after)
            break;
        after = next;
    }
    sqlite3_finalize(read);
    sqlite3_finalize(write);
}
} // namespace

JournalSalvage salvageJournal(const QString& damagedFile, sqlite3* into)
{
    JournalSalvage result;
    if (!into)
        return result;
    // Reading a file in WAL mode makes its -wal and -shm files; those that were not there
    // before go again, so only the damaged file (and what belonged to it) stays aside.
    const auto madeHere = [&damagedFile] {
        QStringList made;
        for (const char* suffix : { "-wal", "-shm" })
            if (!QFile::exists(damagedFile + QLatin1String(suffix)))
                made << damagedFile + QLatin1String(suffix);
        return made;
    }();
    struct RemoveAfter {
        QStringList files;
        ~RemoveAfter()
        {
            for (const QString& f : files)
                QFile::remove(f);
        }
    } removeAfter { madeHere };
    sqlite3* from = nullptr;
    const QByteArray name = QFile::encodeName(damagedFile);
    if (sqlite3_open_v2(name.constData(), &from, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(from);
        return result;
    }
    if (sqlite3_exec(into, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(from);
        return result;
    }
    for (const char* table : { "nets", "entries", "identifications" })
        copyTable(from, into, table);
    sqlite3_close(from);
    // Lines whose net row was lost still make a net: unsaved, from its first line, so it is offered.
    sqlite3_exec(into,
        "INSERT INTO nets(id, started_utc, unsaved) SELECT net_id, min(utc), 1 FROM entries "
        "WHERE net_id NOT IN (SELECT id FROM nets) GROUP BY net_id",
        nullptr, nullptr, nullptr);
    if (sqlite3_exec(into, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(into, "ROLLBACK", nullptr, nullptr, nullptr);
        return result;
    }
    result.nets = int(count(into, "SELECT count(*) FROM nets"));
    result.checkIns
        = int(count(into, "SELECT count(*) FROM entries WHERE date_line = 0 AND deleted_utc IS NULL"));
    result.unsaved = int(count(into,
        "SELECT count(*) FROM nets n WHERE unsaved = 1 AND discarded = 0 AND EXISTS (SELECT 1 FROM entries e "
        "WHERE e.net_id = n.id AND e.date_line = 0 AND e.deleted_utc IS NULL)"));
    return result;
}

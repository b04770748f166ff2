#include "journal/NetJournal.h"

#include "journal/JournalSalvage.h"
#include "journal/JournalSql.h"
#include "journal/JournalUpgrade.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace {
const char* const schema = R"sql(
CREATE TABLE IF NOT EXISTS nets(
    id INTEGER PRIMARY KEY,
    started_utc INTEGER NOT NULL,
    unsaved INTEGER NOT NULL DEFAULT 0,
    discarded INTEGER NOT NULL DEFAULT 0,
    saved_utc INTEGER
);
CREATE TABLE IF NOT EXISTS entries(
    net_id INTEGER NOT NULL REFERENCES nets(id),
    seq INTEGER NOT NULL,
    date_line INTEGER NOT NULL,
    number INTEGER NOT NULL,
    call TEXT NOT NULL,
    name TEXT NOT NULL,
    city TEXT NOT NULL,
    state TEXT NOT NULL,
    line TEXT NOT NULL,
    source TEXT NOT NULL,
    utc INTEGER NOT NULL,
    status TEXT NOT NULL DEFAULT '',
    deleted_utc INTEGER,
    PRIMARY KEY(net_id, seq)
);
-- The check-ins still on their lists, by call and time, holding all that the attendance
-- look-ups read: they walk it in call order without sorting and never visit the table.
-- It takes the place of an earlier index on the call alone.
DROP INDEX IF EXISTS entries_by_call;
CREATE INDEX IF NOT EXISTS entries_live_by_call ON entries(call, utc, net_id, name)
    WHERE date_line = 0 AND deleted_utc IS NULL;
-- The same for one station's attendance, found by its identity (the trimmed, upper-cased
-- call) whatever padding or letter case a line was written with.
CREATE INDEX IF NOT EXISTS entries_live_by_identity ON entries()sql" VELMORA_CALL_IDENTITY
                           R"sql(, net_id, utc)
    WHERE date_line = 0 AND deleted_utc IS NULL;
CREATE TABLE IF NOT EXISTS identifications(
    net_id INTEGER NOT NULL REFERENCES nets(id),
    utc INTEGER NOT NULL
);
)sql";

} // namespace

NetJournal::NetJournal(const QString& folder)
{
    if (!QDir().mkpath(folder)) {
        problemText
            = QStringLiteral("The folder \"%1\" cannot be created.").arg(QDir::toNativeSeparators(folder));
        return;
    }
    filePath = QDir(folder).filePath(QStringLiteral("journal.sqlite"));
    const Opened first = openAt(filePath);
    if (first == Opened::Ok)
        return;
    close();
    // Only a file that is not a sound database is put aside; a folder that cannot be
    // written is reported as it is.
    if (first != Opened::Damaged)
        return;
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = filePath + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFile::exists(aside); ++n)
        aside = filePath + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(filePath, aside)) {
        problemText = QStringLiteral("The journal \"%1\" is damaged and cannot be moved aside.")
                          .arg(QDir::toNativeSeparators(filePath));
        return;
    }
    // The write-ahead log belongs to the damaged file: it goes aside with it.
    for (const char* suffix : { "-wal", "-shm" })
        if (QFile::exists(filePath + QLatin1String(suffix)))
            QFile::rename(filePath + QLatin1String(suffix), aside + QLatin1String(suffix));
    keptAsideName = aside;
    if (openAt(filePath) != Opened::Ok) {
        close();
        return;
    }
    // What can still be read of the damaged file goes into the new journal, so a net it held
    // unsaved is offered back as after any crash.
    const JournalSalvage read = salvageJournal(aside, db);
    salvage = { read.nets, read.checkIns };
    const QString readBack = read.nets == 0
        ? QStringLiteral("Nothing could be read back from the damaged file.")
        : QStringLiteral("From the damaged file %1 %2 with %3 %4 were read back into the new journal%5")
              .arg(read.nets)
              .arg(read.nets == 1 ? QStringLiteral("net") : QStringLiteral("nets"))
              .arg(read.checkIns)
              .arg(read.checkIns == 1 ? QStringLiteral("check-in") : QStringLiteral("check-ins"))
              .arg(read.unsaved > 0 ? QStringLiteral("; the net that was not saved is offered back now.")
                                    : QStringLiteral("."));
    problemText
        = QStringLiteral("The net journal was damaged and could not be used as it was.\n"
                         "The damaged file was moved aside and is kept as \"%1\"; nothing was deleted.\n"
                         "A new journal was started as \"%2\", and check-ins are protected again.\n%3")
              .arg(QDir::toNativeSeparators(aside), QDir::toNativeSeparators(filePath), readBack);
}

NetJournal::~NetJournal()
{
    close();
}

bool NetJournal::reopen()
{
    if (db)
        return true;
    if (filePath.isEmpty())
        return false;
    if (openAt(filePath) != Opened::Ok) {
        close();
        return false;
    }
    problemText.clear();
    return true;
}

void NetJournal::close()
{
    for (auto& [sql, st] : cache)
        sqlite3_finalize(st);
    cache.clear();
    if (db)
        sqlite3_close(db);
    db = nullptr;
}

void NetJournal::fail(const char* what)
{
    problemText = QStringLiteral("The journal \"%1\" cannot be %2: %3")
                      .arg(QDir::toNativeSeparators(filePath), QLatin1String(what),
                          db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("not open"));
}

NetJournal::Opened NetJournal::openAt(const QString& file)
{
    const QByteArray name = QFile::encodeName(file);
    const auto damagedCode = [this] {
        const int code = db ? sqlite3_errcode(db) : SQLITE_OK;
        return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
    };
    // A journal is used by one thread only (its cache of statements is not guarded either), so
    // the connection goes without SQLite's lock around every call: a look-up that reads
    // thousands of rows spends a fifth of its time there otherwise.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(name.constData(), &db, flags, nullptr) != SQLITE_OK) {
        fail("opened");
        return damagedCode() ? Opened::Damaged : Opened::Failed;
    }
    sqlite3_busy_timeout(db, 2000);
    // WAL with full sync: one fsync of the log per change, and a torn write is rolled back.
    // Where the file system keeps no write-ahead log the journal stays in rollback mode, as
    // durable with full sync. The setting is read back: the journal never runs with less.
    if (!exec("PRAGMA journal_mode=WAL") || !exec("PRAGMA synchronous=FULL")
        || queryText("PRAGMA synchronous") != QLatin1String("2")) {
        fail("opened");
        return damagedCode() ? Opened::Damaged : Opened::Failed;
    }
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr) != SQLITE_OK) {
        fail("opened");
        return damagedCode() ? Opened::Damaged : Opened::Failed;
    }
    const int rc = sqlite3_step(check);
    const QString verdict = rc == SQLITE_ROW ? columnText(check, 0) : QString();
    sqlite3_finalize(check);
    if (rc == SQLITE_ROW && verdict != QLatin1String("ok")) {
        // SQLite read the file and found its pages damaged.
        problemText = QStringLiteral("damaged: ") + verdict;
        return Opened::Damaged;
    }
    if (rc != SQLITE_ROW) {
        fail("opened");
        return damagedCode() ? Opened::Damaged : Opened::Failed;
    }
    if (!exec(schema) || !upgradeJournal(db)) {
        fail("written");
        return damagedCode() ? Opened::Damaged : Opened::Failed;
    }
    return Opened::Ok;
}

bool NetJournal::exec(const char* sql)
{
    return db && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

QString NetJournal::queryText(const char* sql)
{
    sqlite3_stmt* st = nullptr;
    if (!db || sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        return QString();
    const QString value = sqlite3_step(st) == SQLITE_ROW ? columnText(st, 0) : QString();
    sqlite3_finalize(st);
    return value;
}

sqlite3_stmt* NetJournal::statement(const char* sql)
{
    for (auto& [key, st] : cache)
        if (key == sql)
            return st;
    sqlite3_stmt* st = nullptr;
    if (!db || sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK)
        return nullptr;
    cache.emplace_back(sql, st);
    return st;
}

bool NetJournal::run(sqlite3_stmt* st)
{
    if (!st)
        return false;
    StatementReset reset { st };
    const int rc = sqlite3_step(st);
    return rc == SQLITE_DONE || rc == SQLITE_ROW;
}

bool NetJournal::write(const char* sql, std::initializer_list<std::int64_t> values)
{
    if (!db)
        return false;
    sqlite3_stmt* st = statement(sql);
    int index = 0;
    for (std::int64_t v : values)
        if (st)
            sqlite3_bind_int64(st, ++index, v);
    return written(run(st));
}

bool NetJournal::written(bool good)
{
    // A change that did not reach the disk stops the journal: what it holds stays sound,
    // and the list says it is no longer protected.
    if (good)
        return true;
    fail("written");
    close();
    return false;
}

std::int64_t NetJournal::scalar(const char* sql, std::int64_t value)
{
    sqlite3_stmt* st = statement(sql);
    if (!st)
        return 0;
    StatementReset reset { st };
    sqlite3_bind_int64(st, 1, value);
    return sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
}

namespace {
// One durable change: everything in it is written, or nothing is.
class Transaction {
public:
    explicit Transaction(NetJournal& journal) : journal(journal) { began = journal.exec("BEGIN IMMEDIATE"); }
    ~Transaction()
    {
        if (began && !done)
            journal.exec("ROLLBACK");
    }
    bool commit()
    {
        done = began && journal.exec("COMMIT");
        return done;
    }
    bool ok() const { return began; }

private:
    NetJournal& journal;
    bool began = false;
    bool done = false;
};
} // namespace

std::int64_t NetJournal::beginNet(std::int64_t utcMs)
{
    if (!write("INSERT INTO nets(started_utc) VALUES(?)", { utcMs }))
        return 0;
    return sqlite3_last_insert_rowid(db);
}

bool NetJournal::append(std::int64_t net, const JournalEntry& e, bool marksUnsaved)
{
    if (!db)
        return false;
    Transaction t(*this);
    sqlite3_stmt* st
        = statement("INSERT INTO entries(net_id, seq, date_line, number, call, name, city, state, line, "
                    "source, utc, status, logged_by) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)");
    bool good = t.ok() && st;
    if (good) {
        sqlite3_bind_int64(st, 1, net);
        sqlite3_bind_int64(st, 2, e.seq);
        sqlite3_bind_int(st, 3, e.dateLine ? 1 : 0);
        sqlite3_bind_int(st, 4, e.number);
        bindText(st, 5, e.call);
        bindText(st, 6, e.name);
        bindText(st, 7, e.city);
        bindText(st, 8, e.state);
        bindText(st, 9, e.text);
        bindText(st, 10, sourceName(e.source));
        sqlite3_bind_int64(st, 11, e.utcMs);
        bindText(st, 12, e.status);
        bindText(st, 13, e.loggedBy);
        good = run(st);
    }
    if (good && marksUnsaved)
        good = markUnsaved(net);
    return written(good && t.commit());
}

bool NetJournal::markUnsaved(std::int64_t net)
{
    sqlite3_stmt* st = statement("UPDATE nets SET unsaved = 1 WHERE id = ?");
    if (st)
        sqlite3_bind_int64(st, 1, net);
    return run(st);
}

bool NetJournal::setDeleted(
    std::int64_t net, std::int64_t seq, std::optional<std::int64_t> deletedUtcMs, bool marksUnsaved)
{
    if (!db)
        return false;
    Transaction t(*this);
    sqlite3_stmt* st = statement("UPDATE entries SET deleted_utc = ? WHERE net_id = ? AND seq = ?");
    bool good = t.ok() && st;
    if (good) {
        if (deletedUtcMs)
            sqlite3_bind_int64(st, 1, *deletedUtcMs);
        else
            sqlite3_bind_null(st, 1);
        sqlite3_bind_int64(st, 2, net);
        sqlite3_bind_int64(st, 3, seq);
        good = run(st) && (!marksUnsaved || markUnsaved(net));
    }
    return written(good && t.commit());
}

bool NetJournal::setStatus(std::int64_t net, std::int64_t seq, const QString& status)
{
    if (!db)
        return false;
    sqlite3_stmt* st = statement("UPDATE entries SET status = ? WHERE net_id = ? AND seq = ?");
    if (st) {
        bindText(st, 1, status);
        sqlite3_bind_int64(st, 2, net);
        sqlite3_bind_int64(st, 3, seq);
    }
    return written(run(st));
}

bool NetJournal::setSaved(std::int64_t net, std::int64_t utcMs)
{
    return write("UPDATE nets SET unsaved = 0, saved_utc = ? WHERE id = ?", { utcMs, net });
}

bool NetJournal::setDiscarded(std::int64_t net)
{
    return write("UPDATE nets SET discarded = 1 WHERE id = ?", { net });
}

bool NetJournal::addIdentification(std::int64_t net, std::int64_t utcMs)
{
    return write("INSERT INTO identifications(net_id, utc) VALUES(?, ?)", { net, utcMs });
}

bool NetJournal::setControlCall(std::int64_t net, const QString& call)
{
    if (!db)
        return false;
    sqlite3_stmt* st = statement("UPDATE nets SET control_call = ? WHERE id = ?");
    if (st) {
        bindText(st, 1, call);
        sqlite3_bind_int64(st, 2, net);
    }
    return written(run(st));
}

QString NetJournal::controlCall(std::int64_t net)
{
    sqlite3_stmt* st = statement("SELECT control_call FROM nets WHERE id = ?");
    if (!st)
        return QString();
    StatementReset reset { st };
    sqlite3_bind_int64(st, 1, net);
    return sqlite3_step(st) == SQLITE_ROW ? columnText(st, 0) : QString();
}

bool NetJournal::setSavedFile(std::int64_t net, const QString& file)
{
    if (!db)
        return false;
    sqlite3_stmt* st = statement("UPDATE nets SET saved_file = ? WHERE id = ?");
    if (st) {
        bindText(st, 1, file);
        sqlite3_bind_int64(st, 2, net);
    }
    return written(run(st));
}

QString NetJournal::lastSavedFile()
{
    sqlite3_stmt* st
        = statement("SELECT saved_file FROM nets WHERE saved_file IS NOT NULL AND saved_file != '' "
                    "ORDER BY saved_utc DESC, id DESC LIMIT 1");
    if (!st)
        return QString();
    StatementReset reset { st };
    return sqlite3_step(st) == SQLITE_ROW ? columnText(st, 0) : QString();
}

std::optional<PendingNet> NetJournal::pendingNet()
{
    sqlite3_stmt* st = statement(
        "SELECT id, started_utc, (SELECT count(*) FROM entries e WHERE e.net_id = n.id AND e.date_line = 0 "
        "AND e.deleted_utc IS NULL) FROM nets n WHERE unsaved = 1 AND discarded = 0 ORDER BY id DESC LIMIT "
        "1");
    if (!st)
        return std::nullopt;
    StatementReset reset { st };
    if (sqlite3_step(st) != SQLITE_ROW)
        return std::nullopt;
    return PendingNet { sqlite3_column_int64(st, 0), sqlite3_column_int64(st, 1), sqlite3_column_int(st, 2) };
}

std::vector<JournalEntry> NetJournal::entries(std::int64_t net)
{
    std::vector<JournalEntry> out;
    sqlite3_stmt* st
        = statement("SELECT seq, date_line, number, call, name, city, state, line, source, utc, status, "
                    "logged_by FROM entries WHERE net_id = ? AND deleted_utc IS NULL ORDER BY seq");
    if (!st)
        return out;
    StatementReset reset { st };
    sqlite3_bind_int64(st, 1, net);
    while (sqlite3_step(st) == SQLITE_ROW) {
        JournalEntry e;
        e.seq = sqlite3_column_int64(st, 0);
        e.dateLine = sqlite3_column_int(st, 1) != 0;
        e.number = sqlite3_column_int(st, 2);
        // Older journals hold calls as their source padded them ("  W1AW"): the list, the
        // exports and the repeat check see the call alone.
        e.call = columnText(st, 3).trimmed();
        e.name = columnText(st, 4);
        e.city = columnText(st, 5);
        e.state = columnText(st, 6);
        e.text = columnText(st, 7);
        e.source = sourceFromName(columnText(st, 8));
        e.utcMs = sqlite3_column_int64(st, 9);
        e.status = columnText(st, 10);
        e.loggedBy = columnText(st, 11);
        out.push_back(std::move(e));
    }
    return out;
}

int NetJournal::highestNumber(std::int64_t net)
{
    return int(scalar("SELECT coalesce(max(number), 0) FROM entries WHERE net_id = ?", net));
}

std::int64_t NetJournal::lastSeq(std::int64_t net)
{
    return scalar("SELECT coalesce(max(seq), 0) FROM entries WHERE net_id = ?", net);
}

std::vector<std::int64_t> NetJournal::identifications(std::int64_t net)
{
    std::vector<std::int64_t> out;
    sqlite3_stmt* st = statement("SELECT utc FROM identifications WHERE net_id = ? ORDER BY utc");
    if (!st)
        return out;
    StatementReset reset { st };
    sqlite3_bind_int64(st, 1, net);
    while (sqlite3_step(st) == SQLITE_ROW)
        out.push_back(sqlite3_column_int64(st, 0));
    return out;
}

std::int64_t NetJournal::netStarted(std::int64_t net)
{
    return scalar("SELECT started_utc FROM nets WHERE id = ?", net);
}

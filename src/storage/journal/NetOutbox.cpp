#include "journal/NetOutbox.h"

#include "journal/OutboxStatement.h"

#include <QDir>
#include <QFile>
#include <QUuid>

#include <sqlite3.h>

using namespace outbox_sql;

namespace {
const char* const schema = R"sql(
CREATE TABLE IF NOT EXISTS shared_nets(
    local_net INTEGER PRIMARY KEY,
    conninfo TEXT NOT NULL,
    server_net INTEGER NOT NULL DEFAULT 0,
    share_uid TEXT NOT NULL,
    name TEXT NOT NULL,
    operator TEXT NOT NULL,
    last_change INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS shared_lines(
    local_net INTEGER NOT NULL,
    seq INTEGER NOT NULL,
    uid TEXT NOT NULL,
    provisional INTEGER NOT NULL,
    PRIMARY KEY(local_net, seq)
);
CREATE UNIQUE INDEX IF NOT EXISTS shared_lines_by_uid ON shared_lines(local_net, uid);
CREATE TABLE IF NOT EXISTS outbox(
    id INTEGER PRIMARY KEY,
    local_net INTEGER NOT NULL,
    uid TEXT NOT NULL UNIQUE,
    kind TEXT NOT NULL,
    line_uid TEXT NOT NULL DEFAULT '',
    value TEXT NOT NULL DEFAULT '',
    call TEXT NOT NULL DEFAULT '',
    name TEXT NOT NULL DEFAULT '',
    city TEXT NOT NULL DEFAULT '',
    state TEXT NOT NULL DEFAULT '',
    source TEXT NOT NULL DEFAULT '',
    operator TEXT NOT NULL DEFAULT '',
    utc INTEGER NOT NULL,
    state_code INTEGER NOT NULL DEFAULT 0, -- 0 waiting, 1 sent, 2 refused
    refused_why TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS outbox_waiting ON outbox(local_net, state_code, id);
)sql";

} // namespace

NetOutbox::NetOutbox(const QString& journalFile) : statements(std::make_unique<StatementCache>())
{
    const QByteArray name = QFile::encodeName(journalFile);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        fail("opened");
        sqlite3_close(db);
        db = nullptr;
        return;
    }
    sqlite3_busy_timeout(db, 5000);
    if (!exec("PRAGMA synchronous=FULL") || !exec(schema)) {
        fail("opened");
        sqlite3_close(db);
        db = nullptr;
    }
}

NetOutbox::~NetOutbox()
{
    if (!db)
        return;
    statements->clear();
    sqlite3_close(db);
}

void NetOutbox::fail(const char* what)
{
    problemText = QStringLiteral("The outbox of the shared net cannot be %1: %2")
                      .arg(QLatin1String(what),
                          db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("not open"));
}

bool NetOutbox::exec(const char* sql)
{
    return db && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

QString NetOutbox::newUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

bool NetOutbox::saveNet(const SharedNetRecord& n)
{
    Statement st(*statements, db,
        "INSERT OR REPLACE INTO shared_nets(local_net, conninfo, server_net, share_uid, name, "
        "operator, last_change) VALUES(?,?,?,?,?,?,?)");
    st.bind(n.localNet)
        .bind(n.conninfo)
        .bind(n.serverNet)
        .bind(n.shareUid)
        .bind(n.name)
        .bind(n.operatorCall)
        .bind(n.lastChange);
    return st.run();
}

std::optional<SharedNetRecord> NetOutbox::net(std::int64_t localNet)
{
    Statement st(*statements, db,
        "SELECT conninfo, server_net, share_uid, name, operator, last_change FROM shared_nets "
        "WHERE local_net = ?");
    st.bind(localNet);
    if (!st.step())
        return std::nullopt;
    SharedNetRecord n;
    n.localNet = localNet;
    n.conninfo = columnText(st.get(), 0);
    n.serverNet = sqlite3_column_int64(st.get(), 1);
    n.shareUid = columnText(st.get(), 2);
    n.name = columnText(st.get(), 3);
    n.operatorCall = columnText(st.get(), 4);
    n.lastChange = sqlite3_column_int64(st.get(), 5);
    return n;
}

bool NetOutbox::setServerNet(std::int64_t localNet, std::int64_t serverNet)
{
    Statement st(*statements, db, "UPDATE shared_nets SET server_net = ? WHERE local_net = ?");
    return st.bind(serverNet).bind(localNet).run();
}

bool NetOutbox::setLastChange(std::int64_t localNet, std::int64_t changeId)
{
    Statement st(
        *statements, db, "UPDATE shared_nets SET last_change = max(last_change, ?) WHERE local_net = ?");
    return st.bind(changeId).bind(localNet).run();
}

bool NetOutbox::begin()
{
    return batch || exec("BEGIN IMMEDIATE");
}

bool NetOutbox::commit(bool good)
{
    if (batch)
        return good;
    if (good && exec("COMMIT"))
        return true;
    exec("ROLLBACK");
    fail("written");
    return false;
}

bool NetOutbox::recordLine(
    std::int64_t localNet, std::int64_t seq, const QString& uid, const OutboxChange* change)
{
    if (!begin())
        return false;
    Statement st(*statements, db,
        "INSERT OR REPLACE INTO shared_lines(local_net, seq, uid, provisional) VALUES(?,?,?,?)");
    bool good = st.bind(localNet).bind(seq).bind(uid).bind(std::int64_t(change ? 1 : 0)).run();
    if (good && change)
        good = enqueue(*change);
    return commit(good);
}

bool NetOutbox::enqueue(const OutboxChange& c)
{
    Statement st(*statements, db,
        "INSERT OR IGNORE INTO outbox(local_net, uid, kind, line_uid, value, call, name, city, "
        "state, source, operator, utc) VALUES(?,?,?,?,?,?,?,?,?,?,?,?)");
    st.bind(c.localNet).bind(c.uid).bind(c.kind).bind(c.lineUid).bind(c.value);
    st.bind(c.entry.call).bind(c.entry.name).bind(c.entry.city).bind(c.entry.state);
    st.bind(sourceName(c.entry.source)).bind(c.entry.loggedBy).bind(c.utcMs);
    return st.run();
}

std::vector<OutboxChange> NetOutbox::pending(std::int64_t localNet)
{
    std::vector<OutboxChange> out;
    Statement st(*statements, db,
        "SELECT id, uid, kind, line_uid, value, call, name, city, state, source, operator, utc "
        "FROM outbox WHERE local_net = ? AND state_code = 0 ORDER BY id");
    st.bind(localNet);
    while (st.step()) {
        OutboxChange c;
        c.id = sqlite3_column_int64(st.get(), 0);
        c.localNet = localNet;
        c.uid = columnText(st.get(), 1);
        c.kind = columnText(st.get(), 2);
        c.lineUid = columnText(st.get(), 3);
        c.value = columnText(st.get(), 4);
        c.entry.call = columnText(st.get(), 5);
        c.entry.name = columnText(st.get(), 6);
        c.entry.city = columnText(st.get(), 7);
        c.entry.state = columnText(st.get(), 8);
        c.entry.source = sourceFromName(columnText(st.get(), 9));
        c.entry.loggedBy = columnText(st.get(), 10);
        c.utcMs = sqlite3_column_int64(st.get(), 11);
        c.entry.utcMs = c.utcMs;
        out.push_back(std::move(c));
    }
    return out;
}

bool NetOutbox::markSent(std::int64_t id)
{
    Statement st(*statements, db, "UPDATE outbox SET state_code = 1 WHERE id = ?");
    return st.bind(id).run();
}

bool NetOutbox::markRefused(std::int64_t id, const QString& why)
{
    Statement st(*statements, db, "UPDATE outbox SET state_code = 2, refused_why = ? WHERE id = ?");
    return st.bind(why).bind(id).run();
}

int NetOutbox::waiting(std::int64_t localNet)
{
    Statement st(*statements, db, "SELECT count(*) FROM outbox WHERE local_net = ? AND state_code = 0");
    st.bind(localNet);
    return st.step() ? sqlite3_column_int(st.get(), 0) : 0;
}

bool NetOutbox::hasPending(std::int64_t localNet, const QString& lineUid)
{
    Statement st(*statements, db,
        "SELECT 1 FROM outbox WHERE local_net = ? AND line_uid = ? AND state_code = 0 LIMIT 1");
    st.bind(localNet).bind(lineUid);
    return st.step();
}

bool NetOutbox::isOurs(const QString& changeUid)
{
    Statement st(*statements, db, "SELECT 1 FROM outbox WHERE uid = ?");
    st.bind(changeUid);
    return st.step();
}

QString NetOutbox::uidOf(std::int64_t localNet, std::int64_t seq)
{
    Statement st(*statements, db, "SELECT uid FROM shared_lines WHERE local_net = ? AND seq = ?");
    st.bind(localNet).bind(seq);
    return st.step() ? columnText(st.get(), 0) : QString();
}

std::int64_t NetOutbox::seqOf(std::int64_t localNet, const QString& uid)
{
    Statement st(*statements, db, "SELECT seq FROM shared_lines WHERE local_net = ? AND uid = ?");
    st.bind(localNet).bind(uid);
    return st.step() ? sqlite3_column_int64(st.get(), 0) : 0;
}

bool NetOutbox::isProvisional(std::int64_t localNet, std::int64_t seq)
{
    Statement st(*statements, db, "SELECT provisional FROM shared_lines WHERE local_net = ? AND seq = ?");
    st.bind(localNet).bind(seq);
    return st.step() && sqlite3_column_int(st.get(), 0) != 0;
}

bool NetOutbox::confirmNumber(std::int64_t localNet, std::int64_t seq, int number, const QString& loggedBy,
    std::optional<std::int64_t> utcMs)
{
    if (!begin())
        return false;
    Statement line(
        *statements, db, "UPDATE shared_lines SET provisional = 0 WHERE local_net = ? AND seq = ?");
    Statement entry(*statements, db,
        "UPDATE entries SET number = ?, logged_by = CASE WHEN ? = '' THEN logged_by ELSE ? END, "
        "utc = CASE WHEN ? THEN ? ELSE utc END WHERE net_id = ? AND seq = ?");
    const bool good = line.bind(localNet).bind(seq).run()
        && entry.bind(std::int64_t(number))
               .bind(loggedBy)
               .bind(loggedBy)
               .bind(std::int64_t(utcMs ? 1 : 0))
               .bind(utcMs.value_or(0))
               .bind(localNet)
               .bind(seq)
               .run();
    return commit(good);
}

std::optional<std::int64_t> NetOutbox::changeTime(const QString& changeUid)
{
    Statement st(*statements, db, "SELECT utc FROM outbox WHERE uid = ?");
    st.bind(changeUid);
    if (!st.step())
        return std::nullopt;
    return sqlite3_column_int64(st.get(), 0);
}

bool NetOutbox::moveIdentification(
    std::int64_t localNet, const QString& changeUid, std::int64_t from, std::int64_t to)
{
    if (!begin())
        return false;
    // One row only: two identifications of one millisecond are two.
    Statement ident(*statements, db,
        "UPDATE identifications SET utc = ? WHERE rowid = (SELECT rowid FROM identifications "
        "WHERE net_id = ? AND utc = ? LIMIT 1)");
    Statement change(*statements, db, "UPDATE outbox SET utc = ? WHERE uid = ?");
    const bool good = ident.bind(to).bind(localNet).bind(from).run() && change.bind(to).bind(changeUid).run();
    return commit(good);
}

bool NetOutbox::setNetStarted(std::int64_t localNet, std::int64_t utcMs)
{
    Statement st(*statements, db, "UPDATE nets SET started_utc = ? WHERE id = ?");
    return st.bind(utcMs).bind(localNet).run();
}

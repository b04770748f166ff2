// The server's rules tried the way an attacker would: psql under the sign-in of a logger or
// of another net control, calling the schema's functions with whatever they like.
#include "Operator.h"
#include "TestServer.h"

#include "sharednet/SharedNetServer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QUuid>

#include <gtest/gtest.h>

namespace {
struct Psql {
    bool ok = false;
    QString out, err;
};

// One psql run under a sign-in, the SQL given on standard input; each statement commits on
// its own, as an attacker's would, unless stop is set.
Psql psql(const TestDatabase& db, const QString& user, const QString& sql, bool stop = true)
{
    QProcess p;
    QStringList args { "-X", "-At", "-q" };
    if (stop)
        args << "-v"
             << "ON_ERROR_STOP=1";
    args << db.conninfo(user) << "-f"
         << "-";
    p.start(QStringLiteral("psql"), args);
    p.write(sql.toUtf8());
    p.closeWriteChannel();
    Psql r;
    r.ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    r.out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    r.err = QString::fromUtf8(p.readAllStandardError()).trimmed();
    return r;
}

QString one(const TestDatabase& db, const QString& user, const QString& sql)
{
    return psql(db, user, sql).out;
}

QString add(
    std::int64_t net, const QString& call, const QString& tail = "'Op', 'Waco', 'TX', 'manual', 0, NULL")
{
    return QStringLiteral("SELECT number FROM velmora.add_checkin(gen_random_uuid(), %1, '%2', %3);\n")
        .arg(net)
        .arg(call, tail);
}

QString change(std::int64_t net, const QString& kind, const QString& where, const QString& value = "NULL")
{
    return QStringLiteral(
        "SELECT velmora.change_net(gen_random_uuid(), %1, '%2', uid, %3) FROM velmora.checkins "
        "WHERE %4;\n")
        .arg(net)
        .arg(kind, value, where);
}

std::int64_t serverNow(const TestDatabase& db)
{
    return one(db, "velmora_admin", "SELECT (extract(epoch FROM clock_timestamp()) * 1000)::bigint")
        .toLongLong();
}

const QString netName = QStringLiteral("Attack net");
} // namespace

TEST(SharedNetAttack, AnOperatorActsOnlyInNetsItJoinedAndDeletesOnlyItsOwnLines)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    Operator ncs;
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "N5NCS"))
        << ncs.session.message().toStdString();
    ncs.add("K5ABC");
    ncs.add("K5DEF");
    ASSERT_TRUE(
        waitFor([&] { return ncs.session.waitingChanges() == 0 && !ncs.lines().join(' ').contains('?'); }));
    const std::int64_t net = ncs.session.serverNet();
    const QString count = QStringLiteral("SELECT count(*) FROM velmora.checkins WHERE net_id = %1").arg(net);

    // A logger that never joined adds nothing and reads nothing of the net.
    Psql r = psql(db, "k5log", add(net, "W5EVIL"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.err.contains("has not joined the net \"Attack net\"")) << r.err.toStdString();
    EXPECT_EQ(one(db, "k5log", count), "0");
    EXPECT_EQ(one(db, "velmora_admin", count), "2");

    // Joined, its lines carry its own call: there is no way to say another.
    ASSERT_TRUE(psql(db, "k5log", QStringLiteral("SELECT velmora.join_net(%1);").arg(net)).ok);
    r = psql(db, "k5log",
        QStringLiteral("SELECT * FROM velmora.add_checkin(gen_random_uuid(), %1, 'K5FAKE', 'a', 'b', 'c', "
                       "'manual', 0, 'N5NCS', 0);")
            .arg(net));
    EXPECT_FALSE(r.ok); // the logged_by of the old schema is gone
    ASSERT_TRUE(psql(db, "k5log", add(net, "K5OWN")).ok);
    EXPECT_EQ(one(db, "velmora_admin",
                  "SELECT logged_by || ' ' || by_role FROM velmora.checkins WHERE call = 'K5OWN'"),
        "K5LOG k5log");
    EXPECT_EQ(one(db, "velmora_admin",
                  "SELECT operator FROM velmora.changes c JOIN velmora.checkins k ON k.uid = c.checkin_uid "
                  "WHERE k.call = 'K5OWN'"),
        "K5LOG");

    // Statuses of anyone's line, from the program's list only.
    r = psql(db, "k5log", change(net, "status", "call = 'K5ABC'", "'HACKED'"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.err.contains("Unknown status")) << r.err.toStdString();
    EXPECT_TRUE(psql(db, "k5log", change(net, "status", "call = 'K5ABC'", "'R'")).ok);

    // Deleting: its own lines, not the net control's, not another logger's.
    r = psql(db, "k5log", change(net, "delete", "call = 'K5ABC'"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.err.contains("Only its net control or the operator who logged #1")) << r.err.toStdString();
    EXPECT_TRUE(psql(db, "k5log", change(net, "delete", "call = 'K5OWN'")).ok);
    EXPECT_TRUE(psql(db, "k5log", change(net, "restore", "call = 'K5OWN'")).ok);
    ASSERT_TRUE(psql(db, "k6log", QStringLiteral("SELECT velmora.join_net(%1);").arg(net)).ok);
    EXPECT_FALSE(psql(db, "k6log", change(net, "delete", "call = 'K5OWN'")).ok);

    // A second net control in the net is an operator there: it cannot delete the lot, nor close it.
    ASSERT_TRUE(psql(db, "w5ncs", QStringLiteral("SELECT velmora.join_net(%1);").arg(net)).ok);
    r = psql(db, "w5ncs", change(net, "delete", QStringLiteral("net_id = %1").arg(net)));
    EXPECT_FALSE(r.ok);
    r = psql(db, "w5ncs",
        QStringLiteral("SELECT velmora.change_net(gen_random_uuid(), %1, 'close', NULL, NULL);").arg(net));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.err.contains("Only the net control who shared")) << r.err.toStdString();
    EXPECT_EQ(one(db, "velmora_admin", count + " AND NOT deleted"), "3");

    // A change id of another sign-in is not taken over (nor answered as if it were its own).
    const QString taken = one(db, "velmora_admin", "SELECT uid FROM velmora.changes ORDER BY id LIMIT 1");
    r = psql(db, "k6log",
        QStringLiteral("SELECT velmora.change_net('%1', %2, 'ident', NULL, NULL);").arg(taken).arg(net));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.err.contains("already taken")) << r.err.toStdString();

    // The net control's list shows every line with who logged it and the status set.
    ASSERT_TRUE(waitFor([&] { return ncs.lines().size() == 3; }));
    EXPECT_EQ(
        ncs.lines(), QStringList({ "1 K5ABC [R] by N5NCS", "2 K5DEF [] by N5NCS", "3 K5OWN [] by K5LOG" }));
}

TEST(SharedNetAttack, NumbersTimesAndWordsAreTheServers)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    const qint64 before = serverNow(db);
    // The net control shares with the numbers its two lines had; they are kept, once.
    const QString netId
        = one(db, "n5ncs", "SELECT velmora.share_net(gen_random_uuid(), 'Numbers', '{2,5}');");
    ASSERT_FALSE(netId.isEmpty());
    const std::int64_t id = netId.toLongLong();
    ASSERT_TRUE(psql(db, "k5log", QStringLiteral("SELECT velmora.join_net(%1);").arg(id)).ok);
    // A logger choosing a number, even a kept one, gets the next.
    EXPECT_EQ(one(db, "k5log", add(id, "K5AAA", "'', '', '', 'manual', 0, 5")), "6");
    EXPECT_EQ(one(db, "k5log", add(id, "K5AAB", "'', '', '', 'manual', 0, 1000000")), "7");
    EXPECT_EQ(one(db, "n5ncs", add(id, "W5OLD", "'', '', '', 'manual', 0, 5")), "5");
    EXPECT_EQ(one(db, "n5ncs", add(id, "W5OLE", "'', '', '', 'manual', 0, 5")), "8"); // used already
    EXPECT_EQ(one(db, "n5ncs", add(id, "W5OLF", "'', '', '', 'manual', 0, 999999")), "9");
    EXPECT_FALSE(psql(db, "n5ncs", "SELECT velmora.share_net(gen_random_uuid(), 'x', '{5,2}');").ok);
    EXPECT_FALSE(psql(db, "n5ncs", "SELECT velmora.share_net(gen_random_uuid(), 'x', '{1000000}');").ok);

    // Times are the server's: a line, an identification and a close dated in the future or
    // before year 1 are stamped now.
    EXPECT_TRUE(psql(db, "k5log", add(id, "K5FUT", "'', '', '', 'manual', 4102444800000, NULL")).ok);
    EXPECT_TRUE(psql(db, "k5log", add(id, "K5PAST", "'', '', '', 'manual', -62135596800001, NULL")).ok);
    // Even a kept number keeps its time only within the day before the share.
    EXPECT_TRUE(psql(db, "n5ncs", add(id, "W5TWO", "'', '', '', 'manual', 4102444800000, 2")).ok);
    EXPECT_TRUE(psql(db, "k5log",
        QStringLiteral("SELECT velmora.change_net(gen_random_uuid(), %1, 'ident', NULL, NULL);").arg(id))
                    .ok);
    const qint64 after = serverNow(db);
    const QString times = one(db, "velmora_admin",
        QStringLiteral(
            "SELECT min(t) >= %1 AND max(t) <= %2 FROM (SELECT utc t FROM velmora.checkins UNION ALL "
            "SELECT utc FROM velmora.changes UNION ALL SELECT opened_utc FROM velmora.nets) s")
            .arg(before)
            .arg(after));
    EXPECT_EQ(times, "t");

    // What no operator types is refused: control characters, calls that are not calls,
    // unknown sources, too long a text (in characters: 64 emoji are a good name).
    for (const QString& bad : { QStringLiteral("K5\nABC"), QStringLiteral("HELLO"), QStringLiteral("12345"),
             QStringLiteral("K5ABC'); --"), QStringLiteral("K5ABCDEFGHIJKLMNOP"), QStringLiteral("K5/") }) {
        QString sql = add(id, "x");
        sql.replace(QStringLiteral("'x'"),
            QStringLiteral("E'%1'").arg(QString(bad).replace("'", "\\'").replace("\n", "\\n")));
        const Psql r = psql(db, "k5log", sql);
        EXPECT_FALSE(r.ok) << bad.toStdString();
        EXPECT_TRUE(r.err.contains("A call is 3 to 16 letters and digits")) << r.err.toStdString();
    }
    EXPECT_FALSE(psql(db, "k5log", add(id, "K5BEL", "E'Bob\\x07', '', '', 'manual', 0, NULL")).ok);
    EXPECT_FALSE(psql(db, "k5log", add(id, "K5ESC", "'', E'Waco\\u0085', '', 'manual', 0, NULL")).ok);
    EXPECT_FALSE(psql(db, "k5log", add(id, "K5SRC", "'', '', '', 'hacked', 0, NULL")).ok);
    EXPECT_FALSE(psql(db, "k5log", add(id, "K5LEN", "repeat('a', 65), '', '', 'manual', 0, NULL")).ok);
    EXPECT_TRUE(psql(db, "k5log", add(id, "k5emo", "repeat(E'\\U0001F600', 64), '', '', 'fcc', 0, NULL")).ok);
    EXPECT_EQ(one(db, "k5log", "SELECT call FROM velmora.checkins WHERE source = 'fcc'"), "K5EMO");
    EXPECT_FALSE(psql(db, "k5log",
        QStringLiteral("SELECT velmora.change_net(gen_random_uuid(), %1, 'explode', NULL, NULL);").arg(id))
                     .ok);
    EXPECT_FALSE(psql(db, "n5ncs", "SELECT velmora.share_net(gen_random_uuid(), E'Net\\x1b[2J', '{}');").ok);
}

TEST(SharedNetAttack, NobodyActsInAClosedNetNorJoinsIt)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    const std::int64_t id
        = one(db, "n5ncs", "SELECT velmora.share_net(gen_random_uuid(), 'Closing', '{}');").toLongLong();
    ASSERT_GT(id, 0);
    ASSERT_TRUE(psql(db, "k5log", QStringLiteral("SELECT velmora.join_net(%1);").arg(id)).ok);
    // Joining again, even trying other calls, counts the sign-in once.
    EXPECT_TRUE(psql(db, "k5log", QStringLiteral("SELECT velmora.join_net(%1);").arg(id)).ok);
    EXPECT_FALSE(psql(db, "k5log", QStringLiteral("SELECT velmora.join_net(%1, 'K5FAKE', 0);").arg(id)).ok);
    const QString operators
        = QStringLiteral("SELECT count(*) FROM velmora.operators WHERE net_id = %1").arg(id);
    EXPECT_EQ(one(db, "velmora_admin", operators), "2");
    ASSERT_TRUE(psql(db, "k5log", add(id, "K5ABC")).ok);
    ASSERT_TRUE(psql(db, "n5ncs",
        QStringLiteral("SELECT velmora.change_net(gen_random_uuid(), %1, 'close', NULL, NULL);").arg(id))
                    .ok);

    for (const char* user : { "k5log", "n5ncs" }) {
        for (const QString& sql :
            { add(id, "W5LATE"), change(id, "status", "true", "'G'"), change(id, "delete", "true"),
                QStringLiteral("SELECT velmora.change_net(gen_random_uuid(), %1, 'ident', NULL, NULL);")
                    .arg(id) }) {
            const Psql r = psql(db, user, sql);
            EXPECT_FALSE(r.ok) << user << sql.toStdString();
            EXPECT_TRUE(r.err.contains("is closed")) << r.err.toStdString();
        }
    }
    const Psql late = psql(db, "w5ncs", QStringLiteral("SELECT velmora.join_net(%1);").arg(id));
    EXPECT_FALSE(late.ok);
    EXPECT_TRUE(late.err.contains("The net \"Closing\" is closed")) << late.err.toStdString();
    EXPECT_EQ(one(db, "velmora_admin", operators), "2");
    EXPECT_EQ(
        one(db, "velmora_admin", "SELECT count(*) || status FROM velmora.checkins GROUP BY status"), "1");

    // A sign-in the administrator gave no call acts nowhere, and the program says why.
    ASSERT_TRUE(db.admin("CREATE ROLE nocall LOGIN IN ROLE velmora_ncs"));
    const Psql r = psql(db, "nocall", "SELECT velmora.share_net(gen_random_uuid(), 'Mine', '{}');");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.err.contains("has no operator call")) << r.err.toStdString();
    SharedNetServer server;
    QString message;
    EXPECT_FALSE(server.connect(db.conninfo("nocall"), {}, &message));
    EXPECT_TRUE(
        message.startsWith("The sign-in nocall has no operator call on the server " + testServerShownName()))
        << message.toStdString();
    db.admin("DROP ROLE nocall");
}

TEST(SharedNetAttack, AFloodOfNetsHidesNoRealOneAndTheListIsNewestFirstByTheServer)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    Operator ncs, logger;
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "N5NCS"));
    // Another net control tries 500 nets dated in the future, with the same name.
    QString flood;
    for (int i = 0; i < 500; ++i)
        flood += QStringLiteral("SELECT velmora.share_net(gen_random_uuid(), '%1', '{}');\n").arg(netName);
    const Psql r = psql(db, "w5ncs", flood, false);
    EXPECT_TRUE(r.err.contains("already has 10 open nets")) << r.err.left(300).toStdString();
    EXPECT_EQ(one(db, "velmora_admin", "SELECT count(*) FROM velmora.nets WHERE owner = 'w5ncs'"), "10");

    QString message;
    const auto nets = logger.session.openNets(db.conninfo("k5log"), &message);
    ASSERT_TRUE(nets) << message.toStdString();
    ASSERT_EQ(nets->size(), 11u);
    for (std::size_t i = 1; i < nets->size(); ++i)
        EXPECT_GE((*nets)[i - 1].openedUtc, (*nets)[i].openedUtc);
    const OpenNet& real = nets->back();
    EXPECT_EQ(real.id, ncs.session.serverNet());
    EXPECT_EQ(real.openedBy, "N5NCS");
    EXPECT_EQ(real.operators, QStringList { "N5NCS" });
    EXPECT_LE(std::abs(real.openedUtc - QDateTime::currentMSecsSinceEpoch()), 60000);
    // By name the program will not guess among eleven; by id it joins the one chosen.
    EXPECT_FALSE(logger.session.join(db.conninfo("k5log"), netName, "K5LOG"));
    EXPECT_TRUE(
        logger.session.message().startsWith("Several open nets on " + testServerShownName() + " are named"))
        << logger.session.message().toStdString();
    ASSERT_TRUE(logger.session.join(db.conninfo("k5log"), real.id, "K5LOG"))
        << logger.session.message().toStdString();
    EXPECT_EQ(logger.session.serverNet(), real.id);
}

TEST(SharedNetAttack, AnOpenTransactionDoesNotFreezeTheNet)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    Operator ncs, logger;
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "N5NCS"));
    ASSERT_TRUE(logger.session.join(db.conninfo("k5log"), netName, "K5LOG"));
    // The logger, with psql, takes the net's lock in a transaction, lifts its own timeouts
    // and sits on it.
    QProcess attacker;
    attacker.start(QStringLiteral("psql"), { "-X", "-At", db.conninfo("k5log"), "-f", "-" });
    attacker.write(QStringLiteral("SET idle_in_transaction_session_timeout = 0; SET statement_timeout = 0;\n"
                                  "BEGIN;\n%1SELECT pg_sleep(60);\n")
                       .arg(add(ncs.session.serverNet(), "K5LOCK"))
                       .toUtf8());
    attacker.closeWriteChannel();
    ASSERT_TRUE(waitFor([&] {
        return one(db, "velmora_admin",
                   "SELECT count(*) FROM pg_stat_activity WHERE usename = 'k5log' AND query LIKE "
                   "'%pg_sleep%'")
            == "1";
    }));
    QElapsedTimer clock;
    clock.start();
    ncs.add("W5NEXT");
    ASSERT_TRUE(
        waitFor([&] { return ncs.session.waitingChanges() == 0 && logger.lines().size() == 1; }, 20000))
        << ncs.session.message().toStdString();
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(logger.lines(), QStringList { "1 W5NEXT [] by N5NCS" });
    ASSERT_TRUE(waitFor([&] { return attacker.state() == QProcess::NotRunning; }, 20000));
    EXPECT_TRUE(QString::fromUtf8(attacker.readAllStandardError()).contains("terminating connection"));
    EXPECT_EQ(one(db, "velmora_admin", "SELECT count(*) FROM velmora.checkins WHERE call = 'K5LOCK'"), "0");
}

TEST(SharedNetAttack, ASignInCannotTakeEveryConnectionNorTheDisk)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    // A logger of its own, made as netserver.sh makes every sign-in of a server already run.
    const QString user = QStringLiteral("k7") + QUuid::createUuid().toString(QUuid::Id128).left(8);
    ASSERT_TRUE(db.admin(QStringLiteral("CREATE ROLE %1 LOGIN").arg(user).toUtf8().constData()));
    const ServerCommand script = onServerMachine(
        { "netserver.sh", "signin", db.conninfo("velmora_admin"), user, user.toUpper() + "X", "logger" });
    ASSERT_TRUE(script.ok) << script.err.toStdString();
    // Idle connections: a few per sign-in, and the net control still gets in.
    std::vector<std::unique_ptr<PgConnection>> idle;
    QString error;
    for (int i = 0; i < 20; ++i) {
        auto c = std::make_unique<PgConnection>();
        if (!c->open(connParams(db.conninfo(user)), {}, &error))
            break;
        idle.push_back(std::move(c));
    }
    EXPECT_EQ(idle.size(), 5u);
    EXPECT_TRUE(error.contains(QStringLiteral("too many connections for role \"%1\"").arg(user)))
        << error.toStdString();
    Operator ncs;
    EXPECT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "N5NCS"))
        << ncs.session.message().toStdString();
    idle.clear();

    // No temporary tables, a bounded temporary file, and limits the sign-in cannot lift.
    Psql r = psql(
        db, "k5log", "CREATE TEMP TABLE fill AS SELECT repeat('x', 1000) FROM generate_series(1, 10);");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.err.contains("permission denied")) << r.err.toStdString();
    r = psql(db, user,
        "SET work_mem = '64kB'; SELECT count(*) FROM (SELECT repeat(md5(g::text), 40) s FROM "
        "generate_series(1, 200000) g ORDER BY 1) t;");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.err.contains("temp_file_limit")) << r.err.toStdString();
    EXPECT_FALSE(psql(db, user, "SET temp_file_limit = '100GB';").ok);
    EXPECT_EQ(
        one(db, user,
            "SELECT current_setting('statement_timeout') || ' ' || current_setting('lock_timeout') || ' ' "
            "|| current_setting('idle_in_transaction_session_timeout');"),
        "10s 8s 10s");
    db.admin(QStringLiteral("DROP ROLE %1").arg(user).toUtf8().constData());
}

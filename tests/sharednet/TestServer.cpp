#include "TestServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QUuid>

#include <gtest/gtest.h>

namespace {
QString readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
}
} // namespace

QString testServerBase()
{
    const QString state = qEnvironmentVariable("VELMORA_TEST_PG");
    const QString base = state.isEmpty() ? QString() : readFile(state + QStringLiteral("/conninfo"));
    if (base.isEmpty())
        ADD_FAILURE() << "No test PostgreSQL server: run these tests through ctest, which starts one.";
    return base;
}

QString testServerShownName()
{
    const QString host
        = QRegularExpression(QStringLiteral("host=(\\S+)")).match(testServerBase()).captured(1);
    return host.isEmpty() || host.startsWith(QLatin1Char('/')) ? QStringLiteral("localhost") : host;
}

TestDatabase::TestDatabase(const QString& givenBase)
    : base(givenBase.isEmpty() ? testServerBase() : givenBase),
      name(QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128))
{
    if (base.isEmpty())
        return;
    PgConnection c;
    QString error;
    if (!c.open(connParams(base + QStringLiteral(" user=velmora_admin dbname=postgres")), {}, &error)) {
        ADD_FAILURE() << error.toStdString();
        return;
    }
    const QByteArray sql = "CREATE DATABASE " + name.toLatin1() + " TEMPLATE velmora_template";
    // Two tests copying the template at once may meet; the loser tries again.
    for (int attempt = 0; attempt < 20 && !good; ++attempt) {
        const PgResult r = c.exec(sql.constData());
        good = r.ok();
        if (!good)
            QThread::msleep(100);
        if (!good && attempt == 19)
            ADD_FAILURE() << r.error().toStdString();
    }
    // A copy does not keep its template's grants: no temporary tables, as the schema says.
    if (good)
        c.exec(("REVOKE TEMPORARY ON DATABASE " + name.toLatin1() + " FROM PUBLIC").constData());
}

TestDatabase::~TestDatabase()
{
    if (!good)
        return;
    PgConnection c;
    if (c.open(connParams(base + QStringLiteral(" user=velmora_admin dbname=postgres")), {}, nullptr))
        c.exec(("DROP DATABASE " + name.toLatin1() + " WITH (FORCE)").constData());
}

QString TestDatabase::conninfo(const QString& user) const
{
    return base + QStringLiteral(" dbname=%1 user=%2").arg(name, user);
}

bool TestDatabase::admin(const char* sql)
{
    PgConnection c;
    return c.open(connParams(conninfo(QStringLiteral("velmora_admin"))), {}, nullptr) && c.exec(sql).ok();
}

bool TestDatabase::addPasswordSignIn(const QString& user, const QString& password)
{
    // The run's cluster lets its own sign-ins in without a password; this one is asked for it,
    // on the socket and on the loopback address of a server that also listens there.
    const QString cluster
        = readFile(qEnvironmentVariable("VELMORA_TEST_PG") + QStringLiteral("/cluster")).trimmed();
    QFile hba(cluster + QStringLiteral("/data/pg_hba.conf"));
    if (cluster.isEmpty() || !hba.open(QIODevice::ReadWrite))
        return false;
    const QByteArray rules
        = QStringLiteral("local all %1 scram-sha-256\nhostssl all %1 127.0.0.1/32 scram-sha-256\n")
              .arg(user)
              .toUtf8()
        + hba.readAll();
    hba.seek(0);
    if (hba.write(rules) != rules.size())
        return false;
    hba.close();
    const QByteArray create = QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2' IN ROLE velmora_ncs")
                                  .arg(user, password)
                                  .toUtf8();
    const QByteArray call
        = QStringLiteral("INSERT INTO velmora.signins VALUES ('%1', upper('%1'))").arg(user).toUtf8();
    if (!admin(create.constData()) || !admin(call.constData()) || !admin("SELECT pg_reload_conf()"))
        return false;
    // The server reads its rules again in the background: wait until it asks.
    return waitFor([&] {
        PgConnection c;
        return !c.open(connParams(conninfo(user)), {}, nullptr) && c.neededPassword();
    });
}

ServerCommand onServerMachine(const QStringList& command, const QByteArray& input, int timeoutMs)
{
    ServerCommand r;
    if (command.isEmpty())
        return r;
#ifdef _WIN32
    // One folder per command: its arguments (each ended by a NUL), its input, then "ready";
    // the helper answers with "out", "err" and "status", then "done".
    const QString requests = qEnvironmentVariable("VELMORA_TEST_PG") + QStringLiteral("/requests");
    const QString dir = requests + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::Id128);
    if (qEnvironmentVariableIsEmpty("VELMORA_TEST_PG") || !QDir().mkpath(dir)) {
        r.err = "no server folder to leave the command in (VELMORA_TEST_PG)";
        return r;
    }
    QByteArray args;
    for (const QString& a : command)
        args += a.toUtf8() + '\0';
    const auto put = [&dir](const char* name, const QByteArray& bytes) {
        QFile f(dir + QLatin1Char('/') + QLatin1String(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    if (!put("args", args) || !put("input", input) || !put("ready", {})) {
        r.err = "the command could not be left for the server's machine";
        return r;
    }
    QDeadlineTimer deadline(timeoutMs);
    while (!QFileInfo::exists(dir + QStringLiteral("/done"))) {
        if (deadline.hasExpired()) {
            r.err = "the server's machine did not answer (is scripts/windows.sh's helper running?)";
            return r;
        }
        QThread::msleep(50);
    }
    const auto get = [&dir](const char* name) {
        QFile f(dir + QLatin1Char('/') + QLatin1String(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    bool number = false;
    r.status = get("status").trimmed().toInt(&number);
    if (!number)
        r.status = -1;
    r.out = get("out");
    r.err = get("err");
    QDir(dir).removeRecursively();
#else
    QProcess p;
    const QString program = command[0] == QLatin1String("kill")
        ? command[0]
        : QStringLiteral(VELMORA_SOURCE_DIR "/scripts/") + command[0];
    p.start(program, command.mid(1));
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = "the command took too long";
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
#endif
    r.ok = r.status == 0;
    return r;
}

namespace {
// A private cluster's folder. Under Wine it is below the run's server folder, on the drive
// that holds this machine's files, where the helper that starts the cluster finds it.
QString privateStateTemplate()
{
#ifdef _WIN32
    return qEnvironmentVariable("VELMORA_TEST_PG") + QStringLiteral("/private-XXXXXX");
#else
    return QDir::tempPath() + QStringLiteral("/velmora-XXXXXX");
#endif
}
} // namespace

PrivateCluster::PrivateCluster() : state(privateStateTemplate())
{
    good = script("start");
    conninfoBase = readFile(state.filePath(QStringLiteral("conninfo")));
    good = good && !conninfoBase.isEmpty();
}

PrivateCluster::~PrivateCluster()
{
    script("stop");
}

bool PrivateCluster::script(const char* command)
{
    QStringList args { QStringLiteral("testserver.sh"), QString::fromLatin1(command), state.path() };
#ifdef _WIN32
    // A Windows client has no Unix socket: the cluster listens on 127.0.0.1 with TLS too.
    if (qstrcmp(command, "start") == 0)
        args << QStringLiteral("--tcp");
#endif
    const ServerCommand r = onServerMachine(args);
    if (!r.ok)
        ADD_FAILURE() << "testserver.sh " << command << ": " << r.err.toStdString();
    return r.ok;
}

bool PrivateCluster::halt()
{
    return script("halt");
}

bool PrivateCluster::resume()
{
    return script("resume");
}

bool waitFor(const std::function<bool()>& done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

qint64 longestPause(int ms)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer tick;
    QEventLoop loop;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
        if (last >= ms)
            loop.quit();
    });
    tick.start(10);
    loop.exec();
    return longest;
}

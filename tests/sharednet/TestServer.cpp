#include "TestServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
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

PrivateCluster::PrivateCluster()
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
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(VELMORA_SOURCE_DIR "/scripts/testserver.sh"),
        { QString::fromLatin1(command), state.path() });
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
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

// scripts/netserver.sh as an administrator runs it: a cluster made with fsync on, sign-ins
// with their operator calls and limits, the password file kept to one line per sign-in, and
// plain words when the cluster's owner cannot reach the folder.
#include "TestServer.h"

#include "sharednet/SharedNetServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {
struct ScriptRun {
    bool ok = false;
    QString out, err;
};

ScriptRun netserver(const QStringList& args, const QString& home)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.remove("SUDO_USER");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELMORA_SOURCE_DIR "/scripts/netserver.sh"), args);
    ScriptRun r;
    r.ok = p.waitForFinished(180000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList pgpassLines(const QString& home)
{
    QFile f(home + "/.pgpass");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}
} // namespace

TEST(NetServerScript, MakesSignInsWithCallsLimitsAndOnePasswordLineEach)
{
    QTemporaryDir top;
    ASSERT_TRUE(top.isValid());
    const QString home = top.filePath("home");
    ASSERT_TRUE(QDir().mkpath(home));
    QFile::setPermissions(top.path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther
            | QFile::ReadGroup | QFile::ExeGroup);

    if (geteuid() == 0) {
        // ScriptRun as root, the cluster belongs to an unprivileged user, who cannot pass a closed folder.
        const QString closed = top.filePath("closed");
        ASSERT_TRUE(QDir().mkpath(closed));
        QFile::setPermissions(closed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const ScriptRun r = netserver({ "init", closed + "/net", "--ncs", "N5NCS" }, home);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.err.contains(
            "cannot reach " + closed + "/net: the folder " + closed + " is closed to other users"))
            << r.err.toStdString();
    }
    EXPECT_FALSE(netserver({ "init", top.filePath("x"), "--ncs", "NOTACALL" }, home).ok);

    const QString open = top.filePath("open");
    ASSERT_TRUE(QDir().mkpath(open));
    const QString dir = open + "/net";
    const ScriptRun init = netserver({ "init", dir, "--ncs", "n5ncs", "--logger", "K5LOG" }, home);
    ASSERT_TRUE(init.ok) << init.err.toStdString();
    struct Stop {
        QString dir, home;
        ~Stop() { netserver({ "stop", dir }, home); }
    } stop { dir, home };
    EXPECT_TRUE(init.out.contains("net control: host=" + dir + "/run port=5432 dbname=velmora user=n5ncs"))
        << init.out.toStdString();
    EXPECT_TRUE(init.out.contains("logger: host=" + dir + "/run port=5432 dbname=velmora user=k5log"));
    ASSERT_EQ(pgpassLines(home).size(), 2);
    const QString before = pgpassLines(home).join('\n');

    // A second adduser for the same call replaces its line, with a new password.
    ASSERT_TRUE(netserver({ "adduser", dir, "K5LOG", "logger" }, home).ok);
    const QStringList lines = pgpassLines(home);
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    EXPECT_NE(lines.join('\n'), before);
    EXPECT_EQ(QFile(home + "/.pgpass").permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);

    const QByteArray kept = qgetenv("PGPASSFILE");
    qputenv("PGPASSFILE", (home + "/.pgpass").toUtf8());
    const QString base = "host=" + dir + "/run port=5432 dbname=velmora user=";
    SharedNetServer logger;
    QString message;
    EXPECT_TRUE(logger.connect(base + "k5log", {}, &message)) << message.toStdString();
    EXPECT_EQ(logger.call(), "K5LOG");
    const PgResult settings = logger.connection().exec(
        "SELECT current_setting('statement_timeout') || ' ' || current_setting('lock_timeout') || ' ' || "
        "current_setting('idle_in_transaction_session_timeout') || ' ' || current_setting('temp_file_limit') "
        "|| "
        "' ' || current_setting('fsync')");
    EXPECT_EQ(settings.text(0, 0), "10s 8s 10s 64MB on");
    EXPECT_FALSE(logger.connection().exec("CREATE TEMP TABLE t(x int)").ok());
    // Five connections per sign-in; the net control still gets in.
    std::vector<std::unique_ptr<PgConnection>> more;
    for (int i = 0; i < 10; ++i) {
        auto c = std::make_unique<PgConnection>();
        if (!c->open(connParams(base + "k5log"), {}, nullptr))
            break;
        more.push_back(std::move(c));
    }
    EXPECT_EQ(more.size(), 4u);
    SharedNetServer ncs;
    EXPECT_TRUE(ncs.connect(base + "n5ncs", {}, &message)) << message.toStdString();
    EXPECT_EQ(ncs.call(), "N5NCS");
    kept.isNull() ? qunsetenv("PGPASSFILE") : qputenv("PGPASSFILE", kept);
}

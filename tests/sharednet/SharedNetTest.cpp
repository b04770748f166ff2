// Several operators on one shared net, a server that goes away and a client that is killed.
#include "FileSizeLimit.h"
#include "Operator.h"
#include "TestServer.h"

#include "report/NetExport.h"
#include "report/NetSummary.h"
#include "sharednet/SharedNetText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimeZone>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {
const QString netName = QStringLiteral("Test net 2026-12-09");

bool sameLists(const Operator& a, const Operator& b, int lines)
{
    return a.lines().size() == lines && a.lines() == b.lines() && !a.lines().join(' ').contains('?');
}

// The server process of one connection, stopped as a hung server stops answering, for as long
// as this lives: it runs again whatever becomes of the test, so the cluster can be stopped.
class StoppedServerProcess {
public:
    explicit StoppedServerProcess(qint64 pid) : pid(QString::number(pid))
    {
        stopped = onServerMachine({ "kill", "-STOP", this->pid }).ok;
    }
    ~StoppedServerProcess() { resume(); }
    bool ok() const { return stopped; }
    // It goes on with what it was given.
    void resume()
    {
        if (stopped)
            onServerMachine({ "kill", "-CONT", pid });
        stopped = false;
    }

private:
    QString pid;
    bool stopped = false;
};

// The process that serves the only connection of the sign-in in the test's database.
qint64 serverProcessOf(TestDatabase& db, const char* signIn)
{
    PgConnection admin;
    if (!admin.open(connParams(db.conninfo("velmora_admin")), {}, nullptr))
        return -1;
    const PgResult r = admin.exec(QByteArray("SELECT pid FROM pg_stat_activity WHERE usename = '")
                                      .append(signIn)
                                      .append("' AND datname = current_database()")
                                      .constData());
    return r.ok() && r.rows() == 1 ? r.integer(0, 0).value_or(-1) : -1;
}

// In the place of a stopped server, something that takes connections into its backlog and
// never reads or answers them: on the server's Unix socket, or on its TCP port when the
// server is reached over TCP (from Windows).
class SilentServer {
public:
    explicit SilentServer(const QString& base)
    {
        const auto where = QRegularExpression("host=(\\S+) port=(\\d+)").match(base);
        if (!where.hasMatch())
            return;
#ifdef _WIN32
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET)
            return;
        listener = s;
#else
        if (where.captured(1).startsWith('/')) {
            socketPath = (where.captured(1) + "/.s.PGSQL." + where.captured(2)).toLocal8Bit();
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            if (std::size_t(socketPath.size()) >= sizeof address.sun_path)
                return;
            std::memcpy(address.sun_path, socketPath.constData(), std::size_t(socketPath.size()));
            listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
            good = listener >= 0
                && ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
                && ::listen(listener, 16) == 0;
            return;
        }
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        if (listener < 0)
            return;
#endif
        int on = 1;
        ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(quint16(where.captured(2).toUInt()));
        inet_pton(AF_INET, where.captured(1).toLatin1().constData(), &address.sin_addr);
        good = ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
            && ::listen(listener, 16) == 0;
    }
    ~SilentServer()
    {
#ifdef _WIN32
        if (listener != INVALID_SOCKET)
            ::closesocket(listener);
#else
        if (listener >= 0)
            ::close(listener);
        if (!socketPath.isEmpty())
            ::unlink(socketPath.constData());
#endif
    }
    bool ok() const
    {
        return good;
    }

private:
#ifdef _WIN32
    SOCKET listener = INVALID_SOCKET;
#else
    int listener = -1;
    QByteArray socketPath;
#endif
    bool good = false;
};
} // namespace

TEST(SharedNet, TwoOperatorsAddDeleteAndSetStatusesAndEndIdentical)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    Operator ncs, logger;
    // Lines before sharing go to the server with the share, keeping their numbers.
    ncs.add("W5OLD");
    ncs.add("W5AAA");
    ASSERT_TRUE(ncs.list.remove(0));
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "n5ncs"))
        << ncs.session.message().toStdString();
    ASSERT_TRUE(logger.session.join(db.conninfo("k5log"), netName, "K5LOG"))
        << logger.session.message().toStdString();
    ASSERT_TRUE(waitFor([&] { return logger.lines().size() == 1; }));

    ncs.add("K5ABC");
    ASSERT_TRUE(waitFor([&] { return logger.lines().size() == 2; }));
    logger.add("N5XYZ");
    logger.add("AB5CD");
    ASSERT_TRUE(waitFor([&] { return sameLists(ncs, logger, 4); }))
        << ncs.lines().join('\n').toStdString() << "\n--\n"
        << logger.lines().join('\n').toStdString();
    // Each number is given once, in the order the server took the lines.
    EXPECT_EQ(ncs.lines().first(), "2 W5AAA [] by N5NCS");
    // Another operator's line is shown in place and its status can be set by anyone.
    ASSERT_TRUE(ncs.list.setStatus(ncs.indexOf("N5XYZ"), "M/S"));
    ASSERT_TRUE(logger.list.setStatus(logger.indexOf("K5ABC"), "R"));
    // A logger deletes the lines it logged; the net control any line.
    ASSERT_TRUE(logger.list.remove(logger.indexOf("AB5CD")));
    ASSERT_TRUE(ncs.list.remove(ncs.indexOf("W5AAA")));
    ASSERT_TRUE(waitFor([&] { return sameLists(ncs, logger, 2); }))
        << ncs.lines().join('\n').toStdString() << "\n--\n"
        << logger.lines().join('\n').toStdString();
    EXPECT_TRUE(ncs.lines().join('\n').contains("K5ABC [R] by N5NCS"));
    EXPECT_TRUE(ncs.lines().join('\n').contains("N5XYZ [M/S] by K5LOG"));
    // An undo brings the line back on every list, with its number.
    ASSERT_TRUE(ncs.list.undo());
    ASSERT_TRUE(waitFor([&] { return sameLists(ncs, logger, 3); }));
    EXPECT_TRUE(logger.lines().join('\n').contains("2 W5AAA [] by N5NCS"));

    // The repeat notice covers lines logged by the other operator.
    const JournalEntry& seen = logger.list.at(logger.indexOf("K5ABC"));
    EXPECT_TRUE(repeatNotice("K5ABC", seen).startsWith("K5ABC is already checked in as #3 at "));
    EXPECT_TRUE(repeatNotice("K5ABC", seen).endsWith(" by N5NCS"));
    EXPECT_EQ(ncs.session.label(), "Shared: " + netName + " on " + testServerShownName() + ", 2 operators");

    // What each journal holds is what each list shows, other operators' lines included.
    CheckInList reread(&logger.journal);
    reread.setNumbersProvisional(true); // as the list of a shared net, in number order
    reread.restore(logger.list.netId());
    EXPECT_EQ(reread.lines(), logger.list.lines());
}

// Operators whose computers keep the wrong time: every line, identification and the net itself
// carry the server's time, on every list, journal, export and report.
TEST(SharedNet, AClientWithAWrongClockEndsWithTheServersTimes)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    constexpr qint64 hour = 3600000;
    const auto skewed = [](qint64 by) { return [by] { return QDateTime::currentMSecsSinceEpoch() + by; }; };
    // The test server runs on this computer's clock.
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    Operator ncs({}, skewed(2 * hour)), logger({}, skewed(-3 * hour));
    ncs.add("W5OLD"); // logged before the net is shared
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "N5NCS"))
        << ncs.session.message().toStdString();
    ASSERT_TRUE(waitFor([&] { return ncs.session.waitingChanges() == 0; }));
    ASSERT_TRUE(logger.session.join(db.conninfo("k5log"), netName, "K5LOG"))
        << logger.session.message().toStdString();
    ncs.add("K5ABC");
    ncs.list.markIdentified();
    logger.add("N5XYZ");
    logger.list.markIdentified();
    // The first check-in was an identification too.
    ASSERT_TRUE(waitFor([&] {
        return sameLists(ncs, logger, 3) && ncs.session.waitingChanges() == 0
            && logger.session.waitingChanges() == 0 && ncs.list.identifications().size() == 3
            && ncs.list.identifications() == logger.list.identifications()
            && summarizeNet(ncs.list, "N5NCS").startUtcMs == summarizeNet(logger.list, "N5NCS").startUtcMs
            && summarizeNet(ncs.list, "N5NCS").endUtcMs == summarizeNet(logger.list, "N5NCS").endUtcMs;
    })) << ncs.lines().join('|').toStdString()
        << " / " << logger.lines().join('|').toStdString();
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    const auto serverTime = [&](qint64 t) { return t >= before && t <= after; };

    for (const Operator* op : { &ncs, &logger }) {
        const NetSummary summary = summarizeNet(op->list, "N5NCS");
        EXPECT_TRUE(serverTime(summary.startUtcMs)) << summary.startUtcMs - before;
        EXPECT_TRUE(serverTime(summary.endUtcMs)) << summary.endUtcMs - before;
        for (const qint64 t : op->list.identifications())
            EXPECT_TRUE(serverTime(t)) << t - before;
        // What the journal keeps is what the list shows: a restart or a crash changes no time.
        NetJournal& journal = const_cast<Operator*>(op)->journal;
        const std::int64_t net = op->list.netId();
        EXPECT_TRUE(serverTime(journal.netStarted(net))) << journal.netStarted(net) - before;
        EXPECT_EQ(journal.identifications(net), op->list.identifications());
        for (const JournalEntry& kept : journal.entries(net)) {
            if (kept.dateLine)
                continue;
            const int index = op->list.findCall(kept.call);
            ASSERT_GE(index, 0) << kept.call.toStdString();
            EXPECT_EQ(kept.utcMs, op->list.at(index).utcMs) << kept.call.toStdString();
            EXPECT_TRUE(serverTime(kept.utcMs)) << kept.call.toStdString();
        }
    }
    EXPECT_EQ(ncs.journal.netStarted(ncs.list.netId()), logger.journal.netStarted(logger.list.netId()));
    // Every line of the export is the same on both, times included.
    const auto rows = [](const Operator& op) {
        const QByteArray csv = netCsv(summarizeNet(op.list, "N5NCS"), currentNet(op.list), QTimeZone::utc());
        QStringList out;
        for (const QByteArray& row : csv.split('\n'))
            for (const char* call : { "W5OLD", "K5ABC", "N5XYZ" })
                if (row.contains(call))
                    out << QString::fromUtf8(row);
        return out;
    };
    EXPECT_EQ(rows(ncs).size(), 3);
    EXPECT_EQ(rows(ncs), rows(logger));
}

TEST(SharedNet, ServerStoppedAndStartedMidNetLosesAndDoublesNothing)
{
    PrivateCluster cluster;
    ASSERT_TRUE(cluster.ok());
    TestDatabase db(cluster.base());
    ASSERT_TRUE(db.ok());
    Operator ncs, logger;
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "N5NCS"))
        << ncs.session.message().toStdString();
    ASSERT_TRUE(logger.session.join(db.conninfo("k5log"), netName, "K5LOG"));
    ncs.add("K5AAA");
    logger.add("K5BBB");
    ASSERT_TRUE(waitFor([&] { return sameLists(ncs, logger, 2); }));

    QSignalSpy ncsState(&ncs.session, &SharedNetSession::connectionChanged);
    ASSERT_TRUE(cluster.halt());
    ASSERT_TRUE(waitFor([&] { return !ncs.session.isOnline() && !logger.session.isOnline(); }, 20000));
    // Both go on while the server is away; their lines wait with a provisional mark.
    ncs.add("W5CCC");
    ncs.add("W5DDD");
    logger.add("N5EEE");
    ASSERT_TRUE(logger.list.setStatus(logger.indexOf("K5AAA"), "OUT"));
    EXPECT_EQ(ncs.session.label(), "OFFLINE: 2 changes waiting");
    EXPECT_TRUE(ncs.list.line(ncs.indexOf("W5DDD")).startsWith("4?  W5DDD"));

    ASSERT_TRUE(cluster.resume());
    ASSERT_TRUE(waitFor([&] { return sameLists(ncs, logger, 5); }, 30000))
        << ncs.lines().join('\n').toStdString() << "\n--\n"
        << logger.lines().join('\n').toStdString();
    const QStringList lines = ncs.lines();
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].startsWith(QString::number(i + 1) + ' ')) << lines[i].toStdString();
    EXPECT_TRUE(lines.join('\n').contains("K5AAA [OUT] by N5NCS"));
    EXPECT_EQ(ncs.session.waitingChanges(), 0);
    EXPECT_GE(ncsState.count(), 2); // off line, then on line again
    EXPECT_TRUE(ncs.session.label().startsWith("Shared: "));
}

// While the server's place is held by something that takes the connection and never answers
// (a server across a network that went away), reconnecting waits on its own: the page's event
// loop keeps running, and the lines logged meanwhile go out when the real server is back.
TEST(SharedNet, AServerThatNeverAnswersDoesNotHoldUpThePage)
{
    PrivateCluster cluster;
    ASSERT_TRUE(cluster.ok());
    TestDatabase db(cluster.base());
    ASSERT_TRUE(db.ok());
    Operator ncs;
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "N5NCS"));
    ncs.add("K5AAA");
    ASSERT_TRUE(waitFor([&] { return ncs.session.waitingChanges() == 0; }));

    ASSERT_TRUE(cluster.halt());
    {
        const SilentServer silent(cluster.base());
        ASSERT_TRUE(silent.ok()) << cluster.base().toStdString();

        ncs.add("W5BBB"); // finds the server gone, and starts reconnecting
        ASSERT_TRUE(waitFor([&] { return !ncs.session.isOnline(); }, 20000));
        // The connect timeout is 5 s; the loop must never stop for anything like that.
        EXPECT_LT(longestPause(7000), 1000);
        ncs.add("N5CCC");
    }
    ASSERT_TRUE(cluster.resume());
    ASSERT_TRUE(waitFor([&] { return ncs.session.isOnline() && ncs.session.waitingChanges() == 0; }, 30000));
    EXPECT_EQ(
        ncs.lines(), (QStringList { "1 K5AAA [] by N5NCS", "2 W5BBB [] by N5NCS", "3 N5CCC [] by N5NCS" }));
}

// The server process of this operator's connection stops answering in the middle of a net:
// the statement waits on its worker while the page goes on, then the session counts the
// server as gone, connects anew and sends again; the change that reached the stopped process
// too is applied once.
TEST(SharedNet, AStatementThatIsNeverAnsweredLeavesThePageFreeAndIsSentOnce)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    Operator ncs;
    ncs.session.setStatementWait(2000);
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "N5NCS"));
    ncs.add("K5AAA");
    ASSERT_TRUE(waitFor([&] { return ncs.session.waitingChanges() == 0; }));

    const qint64 backend = serverProcessOf(db, "n5ncs");
    ASSERT_GT(backend, 0);
    StoppedServerProcess stopped(backend);
    ASSERT_TRUE(stopped.ok());

    ncs.add("W5BBB");
    EXPECT_LT(longestPause(1500), 1000);
    ncs.add("N5CCC"); // logged while the statement is still out
    ASSERT_TRUE(waitFor([&] { return ncs.session.isOnline() && ncs.session.waitingChanges() == 0; }, 30000))
        << ncs.session.message().toStdString();
    stopped.resume(); // it now runs the change it was given: already applied
    Operator check;
    ASSERT_TRUE(check.session.join(db.conninfo("k5log"), netName, "K5LOG"));
    const QStringList want { "1 K5AAA [] by N5NCS", "2 W5BBB [] by N5NCS", "3 N5CCC [] by N5NCS" };
    EXPECT_TRUE(waitFor([&] { return check.lines() == want && ncs.lines() == want; }, 10000))
        << check.lines().join('|').toStdString() << " / " << ncs.lines().join('|').toStdString();
}

TEST(SharedNet, ChangesOfAClientKilledBeforeSendingThemGoOutOnItsNextStart)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    QTemporaryDir folder;
    QProcess child;
    child.start(QStringLiteral(VELMORA_BINARY_DIR "/bin/velmora-sharednet-child"),
        { folder.path(), db.conninfo("n5ncs"), netName, "5" });
    ASSERT_TRUE(child.waitForStarted());
    QByteArray out;
    while (out.count('\n') < 5 && child.waitForReadyRead(30000))
        out += child.readAllStandardOutput();
    ASSERT_EQ(out.count('\n'), 5) << out.constData() << child.readAllStandardError().constData();
    child.kill(); // SIGKILL, or TerminateProcess on Windows: no chance to tidy up
    child.waitForFinished();

    // Nothing reached the server: every line was durable locally and waiting.
    Operator watcher;
    ASSERT_TRUE(watcher.session.join(db.conninfo("k5log"), netName, "K5LOG"));
    EXPECT_TRUE(watcher.lines().isEmpty());

    Operator restarted(folder.path());
    const auto pending = restarted.journal.pendingNet();
    ASSERT_TRUE(pending);
    restarted.list.restore(pending->id);
    EXPECT_EQ(restarted.list.checkInCount(), 5);
    ASSERT_TRUE(restarted.session.resume());
    ASSERT_TRUE(waitFor([&] { return sameLists(restarted, watcher, 5); }))
        << restarted.lines().join('\n').toStdString() << "\n--\n"
        << watcher.lines().join('\n').toStdString();
    EXPECT_EQ(restarted.session.waitingChanges(), 0);
}

// A key pressed while one of the session's statements waits on a server that does not answer
// is handled once, from the page's own event loop and at once; never from inside a wait of
// the session, and its change goes out after the statement, once.
TEST(SharedNet, AKeyPressedWhileAStatementWaitsIsHandledOnceAndNeverInsideTheWait)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    Operator ncs;
    ncs.session.setStatementWait(4000);
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "N5NCS"));
    ncs.add("K5AAA");
    ASSERT_TRUE(waitFor([&] {
        return ncs.session.state() == SharedNetSession::State::Live && ncs.session.waitingChanges() == 0;
    }));

    const qint64 backend = serverProcessOf(db, "n5ncs");
    ASSERT_GT(backend, 0);
    StoppedServerProcess stopped(backend);
    ASSERT_TRUE(stopped.ok());

    ncs.add("W5BBB"); // its statement waits on the stopped server process
    ASSERT_TRUE(waitFor([&] { return ncs.session.isWaiting(); }));

    struct KeyBox : QLineEdit {
        std::function<void()> pressed;
        void keyPressEvent(QKeyEvent* e) override
        {
            pressed();
            QLineEdit::keyPressEvent(e);
        }
    } box;
    box.show();
    int presses = 0, level = -1, baseLevel = -1;
    bool statementOut = false;
    box.pressed = [&] {
        ++presses;
        level = QThread::currentThread()->loopLevel();
        statementOut = ncs.session.isWaiting();
        ncs.add("N5CCC");
    };
    QTimer::singleShot(0, &box, [&] { baseLevel = QThread::currentThread()->loopLevel(); });
    QCoreApplication::postEvent(&box, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    ASSERT_TRUE(waitFor([&] { return presses > 0; }, 1000));
    waitFor([] { return false; }, 300); // time for a second delivery, if there were one
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(box.text(), "a");
    // The loop that delivered the key is the page's own, not one run inside the session.
    EXPECT_EQ(level, baseLevel);
    EXPECT_TRUE(statementOut); // handled while the statement was out, not held until it came back
    EXPECT_TRUE(ncs.list.line(ncs.indexOf("N5CCC")).startsWith("3?  N5CCC"));
    EXPECT_EQ(ncs.session.waitingChanges(), 2);

    stopped.resume();
    ASSERT_TRUE(waitFor([&] { return ncs.session.isOnline() && ncs.session.waitingChanges() == 0; }, 30000))
        << ncs.session.message().toStdString();
    Operator check;
    ASSERT_TRUE(check.session.join(db.conninfo("k5log"), netName, "K5LOG"));
    const QStringList want { "1 K5AAA [] by N5NCS", "2 W5BBB [] by N5NCS", "3 N5CCC [] by N5NCS" };
    EXPECT_TRUE(waitFor([&] { return check.lines() == want && ncs.lines() == want; }, 10000))
        << check.lines().join('|').toStdString() << " / " << ncs.lines().join('|').toStdString();
}

// A logger restored after a crash shows, exports, prints and times the net exactly as it did
// before: its date line heads the list, the lines stand in number order, the lines logged off
// line stand last with their mark and move to their places once numbered.
TEST(SharedNet, ALoggerRestoredAfterACrashShowsAndExportsTheNetAsBefore)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    Operator ncs;
    ncs.list.addDateLine("12/9/26");
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "N5NCS"));
    ncs.add("K5AAA");
    ncs.add("K5BBB");
    ASSERT_TRUE(waitFor([&] { return ncs.session.waitingChanges() == 0; }));

    QTemporaryDir folder;
    QStringList before;
    NetSummary summary;
    QByteArray csv;
    {
        Operator logger(folder.path());
        ASSERT_TRUE(logger.session.join(db.conninfo("k5log"), netName, "K5LOG"));
        EXPECT_EQ(logger.session.netControl(), "N5NCS");
        ASSERT_EQ(logger.lines().size(), 2);
        logger.session.setBackoff(60000, 60000);
        logger.session.dropConnection();
        logger.add("W5OFF1");
        logger.add("W5OFF2");
        ncs.add("K5CCC"); // numbered 3 while the logger is away
        ASSERT_TRUE(waitFor([&] { return ncs.session.waitingChanges() == 0; }));
        before = logger.list.lines();
        summary = summarizeNet(logger.list, "N5NCS");
        csv = netCsv(summary, currentNet(logger.list), QTimeZone::utc());
    }
    ASSERT_EQ(before.size(), 5);
    EXPECT_TRUE(before[0].startsWith("DATE")) << before[0].toStdString();
    EXPECT_TRUE(before[3].startsWith("3?  W5OFF1")) << before[3].toStdString();
    EXPECT_EQ(summary.count, 4);
    EXPECT_GT(summary.startUtcMs, 0);

    Operator restored(folder.path());
    restored.session.setBackoff(60000, 60000);
    const auto pending = restored.journal.pendingNet();
    ASSERT_TRUE(pending);
    restored.list.restore(pending->id);
    ASSERT_TRUE(restored.session.resume());
    EXPECT_EQ(restored.list.lines(), before);
    const NetSummary again = summarizeNet(restored.list, "N5NCS");
    EXPECT_EQ(again.count, summary.count);
    EXPECT_EQ(again.startUtcMs, summary.startUtcMs);
    EXPECT_EQ(again.identifications, summary.identifications);
    EXPECT_EQ(netCsv(again, currentNet(restored.list), QTimeZone::utc()), csv);

    // Back on line, the lines logged meanwhile take their numbers and their places.
    ASSERT_TRUE(waitFor([&] { return sameLists(restored, ncs, 5); }, 20000))
        << restored.lines().join('|').toStdString() << " / " << ncs.lines().join('|').toStdString();
    QStringList order;
    for (int i = 1; i < restored.list.size(); ++i)
        order << QString::number(restored.list.at(i).number);
    EXPECT_EQ(order, (QStringList { "1", "2", "3", "4", "5" }));
    EXPECT_TRUE(restored.list.at(0).dateLine);
}

// Not built for Windows: it stands in for a full disk with a limit on the size of the process's files, which
// Windows does not have.
#ifndef _WIN32
// A client whose disk is full: it says at once that its lines are neither protected nor yet
// sent, never counts them as none waiting, sends them from memory, and after a restart reads
// back from the server everything since the last change it could write. Nothing is lost.
TEST(SharedNet, AClientThatCannotWriteItsJournalSaysSoKeepsItsLinesAndSendsThem)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    SharedNetServer other; // another operator, straight at the server
    QString message;
    ASSERT_TRUE(other.connect(db.conninfo("n5ncs"), {}, &message)) << message.toStdString();
    const auto net = other.shareNet(NetOutbox::newUid(), netName, "N5NCS", 1765000000000, &message);
    ASSERT_TRUE(net) << message.toStdString();
    const auto addOther = [&](const QString& call) {
        OutboxChange c;
        c.uid = c.lineUid = NetOutbox::newUid();
        c.kind = QStringLiteral("add");
        c.entry.call = call;
        c.entry.loggedBy = QStringLiteral("N5NCS");
        c.utcMs = 1765000000000;
        return other.send(*net, c).state == SharedNetServer::Sent::Done;
    };
    ASSERT_TRUE(addOther("K5AAA"));

    QTemporaryDir folder;
    QStringList before;
    {
        Operator logger(folder.path());
        ASSERT_TRUE(logger.session.join(db.conninfo("k5log"), netName, "K5LOG"));
        ASSERT_EQ(logger.lines(), QStringList { "1 K5AAA [] by N5NCS" });
        {
            const FileSizeLimit full(0); // no file of this process can be written now
            logger.add("W5FULL1");
            logger.add("W5FULL2");
            // A status set now is kept and sent too, as the lines are.
            ASSERT_TRUE(logger.list.setStatus(logger.indexOf("K5AAA"), "OUT"));
            EXPECT_TRUE(logger.list.journalProblem().contains("not yet sent to the other operators"))
                << logger.list.journalProblem().toStdString();
            EXPECT_GE(logger.session.waitingChanges(), 2);
            logger.session.dropConnection();
            EXPECT_TRUE(logger.session.label().startsWith("OFFLINE: "));
            EXPECT_NE(logger.session.label(), "OFFLINE: 0 changes waiting");
            ASSERT_TRUE(addOther("K5OTHER"));
            ASSERT_TRUE(waitFor(
                [&] {
                    return logger.session.isOnline() && logger.session.waitingChanges() == 0
                        && logger.lines().size() == 4 && !logger.lines().join(' ').contains('?');
                },
                20000))
                << logger.lines().join('|').toStdString();
        }
        before = logger.lines();
    }
    EXPECT_EQ(before.size(), 4);
    EXPECT_TRUE(before.contains("1 K5AAA [OUT] by N5NCS")) << before.join('|').toStdString();
    PgConnection admin;
    ASSERT_TRUE(admin.open(connParams(db.conninfo("velmora_admin")), {}, nullptr));
    EXPECT_EQ(admin.exec("SELECT count(*) FROM velmora.checkins WHERE call LIKE 'W5FULL%'").integer(0, 0), 2);

    Operator restarted(folder.path());
    const auto pending = restarted.journal.pendingNet();
    ASSERT_TRUE(pending);
    restarted.list.restore(pending->id);
    ASSERT_TRUE(restarted.session.resume());
    EXPECT_TRUE(waitFor([&] { return restarted.lines() == before; }, 20000))
        << restarted.lines().join('|').toStdString() << " / " << before.join('|').toStdString();
}

// A client whose disk was full and has room again: without a restart, its journal gets what it
// showed meanwhile (its own lines, others' lines and a status), read again from the server.
TEST(SharedNet, AClientWhoseDiskHasRoomAgainWritesWhatItMissedWithoutARestart)
{
    TestDatabase db;
    ASSERT_TRUE(db.ok());
    Operator ncs, logger;
    ASSERT_TRUE(ncs.session.share(db.conninfo("n5ncs"), netName, "N5NCS"));
    ncs.add("K5AAA");
    ASSERT_TRUE(waitFor([&] { return ncs.session.waitingChanges() == 0; }));
    ASSERT_TRUE(logger.session.join(db.conninfo("k5log"), netName, "K5LOG"));
    ASSERT_EQ(logger.lines(), QStringList { "1 K5AAA [] by N5NCS" });
    const auto journalLines = [&] {
        CheckInList reread(&logger.journal);
        reread.setNumbersProvisional(true);
        reread.restore(logger.list.netId());
        return reread.lines();
    };
    {
        const FileSizeLimit full(0);
        logger.add("W5FULL");
        ncs.add("K5OTHER");
        ASSERT_TRUE(ncs.list.setStatus(ncs.indexOf("K5AAA"), "R"));
        ASSERT_TRUE(waitFor([&] {
            return logger.lines().size() == 3 && logger.lines().contains("1 K5AAA [R] by N5NCS")
                && logger.session.waitingChanges() == 0 && !logger.lines().join(' ').contains('?');
        })) << logger.lines().join('|').toStdString();
        EXPECT_FALSE(logger.list.journalProblem().isEmpty());
    }
    // Room again: the journal is written within a retry or two, with every line as shown.
    ASSERT_TRUE(waitFor([&] { return logger.list.journalProblem().isEmpty(); }, 8000))
        << logger.list.journalProblem().toStdString();
    ASSERT_TRUE(waitFor([&] { return journalLines() == logger.list.lines(); }, 8000))
        << journalLines().join('|').toStdString() << " / " << logger.list.lines().join('|').toStdString();
    EXPECT_EQ(logger.lines().size(), 3);
    // And protected from now on: a new line goes to the journal at once.
    logger.add("W5ROOM");
    ASSERT_TRUE(waitFor([&] { return logger.session.waitingChanges() == 0; }));
    EXPECT_TRUE(logger.list.journalProblem().isEmpty());
    EXPECT_EQ(journalLines(), logger.list.lines());
}
#endif

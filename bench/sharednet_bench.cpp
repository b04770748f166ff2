// A shared net under load, measured per operator: a cluster made as scripts/netserver.sh
// makes it (fsync on, every sign-in with its limits), one process per operator, each with its
// own sign-in, journal, list and session, each checking in one station a second. Reported:
// the time from one operator's add to the line on every other operator's list (median, p99,
// max), lines lost, doubled or left provisional, lists that differ, the server's CPU; then
// how long an operator joining a net of 5,000 check-ins waits for the whole list.
//
//   sharednet_bench [SECONDS] [OPERATORS]      (defaults 120 and 20; run as root, or as the
//                                               user who may own the cluster)
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"
#include "sharednet/SharedNetSession.h"
#include "sharednet/SharedStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <unistd.h>

namespace {
qint64 clockUs()
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

QString netserver(const QStringList& args, const QString& home, bool* ok = nullptr)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.remove("SUDO_USER");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELMORA_SOURCE_DIR "/scripts/netserver.sh"), args);
    const bool done = p.waitForFinished(300000) && p.exitCode() == 0;
    if (ok)
        *ok = done;
    if (!done)
        std::fprintf(stderr, "netserver.sh %s: %s\n", qPrintable(args.join(' ')),
            p.readAllStandardError().constData());
    return QString::fromUtf8(p.readAllStandardOutput());
}

// CPU seconds used so far by the server and every process it started, ended ones included.
double serverCpu(const QString& dataDir)
{
    QFile pidFile(dataDir + QStringLiteral("/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return 0;
    const long postmaster = QString::fromUtf8(pidFile.readLine()).trimmed().toLong();
    double ticks = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const long pid = entry.toLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(stat.readAll());
        const QStringList f = text.mid(text.lastIndexOf(')') + 2).split(' ');
        // The postmaster's own time and that of the backends it has reaped, and the live ones'.
        if (f.size() > 14 && pid == postmaster)
            ticks += f[11].toDouble() + f[12].toDouble() + f[13].toDouble() + f[14].toDouble();
        else if (f.size() > 13 && f[1].toLong() == postmaster)
            ticks += f[11].toDouble() + f[12].toDouble();
    }
    return ticks / double(sysconf(_SC_CLK_TCK));
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

// Runs the event loop for ms, asleep between events (a busy loop would take the CPU the
// other operators and the server need).
void pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Told of every line put in a list, as any part that follows the list is.
struct Inserted : CheckInListObserver {
    std::function<void(int)> told;
    void aboutToInsert(int) override { }
    void inserted(int index) override { told(index); }
    void aboutToRemove(int) override { }
    void removed(int) override { }
    void changed(int) override { }
    void aboutToReset() override { }
    void reset() override { }
};

// One operator: shares (index 0) or joins the net, adds a line a second from startUs on, at
// its place in the second, and prints what it sent, what it saw when, and its list at the end.
int operatorMain(int index, int count, int seconds, const QString& conninfo, qint64 startUs)
{
    QTemporaryDir dir;
    NetJournal journal(dir.path());
    SharedStore store(journal);
    CheckInList list(&store);
    SharedNetSession session(store, list);
    const QString call = QStringLiteral("K%1BEN").arg(index);
    const bool ok
        = index == 0 ? session.share(conninfo, "Bench net", call) : session.join(conninfo, "Bench net", call);
    if (!ok) {
        std::printf("error %s\n", qPrintable(session.message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::vector<std::pair<QString, qint64>> seen;
    Inserted inserted;
    inserted.told = [&](int index) { seen.emplace_back(list.at(index).call, clockUs()); };
    list.addObserver(&inserted);
    std::vector<std::pair<QString, qint64>> sent;
    QEventLoop loop;
    int tick = 0;
    std::function<void()> next = [&] {
        if (tick == seconds) {
            loop.quit();
            return;
        }
        const qint64 due = startUs + qint64(tick) * 1000000 + qint64(index) * 1000000 / count;
        QTimer::singleShot(std::max<qint64>(0, (due - clockUs()) / 1000), Qt::PreciseTimer, &loop, [&] {
            const QString station = QStringLiteral("W%1X%2").arg(index).arg(tick);
            sent.emplace_back(station, clockUs());
            list.addCheckIn({ station, "Bench", "Waco", "TX" }, CheckInSource::Manual);
            ++tick;
            next();
        });
    };
    next();
    loop.exec();
    pump(8000);
    for (const auto& [c, t] : sent)
        std::printf("sent %s %lld\n", qPrintable(c), t);
    for (const auto& [c, t] : seen)
        std::printf("seen %s %lld\n", qPrintable(c), t);
    for (int k = 0; k < list.size(); ++k)
        if (!list.at(k).dateLine)
            std::printf("line %d %s %d\n", list.at(k).number, qPrintable(list.at(k).call),
                list.at(k).provisional ? 1 : 0);
    std::printf("end\n");
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 7 && QByteArray(argv[1]) == "--operator")
        return operatorMain(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
            QString::fromLocal8Bit(argv[5]), QByteArray(argv[6]).toLongLong());
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 120;
    const int count = argc > 2 ? std::atoi(argv[2]) : 20;

    // The cluster in a folder every user may pass, its password file in a home of its own.
    QTemporaryDir top(QStringLiteral("/tmp/vbench.XXXXXX"));
    QFile::setPermissions(top.path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther
            | QFile::ReadGroup | QFile::ExeGroup);
    const QString home = top.filePath("home"), dir = top.filePath("net");
    QDir().mkpath(home);
    bool ok = false;
    QElapsedTimer setup;
    setup.start();
    netserver({ "init", dir, "--ncs", "K0BEN" }, home, &ok);
    if (!ok)
        return 1;
    struct Stop {
        QString dir, home;
        ~Stop() { netserver({ "stop", dir }, home); }
    } stop { dir, home };
    for (int i = 1; i < count && ok; ++i)
        netserver({ "adduser", dir, QStringLiteral("K%1BEN").arg(i), "logger" }, home, &ok);
    if (!ok)
        return 1;
    qputenv("PGPASSFILE", (home + "/.pgpass").toUtf8());
    const QString base = QStringLiteral("host=%1/run port=5432 dbname=velmora user=").arg(dir);
    std::printf("cluster and %d sign-ins made in %.1f s\n", count, double(setup.elapsed()) / 1000.0);

    // The net control shares first; then every logger joins; all start adding together.
    const qint64 startUs = clockUs() + 5000000 + qint64(count) * 200000;
    std::vector<std::unique_ptr<QProcess>> ops;
    for (int i = 0; i < count; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::SeparateChannels);
        p->start(QCoreApplication::applicationFilePath(),
            { "--operator", QString::number(i), QString::number(count), QString::number(seconds),
                base + QStringLiteral("k%1ben").arg(i), QString::number(startUs) });
        if (i == 0) {
            while (p->state() != QProcess::NotRunning && !p->canReadLine())
                p->waitForReadyRead(100);
            const QByteArray first = p->readLine().trimmed();
            if (first != "ready") {
                std::fprintf(stderr, "the net control could not share: %s\n", first.constData());
                return 1;
            }
        }
        ops.push_back(std::move(p));
    }
    while (clockUs() < startUs)
        QThread::msleep(20);
    const double cpuBefore = serverCpu(dir + "/data");
    const qint64 wallStart = clockUs();
    for (auto& p : ops)
        p->waitForFinished(seconds * 1000 + 120000);
    const double elapsed = double(clockUs() - wallStart) / 1e6;
    const double cpu = serverCpu(dir + "/data") - cpuBefore;

    std::map<QString, qint64> sentAt;
    std::map<QString, int> sentBy;
    std::vector<std::map<QString, qint64>> seenBy { std::size_t(count) };
    std::vector<std::vector<std::pair<int, QString>>> finalLines { std::size_t(count) };
    int provisional = 0, failed = 0;
    for (int i = 0; i < count; ++i) {
        const QStringList out = QString::fromUtf8(ops[std::size_t(i)]->readAllStandardOutput()).split('\n');
        if (!out.contains("end"))
            ++failed;
        for (const QString& line : out) {
            const QStringList f = line.split(' ');
            if (f.size() == 3 && f[0] == "sent") {
                sentAt[f[1]] = f[2].toLongLong();
                sentBy[f[1]] = i;
            } else if (f.size() == 3 && f[0] == "seen") {
                seenBy[std::size_t(i)].emplace(f[1], f[2].toLongLong());
            } else if (f.size() == 4 && f[0] == "line") {
                finalLines[std::size_t(i)].emplace_back(f[1].toInt(), f[2]);
                provisional += f[3] == "1" ? 1 : 0;
            }
        }
    }
    std::vector<double> everyOther, eachOther;
    int incomplete = 0;
    for (const auto& [call, at] : sentAt) {
        qint64 last = 0;
        bool all = true;
        for (int i = 0; i < count; ++i) {
            if (i == sentBy[call])
                continue;
            const auto it = seenBy[std::size_t(i)].find(call);
            if (it == seenBy[std::size_t(i)].end()) {
                all = false;
                continue;
            }
            eachOther.push_back(double(it->second - at) / 1000.0);
            last = std::max(last, it->second);
        }
        if (all)
            everyOther.push_back(double(last - at) / 1000.0);
        else
            ++incomplete;
    }
    int lost = 0, doubled = 0, differing = 0;
    std::vector<std::pair<int, QString>> reference;
    for (int i = 0; i < count; ++i) {
        auto lines = finalLines[std::size_t(i)];
        std::map<QString, int> calls;
        for (const auto& l : lines)
            ++calls[l.second];
        for (const auto& [call, at] : sentAt) {
            const int n = calls.count(call) ? calls[call] : 0;
            lost += n == 0 ? 1 : 0;
            doubled += n > 1 ? n - 1 : 0;
        }
        std::sort(lines.begin(), lines.end());
        if (i == 0)
            reference = lines;
        else
            differing += lines != reference ? 1 : 0;
    }
    std::printf(
        "operators %d (one process and sign-in each), seconds %d, check-ins sent %zu, operators failed %d\n",
        count, seconds, sentAt.size(), failed);
    std::printf("Enter to the line on every other list: median %.1f ms, p99 %.1f ms, max %.1f ms "
                "(%d lines not on every list)\n",
        percentile(everyOther, 0.5), percentile(everyOther, 0.99), percentile(everyOther, 1.0), incomplete);
    std::printf("Enter to the line on one other list:   median %.1f ms, p99 %.1f ms\n",
        percentile(eachOther, 0.5), percentile(eachOther, 0.99));
    std::printf("lines lost %d, doubled %d, still provisional %d, lists differing from the first %d\n", lost,
        doubled, provisional, differing);
    std::printf("server CPU %.1f s over %.1f s (%.1f%% of one core)\n", cpu, elapsed, 100.0 * cpu / elapsed);
    std::fflush(stdout);

    // Joining a net of 5,000 check-ins, logged by its net control.
    {
        QTemporaryDir sdir;
        NetJournal sj(sdir.path());
        SharedStore sstore(sj);
        CheckInList slist(&sstore);
        SharedNetSession source(sstore, slist);
        if (!source.share(base + "k0ben", "Big net", "K0BEN")) {
            std::fprintf(stderr, "%s\n", qPrintable(source.message()));
            return 1;
        }
        for (int i = 0; i < 5000; ++i)
            slist.addCheckIn({ QStringLiteral("W%1BIG").arg(i), "Big", "Waco", "TX" }, CheckInSource::Manual);
        while (source.waitingChanges() > 0)
            pump(50);
        for (int run = 0; run < 3; ++run) {
            QTemporaryDir jdir;
            NetJournal jj(jdir.path());
            SharedStore jstore(jj);
            CheckInList jlist(&jstore);
            SharedNetSession joiner(jstore, jlist);
            QElapsedTimer t;
            t.start();
            const bool joined = joiner.join(base + "k1ben", "Big net", "K1BEN");
            const double ms = double(t.nsecsElapsed()) / 1e6;
            std::printf("join a net of 5000: %s, %d lines after %.0f ms\n", joined ? "joined" : "failed",
                jlist.checkInCount(), ms);
        }
    }
    return 0;
}

// A shared net under load, on a throwaway local cluster: 20 operators each checking in one
// station a second; the time from one operator's add to the line on every other operator's
// list, lines lost or doubled, the server's CPU; then how long an operator joining a net of
// 2,000 check-ins waits for the whole list.
//
//   sharednet_bench [SECONDS] [OPERATORS]      (defaults 120 and 20)
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"
#include "sharednet/SharedNetSession.h"
#include "sharednet/SharedStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <unistd.h>

namespace {
struct Op {
    QTemporaryDir dir;
    NetJournal journal { dir.path() };
    SharedStore store { journal };
    CheckInList list { &store };
    SharedNetSession session { store, list };
};

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

QString script(const QString& command, const QString& state)
{
    QProcess p;
    p.start(QStringLiteral(VELMORA_SOURCE_DIR "/scripts/testserver.sh"), { command, state });
    p.waitForFinished(180000);
    QFile f(state + QStringLiteral("/conninfo"));
    return p.exitCode() == 0 && f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed()
                                                            : QString();
}

// CPU seconds used so far by the server and every process it started.
double serverCpu(const QString& state)
{
    QFile c(state + QStringLiteral("/cluster"));
    if (!c.open(QIODevice::ReadOnly))
        return 0;
    QFile pidFile(QString::fromUtf8(c.readAll()).trimmed() + QStringLiteral("/data/postmaster.pid"));
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
        if (f.size() > 13 && (pid == postmaster || f[1].toLong() == postmaster))
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

void pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 120;
    const int count = argc > 2 ? std::atoi(argv[2]) : 20;
    QTemporaryDir state;
    const QString base = script(QStringLiteral("start"), state.path());
    if (base.isEmpty()) {
        std::fprintf(stderr, "no test server could be started\n");
        return 1;
    }
    {
        PgConnection admin;
        admin.open(connParams(base + " user=velmora_admin dbname=postgres"), {}, nullptr);
        admin.exec("CREATE DATABASE bench TEMPLATE velmora_template");
        admin.exec("CREATE DATABASE joinbench TEMPLATE velmora_template");
    }
    const QString db = base + QStringLiteral(" dbname=bench user=");

    std::vector<std::unique_ptr<Op>> ops;
    for (int i = 0; i < count; ++i)
        ops.push_back(std::make_unique<Op>());
    if (!ops[0]->session.share(db + "n5ncs", "Bench net", "N5NCS")) {
        std::fprintf(stderr, "%s\n", qPrintable(ops[0]->session.message()));
        return 1;
    }
    for (int i = 1; i < count; ++i)
        if (!ops[std::size_t(i)]->session.join(db + "k5log", "Bench net", QStringLiteral("K%1OP").arg(i))) {
            std::fprintf(stderr, "%s\n", qPrintable(ops[std::size_t(i)]->session.message()));
            return 1;
        }

    // When each call was added, and on how many other lists it has appeared.
    QElapsedTimer clock;
    clock.start();
    struct Sent {
        qint64 at = 0;
        int seen = 0;
        int from = 0;
    };
    std::map<QString, Sent> sent;
    std::vector<double> everyOther, eachOther;
    std::vector<std::unique_ptr<Inserted>> observers;
    for (int i = 0; i < count; ++i) {
        Op* op = ops[std::size_t(i)].get();
        observers.push_back(std::make_unique<Inserted>());
        op->list.addObserver(observers.back().get());
        observers.back()->told = [&, op, i](int index) {
            auto it = sent.find(op->list.at(index).call);
            if (it == sent.end() || it->second.from == i)
                return;
            const double ms = double(clock.nsecsElapsed() / 1000) / 1000.0 - double(it->second.at) / 1000.0;
            eachOther.push_back(ms);
            if (++it->second.seen == count - 1)
                everyOther.push_back(ms);
        };
    }

    const double cpuBefore = serverCpu(state.path());
    QElapsedTimer wall;
    wall.start();
    int added = 0;
    qint64 late = 0;
    for (int tick = 0; tick < seconds; ++tick) {
        for (int i = 0; i < count; ++i) {
            // Each operator adds once a second, the operators spread over the second; an add
            // that falls behind its time is made at once, and the lag is reported.
            const qint64 due = qint64(tick) * 1000 + qint64(i) * 1000 / count;
            while (wall.elapsed() < due)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            late = std::max(late, wall.elapsed() - due);
            const QString call = QStringLiteral("K%1X%2").arg(i).arg(tick);
            sent[call] = { clock.nsecsElapsed() / 1000, 0, i };
            ops[std::size_t(i)]->list.addCheckIn({ call, "Bench", "Waco", "TX" }, CheckInSource::Manual);
            ++added;
        }
    }
    const double addingSeconds = double(wall.elapsed()) / 1000.0;
    pump(3000);
    const double cpu = serverCpu(state.path()) - cpuBefore;
    const double elapsed = double(wall.elapsed()) / 1000.0;

    // Every list must hold every line once, under the same numbers.
    int lost = 0, doubled = 0, provisional = 0, differing = 0;
    QStringList reference;
    for (int i = 0; i < count; ++i) {
        const CheckInList& list = ops[std::size_t(i)]->list;
        std::map<QString, int> calls;
        QStringList lines;
        for (int k = 0; k < list.size(); ++k) {
            ++calls[list.at(k).call];
            provisional += list.at(k).provisional ? 1 : 0;
            lines << QStringLiteral("%1 %2").arg(list.at(k).number).arg(list.at(k).call);
        }
        for (const auto& [call, s] : sent) {
            const int n = calls.count(call) ? calls[call] : 0;
            lost += n == 0 ? 1 : 0;
            doubled += n > 1 ? n - 1 : 0;
        }
        lines.sort();
        if (i == 0)
            reference = lines;
        else
            differing += lines != reference ? 1 : 0;
    }
    std::printf(
        "operators %d, seconds %d, check-ins %d made in %.1f s (latest add %lld ms behind its time)\n", count,
        seconds, added, addingSeconds, late);
    std::printf("add to every other list: median %.1f ms, p99 %.1f ms, max %.1f ms (%zu of %d complete)\n",
        percentile(everyOther, 0.5), percentile(everyOther, 0.99), percentile(everyOther, 1.0),
        everyOther.size(), added);
    std::printf("add to one other list:   median %.1f ms, p99 %.1f ms\n", percentile(eachOther, 0.5),
        percentile(eachOther, 0.99));
    std::printf("lines lost %d, doubled %d, still provisional %d, lists differing from the first %d\n", lost,
        doubled, provisional, differing);
    std::printf("server CPU %.1f s over %.1f s (%.1f%% of one core)\n", cpu, elapsed, 100.0 * cpu / elapsed);

    // Joining a net of 2,000 check-ins.
    {
        Op source;
        const QString jdb = base + QStringLiteral(" dbname=joinbench user=");
        source.session.share(jdb + "n5ncs", "Big net", "N5NCS");
        for (int i = 0; i < 2000; ++i)
            source.list.addCheckIn(
                { QStringLiteral("W%1BIG").arg(i), "Big", "Waco", "TX" }, CheckInSource::Manual);
        while (source.session.waitingChanges() > 0)
            pump(50);
        for (int run = 0; run < 3; ++run) {
            Op joiner;
            QElapsedTimer t;
            t.start();
            const bool ok = joiner.session.join(jdb + "k5log", "Big net", "K5JOIN");
            const double ms = double(t.nsecsElapsed()) / 1e6;
            std::printf("join a net of 2000: %s, %d lines after %.0f ms\n", ok ? "joined" : "failed",
                joiner.list.checkInCount(), ms);
        }
    }
    ops.clear();
    script(QStringLiteral("stop"), state.path());
    return 0;
}

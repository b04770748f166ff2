// Attendance from the net journal as the quick call box and the ATTENDANCE export ask for it,
// on a journal of 500 nets of 60 check-ins each (a daily net kept for well over a year):
// how many of the last 10 nets one call checked into, and every station of a date range.
#include "journal/NetJournal.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>

namespace {

constexpr int Nets = 500;
constexpr int CheckInsPerNet = 60;
constexpr int Stations = 400; // 40 regulars and a long tail of occasional stations
constexpr int Regulars = 40;
constexpr std::int64_t Day = 24LL * 3600 * 1000;
constexpr std::int64_t FirstNet = 1'735'700'400'000; // 2025-01-01 03:00 UTC

NetJournal* journal = nullptr;

// The fastest of the repetitions, beside their mean: on a machine shared with other work the
// mean carries the waits for the processor, the fastest run shows what the look-up costs.
double fastest(const std::vector<double>& runs)
{
    return runs.empty() ? 0 : *std::min_element(runs.begin(), runs.end());
}

QString call(int station)
{
    return QStringLiteral("K%1T%2").arg(station % 10).arg(station, 3, 10, QLatin1Char('0'));
}

bool fill(NetJournal& j)
{
    // The benchmark times reading; writing 30,000 lines with a flush to disk each would only
    // slow the setup.
    if (!j.exec("PRAGMA synchronous=OFF"))
        return false;
    std::mt19937 random(14);
    std::vector<int> tail(Stations - Regulars);
    std::iota(tail.begin(), tail.end(), Regulars);
    for (int n = 0; n < Nets; ++n) {
        const std::int64_t start = FirstNet + n * Day;
        const std::int64_t net = j.beginNet(start);
        if (net == 0)
            return false;
        std::int64_t seq = 1;
        JournalEntry date;
        date.seq = seq++;
        date.dateLine = true;
        date.text = QStringLiteral("DATE : net %1").arg(n);
        date.utcMs = start;
        if (!j.append(net, date, false))
            return false;
        std::vector<int> here;
        for (int s = 0; s < Regulars; ++s)
            if (random() % 10 < 8)
                here.push_back(s);
        std::shuffle(tail.begin(), tail.end(), random);
        for (std::size_t k = 0; here.size() < CheckInsPerNet; ++k)
            here.push_back(tail[k]);
        for (int i = 0; i < CheckInsPerNet; ++i) {
            JournalEntry e;
            e.seq = seq++;
            e.number = i + 1;
            e.call = call(here[std::size_t(i)]);
            e.name = QStringLiteral("Name %1").arg(here[std::size_t(i)]);
            e.city = QStringLiteral("Quartzsite");
            e.state = QStringLiteral("AZ");
            e.source = CheckInSource::Roster;
            e.utcMs = start + i * 20'000;
            if (!j.append(net, e, true))
                return false;
        }
        // A line deleted in every net, and an identification every ten minutes.
        if (!j.setDeleted(net, 2 + n % CheckInsPerNet, start + 30 * 60'000, false))
            return false;
        for (int m = 0; m < 6; ++m)
            if (!j.addIdentification(net, start + m * 600'000))
                return false;
        if (!j.setSaved(net, start + 3600'000))
            return false;
    }
    return j.exec("PRAGMA synchronous=FULL");
}

// One call of the quick call box's suggestions, regulars and occasional stations in turn.
void RecentAttendancePerCall(benchmark::State& state)
{
    int station = 0;
    for (auto _ : state) {
        const NetJournal::Recent r = journal->recentAttendance(call(station), 10);
        if (r.outOf != 10)
            state.SkipWithError("the journal does not hold the nets");
        benchmark::DoNotOptimize(r);
        station = (station + 37) % Stations;
    }
}
BENCHMARK(RecentAttendancePerCall)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);

// A call that never checked in: the look-up finds nothing at all.
void RecentAttendanceUnknownCall(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(journal->recentAttendance(QStringLiteral("N0NE"), 10));
}
BENCHMARK(RecentAttendanceUnknownCall)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);

// The ATTENDANCE export over a range of nets: a month, a year and the whole journal.
void AttendanceRange(benchmark::State& state)
{
    const std::int64_t nets = state.range(0);
    const std::int64_t to = FirstNet + (Nets - 1) * Day + Day - 1;
    const std::int64_t from = to - nets * Day + 1;
    std::size_t stations = 0;
    for (auto _ : state) {
        const std::vector<Attendance> list = journal->attendance(from, to);
        stations = list.size();
        benchmark::DoNotOptimize(list);
    }
    state.counters["stations"] = double(stations);
}
BENCHMARK(AttendanceRange)
    ->Arg(30)
    ->Arg(365)
    ->Arg(Nets)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", fastest);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    NetJournal j(dir.path());
    if (!j.ok() || !fill(j)) {
        std::fprintf(stderr, "could not build the benchmark journal: %s\n", qPrintable(j.problem()));
        return 1;
    }
    journal = &j;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

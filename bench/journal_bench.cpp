// What the durable write of one check-in costs: each check-in is one synchronous SQLite
// transaction in the net journal, made before the list shows the line. The journal lives on
// the same disk as the user's data folder. Reported per check-in: median and 99th percentile.
#include "checkin/CheckInList.h"
#include "journal/NetJournal.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {
void CheckInDurableWrite(benchmark::State& state)
{
    std::vector<double> ms;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir(QStringLiteral(VELMORA_BINARY_DIR "/journal-bench-XXXXXX"));
        NetJournal journal(dir.path());
        CheckInList list(&journal);
        list.addDateLine(QStringLiteral("12/9/26"));
        state.ResumeTiming();
        for (int i = 0; i < 200; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            list.addCheckIn({ QStringLiteral("K%1ABC").arg(i), QStringLiteral("Operator %1").arg(i),
                                QStringLiteral("Waco"), QStringLiteral("TX") },
                CheckInSource::Roster);
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
        if (!list.journalProblem().isEmpty())
            state.SkipWithError(list.journalProblem().toStdString().c_str());
    }
    std::sort(ms.begin(), ms.end());
    state.counters["checkins"] = double(ms.size());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    state.counters["max_ms"] = ms.back();
}
BENCHMARK(CheckInDurableWrite)->Iterations(5)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();

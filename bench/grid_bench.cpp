// Sorting the chapter roster grid of 5,000 members by call, last name and state.
#include "net/RosterGridModel.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <random>

namespace {
QList<QStringList> roster(int members)
{
    std::mt19937 random(5000);
    const QStringList states { "TX", "FL", "AZ", "CA", "OH", "NY", "WA", "GA", "NE", "PA" };
    const QStringList names { "Smith", "Jones", "Brown", "Garcia", "Miller", "Davis", "Lopez", "Young",
        "King" };
    QList<QStringList> rows;
    rows.append({ "Last", "First", "Call", "No", "Joined", "Spouse", "SCall", "Chapter", "St", "Street",
        "Zip", "City", "State", "State2" });
    for (int i = 0; i < members; ++i) {
        const QString state = states[int(random() % states.size())];
        const QString call = QStringLiteral("K%1%2")
                                 .arg(int(random() % 10))
                                 .arg(int(random() % 17576), 4, 36, QLatin1Char('A'));
        rows.append({ names[int(random() % names.size())] + QString::number(i), "Pat", call.toUpper(), "1",
            "2020-01-01", "Sam", "", "ARC", state, "1 Main St", "00000", "Town", state, state });
    }
    return rows;
}

void SortGrid(benchmark::State& state)
{
    const QList<QStringList> rows = roster(5000);
    const int column = int(state.range(0));
    RosterGridModel model;
    for (auto _ : state) {
        state.PauseTiming();
        model.setRows(rows); // every sort starts from the sheet's order
        state.ResumeTiming();
        model.sortByColumn(column);
    }
}
} // namespace

// Column 2 is the call, 0 the last name, 8 the state.
BENCHMARK(SortGrid)->Arg(2)->Arg(0)->Arg(8)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

// The quick call box on a licence file of national size (1.5 million records, about
// 200 MB, generated into the build folder once, the same file as the FCC page's
// benchmark): how long the call index takes to be ready (read from the file, or from
// its cache file) and the memory it holds; then the suggestions for every keystroke
// while calls are typed, over four rosters, the spreadsheet and the whole index.
#include "BigLicenceFile.h"
#include "data/RosterTable.h"
#include "licence/FccCallIndex.h"
#include "licence/FccIndexLoader.h"
#include "lookup/StationDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace {

QString bigFile;

// Resident memory of this process, and its high-water mark, in bytes (Linux).
double statusBytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(std::strlen(field))) * 1024.0;
    return 0;
}
double residentBytes()
{
    return statusBytes("VmRSS:");
}
double peakBytes()
{
    return statusBytes("VmHWM:");
}
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

constexpr double kMB = 1024.0 * 1024.0;

void BM_IndexFromFile(benchmark::State& state)
{
    for (auto _ : state) {
        resetPeak();
        const double before = residentBytes();
        QElapsedTimer t;
        t.start();
        QString error;
        const auto index = FccCallIndex::build(bigFile, &error);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (!index) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        state.counters["calls"] = double(index->size());
        state.counters["with_licences"] = index->hasLicences() ? 1 : 0;
        state.counters["index_MB"] = double(index->memoryBytes()) / kMB;
        state.counters["rss_held_MB"] = (residentBytes() - before) / kMB;
        state.counters["rss_peak_during_build_MB"] = (peakBytes() - before) / kMB;
    }
}

void BM_LoaderReady(benchmark::State& state, bool fromCache)
{
    const QString cache = QStringLiteral(VELMORA_BINARY_DIR "/bench-data/cache");
    if (fromCache) {
        FccIndexLoader warm; // writes the cache file the runs below read
        warm.start(bigFile, cache);
        warm.waitForFinished(60000);
    }
    for (auto _ : state) {
        const double before = residentBytes();
        FccIndexLoader loader;
        QElapsedTimer t;
        t.start();
        loader.start(bigFile, fromCache ? cache : QString());
        loader.waitForFinished(60000);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (loader.state() != FccIndexLoader::State::Ready
            || loader.origin()
                != (fromCache ? FccIndexLoader::Origin::Cache : FccIndexLoader::Origin::File)) {
            state.SkipWithError("the index was not made as asked");
            return;
        }
        if (!fromCache) // a load from the cache reuses the memory the run before gave back
            state.counters["rss_held_MB"] = (residentBytes() - before) / kMB;
    }
}

// Rosters and a spreadsheet of real size, their calls taken from the licence file so
// that many stations stand in both, as they do.
struct Sources {
    FccIndexLoader loader;
    StationDirectory directory;
    std::vector<std::string> rosterCalls;
};

Sources& sources()
{
    static Sources* s = [] {
        auto* s = new Sources;
        s->loader.start(bigFile, QString());
        s->loader.waitForFinished(60000);
        const auto index = s->loader.index();
        std::mt19937 random(5);
        auto someCall = [&] {
            const std::string call = index->call(random() % index->size());
            s->rosterCalls.push_back(call);
            return QString::fromStdString(call);
        };
        auto roster = [&](QStringList columns, int records, auto row) {
            std::vector<QStringList> rows;
            for (int i = 0; i < records; ++i)
                rows.push_back(row(someCall(), i));
            return RosterTable(std::move(columns), std::move(rows));
        };
        s->directory.setRoster(StationSource::ArcRoster,
            roster({ "CALL", "AREA", "FN", "SFN", "LNAME", "SCALL", "CITY", "STATE" }, 400,
                [](const QString& c, int i) {
                    return QStringList { c, "5", "First", "Spouse", QString("Last%1").arg(i), "", "Waco",
                        "TX" };
                }));
        s->directory.setRoster(StationSource::RvRoster,
            roster({ "Call", "AREA", "FN", "Spouse", "CITY", "STATE" }, 300, [](const QString& c, int) {
                return QStringList { c, "5", "Ray", "Rita", "Dallas", "TX" };
            }));
        s->directory.setRoster(StationSource::RegularRoster,
            roster({ "Call", "AREA", "NameS", "City", "State" }, 150, [](const QString& c, int) {
                return QStringList { c, "5", "Reggie", "Houston", "TX" };
            }));
        s->directory.setRoster(StationSource::WbcciRoster,
            roster({ "Call", "AREA", "NameS", "CITY", "STATE" }, 250, [](const QString& c, int) {
                return QStringList { c, "4", "Walt", "Macon", "GA" };
            }));
        QList<QStringList> sheet { { "Last Name", "First Name", "Call" } };
        for (int i = 0; i < 250; ++i)
            sheet.append({ "Smith", "Ann", someCall(), "1", "2010-01-01", "", "", "Coach", "TX", "1 Elm",
                "76701", "Waco", "TX", "TX" });
        s->directory.setSpreadsheet(sheet);
        s->directory.setFccLoader(&s->loader);
        return s;
    }();
    return *s;
}

// What operators type: whole calls of the licence file and of the rosters, new calls,
// calls with one letter misheard, and suffixes heard alone; one suggestion per keystroke.
std::vector<QString> typedTexts()
{
    Sources& s = sources();
    const auto index = s.loader.index();
    std::mt19937 random(9);
    std::vector<std::string> calls;
    for (int i = 0; i < 200; ++i)
        calls.push_back(index->call(random() % index->size()));
    for (int i = 0; i < 60; ++i)
        calls.push_back(s.rosterCalls[random() % s.rosterCalls.size()]);
    for (int i = 0; i < 30; ++i)
        calls.push_back("KZ" + std::to_string(random() % 10) + "QXJ"); // on no source
    for (int i = 0; i < 30; ++i) {
        std::string c = index->call(random() % index->size());
        c[c.size() - 1] = char('A' + (c[c.size() - 1] - 'A' + 1) % 26);
        calls.push_back(c);
    }
    for (int i = 0; i < 60; ++i) {
        const std::string c = index->call(random() % index->size());
        calls.push_back(c.substr(c.find_first_of("0123456789") + 1)); // the suffix alone
    }
    std::vector<QString> texts;
    for (const auto& c : calls)
        for (std::size_t n = 1; n <= c.size(); ++n)
            texts.push_back(QString::fromStdString(c.substr(0, n)));
    return texts;
}

// The time this thread ran, which leaves out the time other programs had the processor.
double threadMicros()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

void BM_Keystrokes(benchmark::State& state, bool withFcc)
{
    Sources& s = sources();
    s.directory.setFccLoader(withFcc ? &s.loader : nullptr);
    static const std::vector<QString> texts = typedTexts();
    std::vector<double> wall, cpu;
    std::size_t rows = 0;
    for (auto _ : state) {
        QElapsedTimer total;
        total.start();
        for (const QString& t : texts) {
            QElapsedTimer one;
            one.start();
            const double cpuBefore = threadMicros();
            const auto found = s.directory.suggest(t, 12);
            cpu.push_back(threadMicros() - cpuBefore);
            wall.push_back(double(one.nsecsElapsed()) / 1e3);
            rows += found.size();
        }
        state.SetIterationTime(double(total.nsecsElapsed()) / 1e9);
    }
    s.directory.setFccLoader(&s.loader);
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    auto at = [](const std::vector<double>& v, double q) {
        return v[std::min(v.size() - 1, std::size_t(q * double(v.size())))];
    };
    state.counters["keystrokes"] = double(wall.size());
    state.counters["p50_us"] = at(wall, 0.50);
    state.counters["p99_us"] = at(wall, 0.99);
    state.counters["max_us"] = wall.back();
    state.counters["cpu_p50_us"] = at(cpu, 0.50);
    state.counters["cpu_p99_us"] = at(cpu, 0.99);
    state.counters["cpu_max_us"] = cpu.back();
    state.counters["rows_per_keystroke"] = double(rows) / double(wall.size());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bigFile = ensureBigFile();
    {
        // Read once so every figure is taken with the files in the page cache.
        for (const QString& path : { bigFile, LicenceHeaderFile(bigFile), LicenceAmateurFile(bigFile) }) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            while (!f.read(8 << 20).isEmpty()) { }
        }
    }
    benchmark::RegisterBenchmark("call index from EN.dat, HD.dat, AM.dat (no thread)", BM_IndexFromFile)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("loader: start to ready, from EN.dat", BM_LoaderReady, false)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("loader: start to ready, from the cache file", BM_LoaderReady, true)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("typing: all keystrokes, FCC index ready", BM_Keystrokes, true)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("typing: all keystrokes, FCC index loading", BM_Keystrokes, false)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

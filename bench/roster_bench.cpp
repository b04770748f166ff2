// How long the net page waits for its data: the four roster tables opened through the
// isolated reader and walked as the loaders walk them, and the roster spreadsheet loaded.
// Real rosters hold a few hundred members; these use 5,000 rows each.
#include "data/IsolatedReader.h"
#include "data/RosterTable.h"
#include "data/Workbook.h"

#include "Jet4Writer.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int Rows = 5000;
QTemporaryDir* folder = nullptr;

std::string call(int i)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string c = (i % 3 == 0) ? "K" : (i % 3 == 1) ? "WA" : "N";
    c += std::to_string(i % 10);
    for (int k = i, n = 0; n < 3; ++n, k /= 26)
        c += letters[k % 26];
    return c;
}

struct RosterFile {
    const char* file;
    const char* table;
    std::vector<std::string> columns;
};

const std::vector<RosterFile> rosters = {
    { "ARCarea.mdb", "Amber", { "CALL", "AREA", "FN", "SFN", "LNAME", "SCALL", "CITY", "STATE" } },
    { "radioRV.mdb", "ABC", { "Call", "AREA", "FN", "Spouse", "CITY", "STATE" } },
    { "RepCheck.mdb", "RepCheckIn", { "Call", "AREA", "NameS", "City", "State" } },
    { "WBCII.mdb", "wbcci", { "Call", "AREA", "NameS", "CITY", "STATE" } },
};

void makeRosters()
{
    for (const RosterFile& r : rosters) {
        jet4::Table t;
        t.name = r.table;
        for (const std::string& c : r.columns)
            t.columns.push_back({ c,
                c == "AREA" && std::string(r.table) == "ABC" ? jet4::ColumnType::LongInteger
                                                             : jet4::ColumnType::Text });
        for (int i = 0; i < Rows; ++i) {
            jet4::Row row;
            for (const std::string& c : r.columns) {
                if (c == "CALL" || c == "Call")
                    row.push_back(call(i));
                else if (c == "AREA")
                    row.push_back(std::to_string(i % 10));
                else if (c == "STATE" || c == "State")
                    row.push_back("TX");
                else
                    row.push_back(c + " " + std::to_string(i));
            }
            t.rows.push_back(std::move(row));
        }
        jet4::writeDatabase(folder->filePath(r.file).toStdString(), { t });
    }
}

// The roster spreadsheet; with dates false the join date is written as text, which shows how
// much of the load goes to converting date cells.
bool makeWorkbook(const QString& name, bool dates)
{
    QString csv
        = "Last Name,First Name,Call,Member No,Joined,Spouse,Spouse Call,Coach,Home State,Address,Zip,City,"
          "State,Mail State\n";
    for (int i = 0; i < Rows; ++i)
        csv += QString("Last%1,First%1,%2,%3,2015-06-%4,Spouse%1,,Newmar,TX,%1 Oak St,78%5,Kerrville,TX,TX\n")
                   .arg(i)
                   .arg(QString::fromStdString(call(i)))
                   .arg(100000 + i)
                   .arg(1 + i % 28, 2, 10, QChar('0'))
                   .arg(i % 1000, 3, 10, QChar('0'));
    QProcess p;
    p.start("/usr/bin/python3",
        { VELMORA_SOURCE_DIR "/tools/xls/xlswrite.py", "--numbers", "3", "--dates", dates ? "4" : "",
            folder->filePath(name), "-" });
    p.write(csv.toUtf8());
    p.closeWriteChannel();
    return p.waitForFinished(120000) && p.exitCode() == 0;
}

// Opens the four tables and walks each as the roster loaders do: every record's call and area.
void OpenAndWalkFourRosters(benchmark::State& state)
{
    for (auto _ : state) {
        int listed = 0;
        for (const RosterFile& r : rosters) {
            RosterTable t = openRosterTable(folder->filePath(r.file), r.table);
            const int areaColumn = t.column("AREA");
            const int callColumn = t.column("CALL");
            for (int row = 0; row < t.recordCount(); ++row)
                listed += t.text(row, areaColumn) == "5" && !t.text(row, callColumn).isEmpty();
        }
        benchmark::DoNotOptimize(listed);
    }
}
BENCHMARK(OpenAndWalkFourRosters)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One walk of a table already open, reading the columns one look-up fills.
void WalkOneOpenRoster(benchmark::State& state)
{
    RosterTable t = openRosterTable(folder->filePath("ARCarea.mdb"), "Amber");
    for (auto _ : state) {
        int n = 0;
        const int callColumn = t.column("CALL");
        const int fnColumn = t.column("FN");
        const int cityColumn = t.column("CITY");
        const int stateColumn = t.column("STATE");
        for (int row = 0; row < t.recordCount(); ++row)
            n += t.text(row, callColumn).size() + t.text(row, fnColumn).size()
                + t.text(row, cityColumn).size() + t.text(row, stateColumn).size();
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(WalkOneOpenRoster)->Unit(benchmark::kMicrosecond);

void LoadRosterSpreadsheet(benchmark::State& state, const char* file)
{
    for (auto _ : state) {
        const QList<QStringList> rows = ReadFirstWorksheet(folder->filePath(file));
        if (rows.size() != Rows + 1)
            state.SkipWithError("the workbook did not read back whole");
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK_CAPTURE(LoadRosterSpreadsheet, WithJoinDates, "Roster_Name_ARC.xls")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(LoadRosterSpreadsheet, DatesAsText, "Roster_no_dates.xls")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    folder = &dir;
    makeRosters();
    if (!makeWorkbook("Roster_Name_ARC.xls", true) || !makeWorkbook("Roster_no_dates.xls", false)) {
        std::fprintf(stderr, "could not write the benchmark workbook (python3-xlwt)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

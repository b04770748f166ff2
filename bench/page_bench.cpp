// The net page as the operator meets it: start-up to the main window on the demo
// installation, and one check-in from the QUICK CALL box (a call typed, then Enter).
#include "QuickCallTyping.h"
#include "app/Pages.h"
#include "net/TfrmNET.h"
#include "pages/TfrmMainA.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>

namespace {
const QString demo = QStringLiteral(VELMORA_BINARY_DIR "/demo");

QWidget* widget(QObject* page, const char* name)
{
    return page->findChild<QWidget*>(QString::fromLatin1(name));
}

// Starts the pages on the demo installation and opens the net page as "CALL A NET" does.
// START reads the roster spreadsheet below the working folder, so that is the demo's.
QWidget* openNetPage()
{
    QDir::setCurrent(demo);
    CreatePages(demo);
    auto* mainPage = static_cast<QWidget*>(frmMainA);
    static_cast<QPushButton*>(widget(mainPage, "VRstart"))->click();
    static_cast<QPushButton*>(widget(mainPage, "VR4"))->click();
    return static_cast<QWidget*>(frmNET);
}

void StartUp(benchmark::State& state)
{
    QTemporaryDir journal;
    SetJournalFolder(journal.path());
    for (auto _ : state) {
        CreatePages(demo);
        QCoreApplication::processEvents();
        state.PauseTiming();
        DestroyPages();
        state.ResumeTiming();
    }
}
BENCHMARK(StartUp)->Unit(benchmark::kMillisecond);

void QuickCheckIn(benchmark::State& state)
{
    QTemporaryDir journal;
    SetJournalFolder(journal.path());
    QWidget* net = openNetPage();
    auto* quick = static_cast<QLineEdit*>(widget(net, "editQUICK"));
    int n = 0;
    for (auto _ : state) {
        quick->clear();
        typeQuickCheckIn(quick, n++);
    }
    DestroyPages();
}
BENCHMARK(QuickCheckIn)->Unit(benchmark::kMillisecond)->Iterations(200);

// The net page laid out again for a new window size, as when the operator resizes or
// maximizes the window: every control, font and style sheet of the page scaled anew.
void NetPageRelayout(benchmark::State& state)
{
    QTemporaryDir journal;
    SetJournalFolder(journal.path());
    QWidget* net = openNetPage();
    net->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    const QSize sizes[] = { { 1366, 768 }, { 1920, 1080 }, { 1280, 720 }, { 2560, 1440 } };
    int n = 0;
    for (auto _ : state) {
        net->resize(sizes[n++ % 4]);
        QCoreApplication::processEvents();
    }
    DestroyPages();
}
BENCHMARK(NetPageRelayout)->Unit(benchmark::kMillisecond)->Iterations(40);
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

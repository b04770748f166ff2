// What the operator waits for, timed the same way on every system the program is built for
// (it needs no benchmark library, so the Windows build has it too):
//   operator_times DEMO_DIR EN_DAT
// start-up of the pages on the demo installation to the main window, one QUICK CALL check-in
// (typed key by key, then Enter), and BUILD LIST "K" on the licence file EN_DAT from the click
// to the list shown. Prints the median of each.
#include "../tests/RunEnd.h"
#include "QuickCallTyping.h"
#include "app/Pages.h"
#include "fcc/LicenceListModel.h"
#include "fcc/TfrmFCC2.h"
#include "licence/FccIndexes.h"
#include "net/TfrmNET.h"
#include "pages/TfrmMainA.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Times RUNS calls of f, each preceded by its untimed setup, in milliseconds.
std::vector<double> timed(int runs, const std::function<void()>& setup, const std::function<void()>& f)
{
    std::vector<double> out;
    for (int i = 0; i < runs; ++i) {
        setup();
        QElapsedTimer t;
        t.start();
        f();
        out.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return out;
}

template <typename T> T* child(QObject* page, const char* name)
{
    return page->findChild<T*>(QString::fromLatin1(name));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: operator_times DEMO_DIR EN_DAT\n");
        return 2;
    }
    const QString demo = QString::fromLocal8Bit(argv[1]);
    const QString licences = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir journal;
    SetJournalFolder(journal.path());
    // START reads the roster spreadsheet below the working folder.
    QDir::setCurrent(demo);

    const auto startUp = timed(
        7, [] {},
        [&] {
            CreatePages(demo);
            QCoreApplication::processEvents();
            DestroyPages();
        });

    CreatePages(demo);
    auto* mainPage = static_cast<QWidget*>(frmMainA);
    child<QPushButton>(mainPage, "VRstart")->click();
    child<QPushButton>(mainPage, "VR4")->click();
    auto* quick = child<QLineEdit>(static_cast<QWidget*>(frmNET), "editQUICK");
    int n = 0;
    const auto quickCall = timed(
        200, [&] { quick->clear(); }, [&] { typeQuickCheckIn(quick, n++); });
    DestroyPages();

    {
        // Read once, so every build is timed with the file in the system's cache.
        QFile f(licences);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(licences));
            return 1;
        }
        while (!f.read(8 << 20).isEmpty()) { }
    }
    FccIndexes indexes;
    TfrmFCC2 fcc(QString(), indexes);
    fcc.setLicenceFile(licences);
    fcc.show();
    QCoreApplication::processEvents();
    auto* view = child<QListView>(&fcc, "lstboxG");
    int lines = 0;
    const auto buildList = timed(
        5,
        [&] {
            fcc.ClearLicenceView();
            QCoreApplication::processEvents();
        },
        [&] {
            child<QLineEdit>(&fcc, "editCALL")->setText(QStringLiteral("K"));
            fcc.VR3Click();
            while (fcc.buildingList())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            view->viewport()->repaint();
            QCoreApplication::processEvents();
            lines = fcc.listModel().rowCount();
        });

    std::printf("start-up to the main window: median %.1f ms of %zu\n", median(startUp), startUp.size());
    std::printf("QUICK CALL check-in: median %.2f ms of %zu\n", median(quickCall), quickCall.size());
    std::printf("BUILD LIST K (%d lines): median %.1f ms of %zu, first %.1f ms\n", lines, median(buildList),
        buildList.size(), buildList.front());
    // Ends as the test programs do: Wine can hang while unloading after child processes.
    endTestRun(0);
}

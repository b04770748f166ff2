// Shows the zone clock page, lets its timers run for a while and prints the share of
// one processor core the program used meanwhile.
//
//   zoneclock-cpu [SECONDS] [--screenshot FILE.png]
//
// Run it headless with QT_QPA_PLATFORM=offscreen, or on a virtual display.
#include "clocks/TfrmTimeZone.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace {
double cpuSeconds()
{
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks
        = [](const FILETIME& t) { return double(t.dwLowDateTime) + double(t.dwHighDateTime) * 4294967296.0; };
    return (ticks(kernel) + ticks(user)) / 1e7;
#else
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
#endif
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int seconds = 60;
    QString screenshot;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size())
            screenshot = args[++i];
        else
            seconds = args[i].toInt();
    }

    TfrmTimeZone page;
    page.show();

    // Let the page settle (first ticks of every timer), then measure.
    double cpuStart = 0;
    QElapsedTimer wall;
    QTimer::singleShot(1500, [&] {
        if (!screenshot.isEmpty())
            page.grab().save(screenshot);
        cpuStart = cpuSeconds();
        wall.start();
        QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    });
    const int status = app.exec();
    const double cpu = cpuSeconds() - cpuStart;
    const double elapsed = wall.elapsed() / 1000.0;
    std::printf("zone clock page shown for %.1f s: %.3f s of CPU time, %.2f%% of one core\n", elapsed, cpu,
        100.0 * cpu / elapsed);
    return status;
}

// An FCC import that the tests kill part way: it imports the zips given into the folder
// given, prints each step as it is passed, and at the step named waits to be killed.
#include "licence/FccImport.h"

#include <QStringList>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const char* stopAt = argv[2];
    QStringList zips;
    for (int i = 3; i < argc; ++i)
        zips << QString::fromLocal8Bit(argv[i]);
    FccImportOptions options;
    options.step = [stopAt](const char* step) {
        std::printf("%s\n", step);
        std::fflush(stdout);
        if (std::strcmp(step, stopAt) == 0)
            for (;;)
                std::this_thread::sleep_for(std::chrono::seconds(1));
    };
    const FccImportResult result = ImportFccZips(zips, folder, {}, nullptr, options);
    std::printf("%s\n", result.ok ? "done" : result.error.toLocal8Bit().constData());
    return result.ok ? 0 : 1;
}

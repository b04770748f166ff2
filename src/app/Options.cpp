#include "app/Options.h"

#include "licence/FccImport.h"

#include <QDir>
#include <QStringList>

#include <cstdio>

QString defaultInstallFolder(HostSystem system)
{
    return system == HostSystem::Windows ? QStringLiteral("C:\\Program Files (x86)\\Tamsel\\Velmora")
                                         : QStringLiteral("/opt/Tamsel/Velmora");
}

static QString usage()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Usage: velmora [--install-dir DIR]\n"
                          "Net control assistant for RV club amateur-radio nets.\n\n"
                          "  --install-dir DIR  folder holding database/ and FCCraw/ (default %1)\n"
                          "  --import-fcc FILE...\n"
                          "                     import the FCC's weekly zip (l_amat.zip) and any daily\n"
                          "                     zips (l_am_<day>.zip) into FCCraw/, then exit\n"
                          "  --accept-smaller-weekly\n"
                          "                     let --import-fcc replace the data with a weekly zip that\n"
                          "                     holds far fewer licences\n"
                          "  --server CONNINFO  shared-net server (libpq string or URI) for SHARE NET\n"
                          "                     and JOIN NET\n"
                          "  --help             show this help and exit\n"
                          "  --version          show the version and exit\n")
        .arg(defaultInstallFolder());
#else
    return QStringLiteral("Usage: velmora [--install-dir DIR] [--callbook PROGRAM]\n"
                          "Net control assistant for RV club amateur-radio nets.\n\n"
                          "  --install-dir DIR   folder holding database/ and FCCraw/ (default %1)\n"
                          "  --import-fcc FILE...\n"
                          "                      import the FCC's weekly zip (l_amat.zip) and any daily\n"
                          "                      zips (l_am_<day>.zip) into FCCraw/, then exit\n"
                          "  --accept-smaller-weekly\n"
                          "                      let --import-fcc replace the data with a weekly zip that\n"
                          "                      holds far fewer licences\n"
                          "  --server CONNINFO   shared-net server (libpq string or URI) for SHARE NET\n"
                          "                      and JOIN NET\n"
                          "  --callbook PROGRAM  call-book program that RUN HAMCALL PROGRAM starts: a\n"
                          "                      path, or a name looked for on the PATH (default hamcall)\n"
                          "  --help              show this help and exit\n"
                          "  --version           show the version and exit\n")
        .arg(defaultInstallFolder());
#endif
}

Options parseOptions(int argc, const char* const* argv)
{
    Options o;
    o.installFolder = defaultInstallFolder();
    const auto stop = [&o](const QString& text, int status) {
        o.action = Options::Action::PrintAndExit;
        o.output = text;
        o.exitStatus = status;
        return o;
    };
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h"))
            return stop(usage(), 0);
        if (arg == QLatin1String("--version"))
            return stop(QStringLiteral("velmora %1\n").arg(QStringLiteral(VELMORA_VERSION)), 0);
        if (arg == QLatin1String("--install-dir")) {
            if (i + 1 >= argc)
                return stop(QStringLiteral("velmora: --install-dir needs a folder\n") + usage(), 2);
            o.installFolder = QString::fromLocal8Bit(argv[++i]);
            continue;
        }
        if (arg.startsWith(QLatin1String("--install-dir="))) {
            o.installFolder = arg.mid(int(qstrlen("--install-dir=")));
            continue;
        }
        if (arg == QLatin1String("--import-fcc")) {
            // Every following argument up to the next option is a zip.
            o.action = Options::Action::ImportFcc;
            while (i + 1 < argc && !QString::fromLocal8Bit(argv[i + 1]).startsWith(QLatin1String("--")))
                o.fccZips << QString::fromLocal8Bit(argv[++i]);
            if (o.fccZips.isEmpty())
                return stop(QStringLiteral("velmora: --import-fcc needs at least one zip\n") + usage(), 2);
            continue;
        }
        if (arg == QLatin1String("--accept-smaller-weekly")) {
            o.acceptSmallerWeekly = true;
            continue;
        }
        if (arg == QLatin1String("--server")) {
            if (i + 1 >= argc || QString::fromLocal8Bit(argv[i + 1]).isEmpty())
                return stop(QStringLiteral("velmora: --server needs a connection string\n") + usage(), 2);
            o.server = QString::fromLocal8Bit(argv[++i]);
            continue;
        }
#ifndef Q_OS_WIN
        if (arg == QLatin1String("--callbook")) {
            if (i + 1 >= argc || QString::fromLocal8Bit(argv[i + 1]).isEmpty())
                return stop(QStringLiteral("velmora: --callbook needs a program\n") + usage(), 2);
            o.callBookProgram = QString::fromLocal8Bit(argv[++i]);
            continue;
        }
        if (arg.startsWith(QLatin1String("--callbook="))) {
            o.callBookProgram = arg.mid(int(qstrlen("--callbook=")));
            if (o.callBookProgram.isEmpty())
                return stop(QStringLiteral("velmora: --callbook needs a program\n") + usage(), 2);
            continue;
        }
#endif
        // Qt's own platform options pass through untouched.
        if (arg == QLatin1String("-platform") && i + 1 < argc) {
            ++i;
            continue;
        }
        return stop(QStringLiteral("velmora: unknown option '%1'\n").arg(arg) + usage(), 2);
    }
    if (o.installFolder.isEmpty())
        return stop(QStringLiteral("velmora: --install-dir needs a folder\n") + usage(), 2);
    return o;
}

bool hasDisplay()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#endif
}

QString noDisplayMessage()
{
    return QStringLiteral("velmora: no display found (DISPLAY is not set), so the window cannot be shown.\n"
                          "Run it on a desktop, or under a virtual display, for example:\n"
                          "  xvfb-run -a -s '-screen 0 1680x1050x24' velmora --install-dir DIR\n");
}

int runFccImport(const Options& options)
{
    const QString folder = QDir(options.installFolder).absoluteFilePath(QStringLiteral("FCCraw"));
    int shown = -1;
    FccImportOptions importOptions;
    importOptions.acceptSmallerWeekly = options.acceptSmallerWeekly;
    const FccImportResult result = ImportFccZips(
        options.fccZips, folder,
        [&shown](int percent) {
            // A line every tenth, so a log of the run stays short.
            if (percent / 10 != shown / 10 || percent == 100) {
                std::printf("importing: %d%%\n", percent);
                std::fflush(stdout);
            }
            shown = percent;
        },
        nullptr, importOptions);
    for (const QString& note : result.notes)
        std::printf("%s\n", note.toLocal8Bit().constData());
    if (!result.ok) {
        std::fprintf(stderr, "velmora: the FCC import failed: %s\n", result.error.toLocal8Bit().constData());
        if (result.smallerWeekly)
            std::fprintf(stderr, "velmora: give --accept-smaller-weekly to import it all the same\n");
        return 1;
    }
    std::printf("imported %lld licence records into %s\n", result.records,
        QDir::toNativeSeparators(folder).toLocal8Bit().constData());
    return 0;
}

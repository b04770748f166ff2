// The program's entry: options, the pages, the message loop.
#include "app/Application.h"
#include "app/Options.h"
#include "app/Pages.h"
#include "controls/Dialogs.h"
#include "net/CallBookProgram.h"
#include "pages/TfrmMainA.h"

#include <cstdio>
#include <exception>
#ifdef _WIN32
#include <windows.h>

namespace {
// A window program has no console of its own: what it prints (--help, --version, an
// import's notes) goes to the console of the command prompt that started it, if any, unless
// its output is already redirected to a file or a pipe.
void useParentConsole()
{
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN)
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}
} // namespace
#endif

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
#ifdef _WIN32
    if (options.action != Options::Action::Run)
        useParentConsole();
#endif
    if (options.action == Options::Action::PrintAndExit) {
        std::fputs(options.output.toLocal8Bit().constData(), options.exitStatus == 0 ? stdout : stderr);
        return options.exitStatus;
    }
    if (options.action == Options::Action::ImportFcc)
        return runFccImport(options); // headless: no application object, no pages
    if (!hasDisplay()) {
        std::fputs(noDisplayMessage().toLocal8Bit().constData(), stderr);
        return 1;
    }

    setCallBookProgram(options.callBookProgram);

    VelmoraApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    try {
        CreatePages(options.installFolder);
    } catch (const std::exception& e) {
        Dialogs::errorBox(QString::fromUtf8(e.what()));
        return 1;
    } catch (...) {
        Dialogs::errorBox(QString());
        return 1;
    }
    if (!options.server.isEmpty())
        SetNetServer(options.server);
    QObject::connect(frmMainA, &TfrmMainA::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);
    int status = 0;
    try {
        status = app.exec();
    } catch (const std::exception& e) {
        Dialogs::errorBox(QString::fromUtf8(e.what()));
        status = 1;
    }
    DestroyPages();
    return status;
}

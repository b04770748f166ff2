// The program's entry: options, the pages, the message loop.
#include "app/Application.h"
#include "app/Options.h"
#include "app/Pages.h"
#include "controls/Dialogs.h"
#include "net/CallBookProgram.h"
#include "pages/TfrmMainA.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
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

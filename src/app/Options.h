#pragma once
// The command line: --install-dir DIR, --callbook PROGRAM (not on Windows), --help, --version.
#include <QString>

struct Options {
    enum class Action { Run, PrintAndExit };
    Action action = Action::Run;
    QString installFolder;
    QString callBookProgram; // empty: the platform's default call-book program
    QString output; // what to print when not running
    int exitStatus = 0; // status when not running
};

// The installation folder used when none is given.
QString defaultInstallFolder();
Options parseOptions(int argc, const char* const* argv);
// True when a window can be shown (a display, or a platform chosen explicitly).
bool hasDisplay();
QString noDisplayMessage();

#pragma once
// The command line: --install-dir DIR, --callbook PROGRAM (not on Windows),
// --import-fcc FILE... [--accept-smaller-weekly], --server CONNINFO, --help, --version.
#include "data/HostSystem.h"

#include <QString>
#include <QStringList>

struct Options {
    enum class Action { Run, PrintAndExit, ImportFcc };
    Action action = Action::Run;
    QString installFolder;
    QString callBookProgram; // empty: the platform's default call-book program
    QString server; // the shared-net server SHARE NET and JOIN NET offer first
    QStringList fccZips; // the zips to import, for ImportFcc
    bool acceptSmallerWeekly = false; // --accept-smaller-weekly
    QString output; // what to print when not running
    int exitStatus = 0; // status when not running
};

// The installation folder used when none is given.
QString defaultInstallFolder(HostSystem system = thisSystem());
Options parseOptions(int argc, const char* const* argv);
// True when a window can be shown (a display, or a platform chosen explicitly).
bool hasDisplay();
QString noDisplayMessage();
// Imports options.fccZips into FCCraw below the installation folder, without a window,
// telling progress and notes on standard output and a failure on standard error.
// Returns the exit status: 0 when done, 1 when the import failed.
int runFccImport(const Options& options);

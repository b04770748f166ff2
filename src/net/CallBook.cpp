// Starting the outside call-book program.
#include "net/TfrmNET.h"

#include "controls/Dialogs.h"

#include <QProcess>

namespace {
QString& callBookProgram()
{
    static QString program = QStringLiteral("c:\\hamcall\\hamcall.exe");
    return program;
}
} // namespace

void TfrmNET::setCallBookProgramForTesting(const QString& file)
{
    callBookProgram() = file;
}

void TfrmNET::panHAMCALLClick()
{
    RunProgram(callBookProgram(), QStringLiteral("NULL"));
}

int TfrmNET::RunProgram(const QString& file, const QString& parameters)
{
    // Started on its own and not waited for; the page keeps no handle to it.
    if (QProcess::startDetached(file, QStringList { parameters }))
        return 0;
    Dialogs::titledMessage(
        QStringLiteral("Operation Error!"), QStringLiteral("Could not run program '%1'").arg(file));
    return -1;
}

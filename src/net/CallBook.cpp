// Starting the outside call-book program.
#include "net/TfrmNET.h"

#include "controls/Dialogs.h"
#include "net/CallBookProgram.h"

#include <QProcess>

void TfrmNET::panHAMCALLClick()
{
    // A program that is not there is told before anything is started, naming what was
    // looked for and how to name another.
    const CallBookLookUp callBook = findCallBookProgram();
    if (!callBook.problem.isEmpty()) {
        Dialogs::titledMessage(QStringLiteral("Operation Error!"), callBook.problem);
        return;
    }
    RunProgram(callBook.program, QStringLiteral("NULL"));
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

#include "net/CallBook.h"

#include "controls/Dialogs.h"
#include "net/CallBookProgram.h"

#include <QProcess>

void startCallBook()
{
    const CallBookLookUp callBook = findCallBookProgram();
    if (!callBook.problem.isEmpty()) {
        Dialogs::titledMessage(QStringLiteral("Operation Error!"), callBook.problem);
        return;
    }
    RunProgram(callBook.program, QStringLiteral("NULL"));
}

int RunProgram(const QString& file, const QString& parameters)
{
    // Started on its own and not waited for; the page keeps no handle to it.
    if (QProcess::startDetached(file, QStringList { parameters }))
        return 0;
    Dialogs::titledMessage(
        QStringLiteral("Operation Error!"), QStringLiteral("Could not run program '%1'").arg(file));
    return -1;
}

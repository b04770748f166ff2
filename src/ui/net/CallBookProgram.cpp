#include "net/CallBookProgram.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& chosenProgram()
{
    static QString program;
    return program;
}
} // namespace

void setCallBookProgram(const QString& program)
{
    chosenProgram() = program;
}

QString callBookProgram()
{
    return chosenProgram();
}

QString fixedCallBookProgram(HostSystem system)
{
    // The call-book installs itself at one place; the shell is asked to start it there.
    return system == HostSystem::Windows ? QStringLiteral("c:\\hamcall\\hamcall.exe") : QString();
}

CallBookLookUp findCallBookProgram()
{
    CallBookLookUp found;
#ifdef Q_OS_WIN
    found.lookedFor = found.program = fixedCallBookProgram();
#else
    const QString chosen = chosenProgram();
    found.lookedFor = chosen.isEmpty() ? QStringLiteral("hamcall") : chosen;
    if (found.lookedFor.contains(QLatin1Char('/'))) {
        const QFileInfo file(found.lookedFor);
        if (file.isFile() && file.isExecutable())
            found.program = file.absoluteFilePath();
    } else {
        found.program = QStandardPaths::findExecutable(found.lookedFor);
    }
    if (found.program.isEmpty()) {
        const QString where = found.lookedFor.contains(QLatin1Char('/'))
            ? QStringLiteral("There is no program '%1' that can be run.").arg(found.lookedFor)
            : QStringLiteral("No program '%1' was found on the PATH.").arg(found.lookedFor);
        found.problem = QStringLiteral("Could not run program '%1'\n%2\n"
                                       "Install the call-book program as '%3' on the PATH, or start "
                                       "velmora with --callbook PROGRAM to name it.")
                            .arg(found.lookedFor, where, QStringLiteral("hamcall"));
    }
#endif
    return found;
}

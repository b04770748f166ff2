#pragma once
// Which outside call-book program the net calling page starts, and where it is found.
// On Windows it is the fixed "c:\hamcall\hamcall.exe". Elsewhere it is the program named
// with the option --callbook PROGRAM, or else "hamcall" found on the PATH. No widgets here.
#include "data/HostSystem.h"

#include <QString>

// The program named on the command line; empty for the platform's default.
void setCallBookProgram(const QString& program);
QString callBookProgram();

// The one place the call-book program is started from, "c:\hamcall\hamcall.exe" on
// Windows; empty where it is looked for instead.
QString fixedCallBookProgram(HostSystem system = thisSystem());

// The program to start, or why there is none to start.
struct CallBookLookUp {
    QString program; // what to start: a full path, or the fixed path on Windows
    QString lookedFor; // the name or path that was looked for
    QString problem; // empty when program can be started; else what the operator reads
};
CallBookLookUp findCallBookProgram();

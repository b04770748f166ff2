#pragma once
// Which outside call-book program the net calling page starts, and where it is found.
// On Windows it is the fixed "c:\hamcall\hamcall.exe". Elsewhere it is the program named
// with the option --callbook PROGRAM, or else "hamcall" found on the PATH. No widgets here.
#include <QString>

// The program named on the command line; empty for the platform's default.
void setCallBookProgram(const QString& program);
QString callBookProgram();

// The program to start, or why there is none to start.
struct CallBookLookUp {
    QString program; // what to start: a full path, or the fixed path on Windows
    QString lookedFor; // the name or path that was looked for
    QString problem; // empty when program can be started; else what the operator reads
};
CallBookLookUp findCallBookProgram();

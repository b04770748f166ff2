#pragma once
// Starting the outside call-book program (RUN HAMCALL PROGRAM).
#include <QString>

// Starts the call-book program with the single argument NULL, not waited for; a program
// that is not there is told, naming what was looked for.
void startCallBook();
// Starts file with the parameters, detached; 0 when it started, -1 (after telling) when not.
int RunProgram(const QString& file, const QString& parameters);

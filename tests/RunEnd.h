#pragma once
// The end of a test program's run.
#include <cstdio>
#include <cstdlib>
#ifdef _WIN32
#include <windows.h>
#endif

// Ends the test program with its status, once its results are written. Under Wine the C++
// runtime's DLL can hang as it unloads, when the threads of the pool on which Qt read the
// pipes of child processes are torn down with the process; nothing is left to do by then,
// so a Windows run ends without unloading.
[[noreturn]] inline void endTestRun(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), UINT(status));
#endif
    std::exit(status);
}

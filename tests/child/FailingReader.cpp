// A reader that fails the way it is told, for the tests of what the program makes of a
// reader's failures. It takes the reader's arguments and ignores them; the failure comes from
// VELMORA_FAILING_READER:
//   crash        ends as a process that crashed (a segmentation fault, an access violation)
//   status:N     ends with status N, saying nothing
//   noise:TEXT   prints some library noise and "error: TEXT" to stderr, ends with status 1
//   bytes:HEX    writes the bytes HEX (pairs of hex digits) to stdout, ends with status 0
//   hang         sleeps for half a minute
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

int main()
{
    const char* what = std::getenv("VELMORA_FAILING_READER");
    const std::string how = what ? what : "";
    const auto after = [&how](const char* prefix) {
        return how.rfind(prefix, 0) == 0 ? how.substr(std::strlen(prefix)) : std::string();
    };
    if (how == "crash") {
#ifdef _WIN32
        // What Windows does with a program that reads through a null pointer, without the
        // debugger Wine would start first.
        TerminateProcess(GetCurrentProcess(), EXCEPTION_ACCESS_VIOLATION);
#else
        // The default action, also in a build whose sanitizer catches the signal.
        std::signal(SIGSEGV, SIG_DFL);
        std::raise(SIGSEGV);
#endif
        return 99;
    }
    if (how.rfind("status:", 0) == 0)
        return std::atoi(after("status:").c_str());
    if (how.rfind("noise:", 0) == 0) {
        std::fprintf(stderr, "library noise\nerror: %s\n", after("noise:").c_str());
        return 1;
    }
    if (how.rfind("bytes:", 0) == 0) {
#ifdef _WIN32
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        const std::string hex = after("bytes:");
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            std::fputc(int(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)), stdout);
        return 0;
    }
    if (how == "hang") {
        std::this_thread::sleep_for(std::chrono::seconds(30));
        return 0;
    }
    std::fprintf(stderr, "error: VELMORA_FAILING_READER is not set to a known failure\n");
    return 1;
}

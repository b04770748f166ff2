#pragma once
// Limits the size of files this process may write, as a full disk or a quota would, for as
// long as it lives. The signal the kernel sends on the limit is ignored, so writes fail.
// Windows has no such limit: there the class does nothing, and the tests that need it are
// not built.
#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#ifdef _WIN32
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long) { }
};
#else
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes)
    {
        getrlimit(RLIMIT_FSIZE, &previous);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous;
        limit.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous {};
    void (*oldHandler)(int) = nullptr;
};
#endif

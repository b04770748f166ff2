#pragma once
// Limits the size of files this process may write, as a full disk or a quota would, for as
// long as it lives. The signal the kernel sends on the limit is ignored, so writes fail.
// Windows has no such limit: there the class does nothing and the tests that need it skip.
#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#ifdef _WIN32
#define SKIP_WITHOUT_FILE_SIZE_LIMIT()                                                                       \
    GTEST_SKIP() << "Windows has no limit on the size of a process's files to stand in for a full disk"

class FileSizeLimit {
public:
    explicit FileSizeLimit(long long) { }
};
#else
#define SKIP_WITHOUT_FILE_SIZE_LIMIT() (void)0

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

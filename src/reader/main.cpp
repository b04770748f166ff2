// velmora-reader: reads one table of an Access database, or the first worksheet of an Excel
// workbook, and writes it to stdout in the program's table form (data/TextTableFormat.h).
//
//   velmora-reader mdb FILE TABLE
//   velmora-reader xls FILE
//
// The program runs this in a process of its own, with limits on time and memory, because the
// file libraries can hang or crash on damaged files. A failure is told on stderr in a line
// "error: REASON" and ends with status 1; bad arguments end with status 2.
#include "Exports.h"
#include "ReaderError.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

namespace {
// Windows hands main() its arguments in the system's code page, which cannot hold every
// table name. The argument is taken again from the wide command line, as UTF-8, which is
// how mdbtools gives the names in the file; empty when it cannot be had.
std::string utf8Argument(int index)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string out;
    if (wide && index < count) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, wide[index], -1, nullptr, 0, nullptr, nullptr);
        if (n > 0) {
            out.resize(std::size_t(n));
            WideCharToMultiByte(CP_UTF8, 0, wide[index], -1, out.data(), n, nullptr, nullptr);
            out.resize(std::size_t(n - 1));
        }
    }
    LocalFree(wide);
    return out;
}
} // namespace
#endif

int main(int argc, char** argv)
{
    // Numbers and dates must not follow the user's locale (no "444,555").
    std::setlocale(LC_ALL, "C");
#ifdef _WIN32
    // The table goes out byte for byte: no "\n" may become "\r\n" on the way.
    _setmode(_fileno(stdout), _O_BINARY);
#endif

    const bool mdb = argc == 4 && std::strcmp(argv[1], "mdb") == 0;
    const bool xls = argc == 3 && std::strcmp(argv[1], "xls") == 0;
    if (!mdb && !xls) {
        std::fputs("usage: velmora-reader mdb FILE TABLE\n"
                   "       velmora-reader xls FILE\n",
            stderr);
        return 2;
    }

    std::string out;
    try {
        if (mdb) {
#ifdef _WIN32
            // The file's name stays in the code page: that is how mdbtools opens files there.
            const std::string table = utf8Argument(3);
            exportMdbTable(argv[2], table.empty() ? argv[3] : table.c_str(), out);
#else
            exportMdbTable(argv[2], argv[3], out);
#endif
        } else
            exportFirstWorksheet(argv[2], out);
    } catch (const ReaderError& e) {
        std::fprintf(stderr, "\nerror: %s\n", e.what());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fputs("\nerror: there is not enough memory to read the file\n", stderr);
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "\nerror: %s\n", e.what());
        return 1;
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        std::fputs("\nerror: the table could not be handed over\n", stderr);
        return 1;
    }
    return 0;
}

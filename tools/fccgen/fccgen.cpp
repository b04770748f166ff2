// fccgen: writes licence files of fictitious amateur licences.
//   fccgen --records N [--seed S] [--lf] --output FILE
//       EN.dat alone.
//   fccgen --records N [--seed S] --date YYYY-MM-DD --set DIR [--through D]
//       The weekly set dated YYYY-MM-DD with the daily sets 1..D applied, as plain
//       EN.dat, HD.dat, AM.dat and counts in DIR, and manifest.txt listing what each
//       daily set did.
//   fccgen --records N [--seed S] --date YYYY-MM-DD --weekly-zip FILE
//   fccgen --records N [--seed S] --date YYYY-MM-DD --daily D --daily-zip FILE
//       The weekly set, or daily set D, as the FCC publishes them: a zip of EN.dat,
//       HD.dat, AM.dat and counts.
#include "EnFileGenerator.h"
#include "LicenceSetGenerator.h"

#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Files : fccgen::SetSink {
    std::FILE* out[3] = {};
    std::uint64_t count = 0;
    std::string eol = "\r\n";
    bool open(const fs::path& dir)
    {
        const char* names[] = { "EN.dat", "HD.dat", "AM.dat" };
        for (int k = 0; k < 3; ++k)
            if (!(out[k] = std::fopen((dir / names[k]).string().c_str(), "wb")))
                return false;
        return true;
    }
    bool put(const fccgen::Licence& l) override
    {
        ++count;
        return write(0, l.en) && write(1, l.hd) && write(2, l.am);
    }
    bool write(int k, const std::string& line)
    {
        return std::fwrite(line.data(), 1, line.size(), out[k]) == line.size()
            && std::fwrite(eol.data(), 1, eol.size(), out[k]) == eol.size();
    }
    bool close()
    {
        bool ok = true;
        for (std::FILE*& f : out)
            if (f) {
                ok = std::fclose(f) == 0 && ok;
                f = nullptr;
            }
        return ok;
    }
};

bool writeCounts(const fs::path& dir, long day, std::uint64_t count)
{
    std::FILE* f = std::fopen((dir / "counts").string().c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "%s\n", fccgen::countsHead(day).c_str());
    for (const char* name : { "AM.dat", "EN.dat", "HD.dat" })
        std::fprintf(f, "%10llu %s\n", static_cast<unsigned long long>(count), name);
    return std::fclose(f) == 0;
}

bool zipFolder(const fs::path& dir, const std::string& output)
{
    const std::string partial = output + ".part";
    std::remove(partial.c_str());
    int code = 0;
    zip_t* z = zip_open(partial.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!z)
        return false;
    for (const char* name : { "counts", "AM.dat", "EN.dat", "HD.dat" }) {
        zip_source_t* src = zip_source_file(z, (dir / name).string().c_str(), 0, -1);
        if (!src || zip_file_add(z, name, src, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(src);
            zip_discard(z);
            return false;
        }
    }
    if (zip_close(z) != 0) {
        zip_discard(z);
        return false;
    }
    return std::rename(partial.c_str(), output.c_str()) == 0;
}

int usage()
{
    std::fprintf(stderr,
        "usage: fccgen --records N [--seed S] [--lf] --output FILE\n"
        "       fccgen --records N [--seed S] --date YYYY-MM-DD --set DIR [--through D]\n"
        "       fccgen --records N [--seed S] --date YYYY-MM-DD --weekly-zip FILE\n"
        "       fccgen --records N [--seed S] --date YYYY-MM-DD --daily D --daily-zip FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::uint64_t records = 1500000;
    std::uint64_t seed = 1;
    bool crlf = true;
    const char* output = nullptr;
    const char* setDir = nullptr;
    const char* zipFile = nullptr;
    bool weekly = false;
    int daily = 0, through = 0, y = 0, m = 0, d = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool more = i + 1 < argc;
        if (arg == "--records" && more)
            records = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--seed" && more)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--lf")
            crlf = false;
        else if (arg == "--output" && more)
            output = argv[++i];
        else if (arg == "--set" && more)
            setDir = argv[++i];
        else if (arg == "--through" && more)
            through = std::atoi(argv[++i]);
        else if (arg == "--daily" && more)
            daily = std::atoi(argv[++i]);
        else if ((arg == "--weekly-zip" || arg == "--daily-zip") && more) {
            weekly = arg == "--weekly-zip";
            zipFile = argv[++i];
        } else if (arg == "--date" && more && std::sscanf(argv[i + 1], "%d-%d-%d", &y, &m, &d) == 3)
            ++i;
        else
            return usage();
    }
    if (output) {
        // Written beside the target and renamed at the end, so a stopped run leaves no
        // half file behind.
        const std::string partial = std::string(output) + ".part";
        std::FILE* out = std::fopen(partial.c_str(), "wb");
        if (!out) {
            std::fprintf(stderr, "fccgen: cannot create %s: %s\n", partial.c_str(), std::strerror(errno));
            return 1;
        }
        const bool written = fccgen::writeEnFile(out, records, seed, crlf);
        if (std::fclose(out) != 0 || !written || std::rename(partial.c_str(), output) != 0) {
            std::fprintf(stderr, "fccgen: cannot write %s: %s\n", output, std::strerror(errno));
            std::remove(partial.c_str());
            return 1;
        }
        return 0;
    }
    if ((!setDir && !zipFile) || y == 0 || (zipFile && !weekly && daily < 1))
        return usage();
    const long weeklyDay = fccgen::daysOf(y, m, d);
    // Sets to be zipped are written plain first, into a folder beside the zip.
    const fs::path dir = setDir ? fs::path(setDir) : fs::path(std::string(zipFile) + ".files");
    std::error_code ec;
    fs::create_directories(dir, ec);
    Files files;
    if (!crlf)
        files.eol = "\n";
    std::vector<std::string> notes;
    bool ok = files.open(dir);
    if (ok && zipFile && !weekly)
        ok = fccgen::walkDaily(records, seed, weeklyDay, daily, files);
    else if (ok)
        ok = fccgen::walkSet(records, seed, weeklyDay, zipFile ? 0 : through, files, &notes);
    ok = files.close() && ok;
    const long day = weeklyDay + (zipFile ? (weekly ? 0 : daily) : through);
    ok = ok && writeCounts(dir, day, files.count);
    if (ok && setDir) {
        std::FILE* f = std::fopen((dir / "manifest.txt").string().c_str(), "wb");
        ok = f != nullptr;
        for (const std::string& note : notes)
            ok = ok && std::fprintf(f, "%s\n", note.c_str()) > 0;
        ok = f && std::fclose(f) == 0 && ok;
    }
    if (ok && zipFile) {
        ok = zipFolder(dir, zipFile);
        fs::remove_all(dir, ec);
    }
    if (!ok) {
        std::fprintf(stderr, "fccgen: cannot write %s\n", zipFile ? zipFile : setDir);
        return 1;
    }
    return 0;
}

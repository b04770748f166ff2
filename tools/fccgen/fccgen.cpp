// fccgen: writes a licence entity file of fictitious amateur licences.
//   fccgen --records N [--seed S] [--lf] --output FILE
#include "EnFileGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    std::uint64_t records = 1500000;
    std::uint64_t seed = 1;
    bool crlf = true;
    const char* output = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--records" && i + 1 < argc)
            records = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--seed" && i + 1 < argc)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--lf")
            crlf = false;
        else if (arg == "--output" && i + 1 < argc)
            output = argv[++i];
        else {
            std::fprintf(stderr, "usage: fccgen --records N [--seed S] [--lf] --output FILE\n");
            return 2;
        }
    }
    if (!output) {
        std::fprintf(stderr, "fccgen: no --output file given\n");
        return 2;
    }
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

#pragma once
// The full-size national licence set the benchmarks read: 1.5 million licences made by the
// program's own generator (EN.dat, HD.dat and AM.dat), written once into the build tree
// and kept.
#include "../tools/fccgen/EnFileGenerator.h"
#include "../tools/fccgen/LicenceSetGenerator.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace bigset {

struct Writer : fccgen::SetSink {
    std::FILE* out[3] = {};
    bool put(const fccgen::Licence& l) override
    {
        const std::string* lines[3] = { &l.en, &l.hd, &l.am };
        for (int k = 0; k < 3; ++k)
            if (std::fwrite(lines[k]->data(), 1, lines[k]->size(), out[k]) != lines[k]->size()
                || std::fwrite("\r\n", 1, 2, out[k]) != 2)
                return false;
        return true;
    }
};

} // namespace bigset

// The EN.dat of the set; HD.dat and AM.dat lie beside it.
inline QString ensureBigFile()
{
    const QString folder = QStringLiteral(VELMORA_BINARY_DIR "/bench-data/FCCraw");
    const QString path = folder + "/EN.dat";
    const char* names[] = { "EN.dat", "HD.dat", "AM.dat" };
    bool all = true;
    for (const char* name : names)
        all = all && QFile::exists(folder + "/" + name);
    if (all)
        return path;
    QDir().mkpath(folder);
    std::fprintf(stderr, "writing %s (1.5 million licences) once...\n", qPrintable(folder));
    bigset::Writer writer;
    bool ok = true;
    for (int k = 0; k < 3; ++k)
        ok = ok
            && (writer.out[k]
                = std::fopen(QFile::encodeName(folder + "/" + names[k] + ".part").constData(), "wb"));
    ok = ok && fccgen::walkSet(1500000, 1, fccgen::daysOf(2025, 9, 28), 0, writer);
    for (std::FILE* f : writer.out)
        ok = f && std::fclose(f) == 0 && ok;
    for (int k = 0; k < 3 && ok; ++k) {
        const QString target = folder + "/" + names[k];
        QFile::remove(target);
        ok = QFile::rename(target + ".part", target);
    }
    if (!ok) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(folder));
        std::exit(1);
    }
    return path;
}

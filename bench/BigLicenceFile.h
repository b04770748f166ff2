#pragma once
// The full-size national licence file the benchmarks read: 1.5 million records made by the
// program's own generator, written once into the build tree and kept.
#include "../tools/fccgen/EnFileGenerator.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>

inline QString ensureBigFile()
{
    const QString folder = QStringLiteral(VELMORA_BINARY_DIR "/bench-data/FCCraw");
    const QString path = folder + "/EN.dat";
    if (QFile::exists(path))
        return path;
    QDir().mkpath(folder);
    std::fprintf(stderr, "writing %s (1.5 million records) once...\n", qPrintable(path));
    const QString partial = path + ".part";
    std::FILE* out = std::fopen(QFile::encodeName(partial).constData(), "wb");
    if (!out || !fccgen::writeEnFile(out, 1500000, 1) || std::fclose(out) != 0
        || !QFile::rename(partial, path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    return path;
}

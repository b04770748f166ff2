#include "fcc/LicenceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <exception>
#include <new>

QString LicenceFilePath(const QString& installFolder)
{
    return QDir::toNativeSeparators(QDir(installFolder).absoluteFilePath(QStringLiteral("FCCraw/EN.dat")));
}

LicenceFileScan ScanLicenceFile(const QString& path, std::string_view prefix, LicenceBlockPool* pool,
    std::size_t pieceSize, const std::atomic<bool>* stop)
{
    LicenceFileScan scan;
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        scan.error = QStringLiteral("it is a folder");
        return scan;
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        scan.error = file.errorString();
        return scan;
    }
    try {
        LicenceLineScanner scanner { std::string(prefix), pool };
        for (;;) {
            if (stop && stop->load()) {
                scan.error = QStringLiteral("the reading was stopped");
                return scan;
            }
            const qint64 n = file.read(scanner.buffer(pieceSize), qint64(pieceSize));
            if (n < 0) {
                scan.error = file.errorString();
                return scan;
            }
            if (n == 0)
                break;
            scanner.commit(std::size_t(n));
        }
        scanner.finish();
        scan.lines = scanner.take();
    } catch (const std::bad_alloc&) {
        scan.error = QStringLiteral("not enough memory for the list");
    } catch (const std::exception& e) {
        scan.error = QString::fromLocal8Bit(e.what());
    }
    return scan;
}

long long BuildPrefixList(const QString& path, std::string_view prefix, LicenceList& list, QString* error)
{
    LicenceFileScan scan = ScanLicenceFile(path, prefix);
    if (!scan.ok()) {
        if (error)
            *error = scan.error;
        return -1;
    }
    list.append(std::move(scan.lines));
    return static_cast<long long>(list.size());
}

long long FindCallInList(const LicenceList& list, std::string_view call)
{
    const auto found = list.findCall(call);
    return found ? static_cast<long long>(*found) : -1;
}

QString SaveLicenceList(const LicenceList& list, const QString& fileName)
{
    QSaveFile file(fileName);
    if (QFileInfo(fileName).isDir())
        return QStringLiteral("%1 is a folder").arg(QDir::toNativeSeparators(fileName));
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // Lines go out in large writes; QSaveFile keeps the old file until commit().
    QByteArray chunk;
    constexpr qsizetype chunkSize = 1 << 20;
    chunk.reserve(chunkSize + 4096);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string_view line = list.line(i);
        chunk.append(line.data(), qsizetype(line.size()));
        chunk.append("\r\n", 2);
        if (chunk.size() >= chunkSize) {
            if (file.write(chunk) != chunk.size()) {
                const QString why = file.errorString();
                file.cancelWriting();
                return why;
            }
            chunk.resize(0);
        }
    }
    if (!chunk.isEmpty() && file.write(chunk) != chunk.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

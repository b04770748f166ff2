#include "licence/LicenceFile.h"

#include "licence/FccLicenceSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>
#include <exception>
#include <new>
#include <vector>

QString LicenceFilePath(const QString& installFolder)
{
    return QDir::toNativeSeparators(QDir(installFolder).absoluteFilePath(QStringLiteral("FCCraw/EN.dat")));
}

namespace {

// The licence file open for reading, and later mapped for the text of its lines.
class MappedText : public LicenceText {
public:
    QFile& file() { return m_file; }
    // Maps the open file; its first size bytes must still be there.
    bool map(qint64 size, QString* error)
    {
        const qint64 now = m_file.size();
        if (now < size) {
            *error = QStringLiteral("the file was cut short while it was read");
            return false;
        }
        if (now == 0)
            return true;
        uchar* data = m_file.map(0, now, QFileDevice::MapPrivateOption);
        if (!data) {
            *error = m_file.errorString();
            return false;
        }
        m_text = std::string_view(reinterpret_cast<const char*>(data), std::size_t(now));
        return true;
    }
    std::string_view text() const override { return m_text; }

private:
    QFile m_file; // the mapping ends when the file is closed, with the last list using it
    std::string_view m_text;
};

} // namespace

LicenceFileScan ScanLicenceFile(const QString& given, std::string_view prefix, const std::atomic<bool>* stop)
{
    const QString path = CurrentLicenceFile(given);
    // The file is read in pieces as grep reads it, which is the fastest way through it;
    // the list keeps only where its lines lie. The same open file is then mapped for the
    // text of the lines, so they are the bytes that were read even when an import has
    // renamed a new file into place meanwhile.
    LicenceFileScan scan;
    if (QFileInfo(path).isDir()) {
        scan.error = QStringLiteral("it is a folder");
        return scan;
    }
    auto text = std::make_shared<MappedText>();
    QFile& file = text->file();
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        scan.error = file.errorString();
        return scan;
    }
    try {
        LicenceLineIndexer indexer(prefix);
        indexer.expect(std::uint64_t(std::max<qint64>(file.size(), 0)));
        std::vector<char> buffer(1u << 20);
        std::size_t filled = 0;
        std::uint64_t base = 0; // file offset of buffer[0]
        for (;;) {
            if (stop && stop->load()) {
                scan.error = QStringLiteral("the reading was stopped");
                return scan;
            }
            const qint64 n = file.read(buffer.data() + filled, qint64(buffer.size() - filled));
            if (n < 0) {
                scan.error = file.errorString();
                return scan;
            }
            const bool atEnd = n == 0;
            filled += std::size_t(n);
            const std::size_t used = indexer.feed(buffer.data(), filled, atEnd, base);
            if (atEnd) {
                base += filled;
                break;
            }
            if (used == 0 && filled == buffer.size()) // a line longer than the buffer
                buffer.resize(buffer.size() * 2);
            std::memmove(buffer.data(), buffer.data() + used, filled - used);
            filled -= used;
            base += used;
        }
        if (!text->map(qint64(base), &scan.error))
            return scan;
        scan.lines = indexer.take(std::move(text));
    } catch (const std::bad_alloc&) {
        scan.error = QStringLiteral("not enough memory for the list");
    } catch (const std::exception& e) {
        scan.error = QString::fromLocal8Bit(e.what());
    }
    if (!scan.ok())
        scan.lines.clear();
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

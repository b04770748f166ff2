#include "fcc/LicenceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <exception>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

QString LicenceFilePath(const QString& installFolder)
{
    return QDir::toNativeSeparators(QDir(installFolder).absoluteFilePath(QStringLiteral("FCCraw/EN.dat")));
}

namespace {

class MappedText : public LicenceText {
public:
    bool map(const QString& path, QString* error)
    {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::ReadOnly)) {
            *error = m_file.errorString();
            return false;
        }
        const qint64 size = m_file.size();
        if (size == 0)
            return true;
        uchar* data = m_file.map(0, size, QFileDevice::MapPrivateOption);
        if (!data) {
            *error = m_file.errorString();
            return false;
        }
#if defined(__linux__)
        // Read once from start to end: the system may read ahead far.
        madvise(data, std::size_t(size), MADV_SEQUENTIAL);
#endif
        m_text = std::string_view(reinterpret_cast<const char*>(data), std::size_t(size));
        return true;
    }
    std::string_view text() const override
    {
        return m_text;
    }

private:
    QFile m_file; // the mapping ends when the file is closed, with the last list using it
    std::string_view m_text;
};

} // namespace

std::shared_ptr<const LicenceText> MapLicenceFile(const QString& path, QString* error)
{
    if (QFileInfo(path).isDir()) {
        *error = QStringLiteral("it is a folder");
        return nullptr;
    }
    auto text = std::make_shared<MappedText>();
    if (!text->map(path, error))
        return nullptr;
    return text;
}

LicenceFileScan ScanLicenceFile(const QString& path, std::string_view prefix, const std::atomic<bool>* stop)
{
    LicenceFileScan scan;
    try {
        const std::shared_ptr<const LicenceText> text = MapLicenceFile(path, &scan.error);
        if (!text)
            return scan;
        scan.lines = ScanLicenceLines(text, prefix, stop);
        if (stop && stop->load())
            scan.error = QStringLiteral("the reading was stopped");
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

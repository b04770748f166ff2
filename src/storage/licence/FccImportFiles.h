#pragma once
// The files of an import: each licence file is written under another name in the new
// set's folder and renamed to its own name once written whole (the set becomes current
// only later, FccLicenceSet.h); and plain licence files read line by line, for daily sets
// applied to the files of an earlier import. QtCore only.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string_view>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace fccimport {

// One licence file written beside its target under another name, renamed into place
// only by commit(); removed when dropped.
class StagedFile {
public:
    explicit StagedFile(const QString& target)
        : m_target(target), m_temp(target + QStringLiteral(".importing")), m_file(m_temp)
    {
    }
    ~StagedFile()
    {
        if (!m_committed) {
            m_file.close();
            QFile::remove(m_temp);
        }
    }
    bool open() { return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate); }
    bool write(std::string_view line)
    {
        m_buffer.append(line.data(), qsizetype(line.size()));
        m_buffer.append("\r\n", 2);
        return m_buffer.size() < (1 << 20) || flush();
    }
    // Everything written and on the disk.
    bool finish()
    {
        if (!flush() || !m_file.flush())
            return false;
#if defined(Q_OS_UNIX)
        if (::fsync(m_file.handle()) != 0)
            return false;
#endif
        m_file.close();
        return m_file.error() == QFileDevice::NoError;
    }
    bool commit()
    {
        m_committed
            = std::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_target).constData())
            == 0;
        return m_committed;
    }
    QString temp() const
    {
        return m_temp;
    }
    QString errorString() const
    {
        return m_file.errorString();
    }

private:
    bool flush()
    {
        const bool ok = m_buffer.isEmpty() || m_file.write(m_buffer) == m_buffer.size();
        m_buffer.resize(0);
        return ok;
    }
    QString m_target, m_temp;
    QFile m_file;
    QByteArray m_buffer;
    bool m_committed = false;
};

// Hands each line of a plain file to line(), without its line end.
inline bool forEachFileLine(const QString& path, const std::function<void(std::string_view)>& line,
    const std::function<bool(std::int64_t)>& keepGoing, QString* error, std::size_t maxLine = 4096)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QByteArray buffer;
    std::int64_t read = 0;
    while (!file.atEnd()) {
        buffer = file.readLine(qint64(maxLine) * 16);
        if (buffer.isEmpty() && file.error() != QFileDevice::NoError) {
            *error = file.errorString();
            return false;
        }
        read += buffer.size();
        qsizetype n = buffer.size();
        while (n > 0 && (buffer[n - 1] == '\n' || buffer[n - 1] == '\r'))
            --n;
        line(std::string_view(buffer.constData(), std::size_t(n)));
        if ((read & 0xFFFF) < buffer.size() && keepGoing && !keepGoing(read)) {
            *error = QStringLiteral("the import was stopped");
            return false;
        }
    }
    return true;
}

} // namespace fccimport

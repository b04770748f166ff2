#pragma once
// Reads a licence file (EN.dat, HD.dat or AM.dat) from start to end in large pieces and
// hands each line to a function with its offset in the file: line(const char*, size,
// offset). A line ends at LF, CR or CR LF; the last line needs no line end. Only the
// start of a line matters to the readers (the fields they want lie in its first few
// hundred bytes), so a line longer than half the read buffer is handed over cut short
// and the rest of it is dropped. QtCore only.
#include <QFile>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <vector>

namespace fccfile {

inline std::size_t findByte(const char* b, std::size_t from, std::size_t size, char c)
{
    const void* p = std::memchr(b + from, c, size - from);
    return p ? std::size_t(static_cast<const char*>(p) - b) : size;
}

// Returns an empty text when the whole file was read, else why not. Offsets are 32-bit:
// a file of 4 GiB or more is refused.
template <typename LineFn>
QString readLicenceLines(const QString& path, LineFn&& line, const std::atomic<bool>* cancel = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return file.errorString();
    constexpr std::size_t kPiece = 4u << 20;
    std::vector<char> buffer(kPiece);
    char* const b = buffer.data();
    std::size_t filled = 0;
    std::uint64_t base = 0; // file offset of b[0]
    bool skipping = false; // dropping the rest of a line too long to gather
    for (;;) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return QStringLiteral("cancelled");
        const qint64 n = file.read(b + filled, qint64(buffer.size() - filled));
        if (n < 0)
            return file.errorString();
        const bool atEnd = n == 0;
        filled += std::size_t(n);
        if (base + filled >= (std::uint64_t(1) << 32))
            return QStringLiteral("the file is 4 GiB or more");
        std::size_t pos = 0;
        if (skipping) {
            const std::size_t end = std::min(findByte(b, 0, filled, '\r'), findByte(b, 0, filled, '\n'));
            if (end < filled || atEnd)
                skipping = false;
            pos = end < filled ? end + 1 : filled;
        }
        // The next CR and the next LF, each searched again only once passed, so a file
        // with one kind of line end is not searched through for the other at every line.
        std::size_t cr = findByte(b, pos, filled, '\r');
        std::size_t lf = findByte(b, pos, filled, '\n');
        while (pos < filled) {
            if (cr < pos)
                cr = findByte(b, pos, filled, '\r');
            if (lf < pos)
                lf = findByte(b, pos, filled, '\n');
            const std::size_t end = std::min(cr, lf);
            if (end == filled && !atEnd)
                break;
            line(b + pos, end - pos, std::uint32_t(base + pos));
            pos = end + 1;
        }
        pos = std::min(pos, filled);
        if (atEnd)
            return QString();
        if (pos == 0 && filled > buffer.size() / 2) {
            line(b, filled, std::uint32_t(base));
            skipping = true;
            pos = filled;
        }
        std::memmove(b, b + pos, filled - pos);
        filled -= pos;
        base += pos;
    }
}

} // namespace fccfile

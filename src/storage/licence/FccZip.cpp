#include "licence/FccZip.h"

#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <cstring>
#include <vector>

namespace {

QString zipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

struct EntryCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

} // namespace

FccZip::FccZip() = default;

FccZip::~FccZip()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool FccZip::open(const QString& path)
{
    if (m_zip) {
        zip_discard(m_zip);
        m_zip = nullptr;
    }
    m_path = path;
    if (QFileInfo(path).isDir()) {
        m_error = QStringLiteral("it is a folder");
        return false;
    }
    int code = 0;
    // The consistency check compares the central directory with the entries' own
    // headers, so a zip cut short or patched over is refused here.
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!m_zip) {
        m_error = zipErrorText(code);
        return false;
    }
    m_error.clear();
    return true;
}

std::int64_t FccZip::locate(const char* name) const
{
    return m_zip ? zip_name_locate(m_zip, name, ZIP_FL_NOCASE | ZIP_FL_NODIR) : -1;
}

bool FccZip::has(const char* name) const
{
    return locate(name) >= 0;
}

std::int64_t FccZip::size(const char* name) const
{
    const std::int64_t i = locate(name);
    zip_stat_t st;
    if (i < 0 || zip_stat_index(m_zip, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return -1;
    return std::int64_t(st.size);
}

std::optional<std::string> FccZip::readAll(const char* name, std::size_t limit)
{
    std::string text;
    bool tooLong = false;
    const bool ok = forEachLine(
        name,
        [&](std::string_view line) {
            text.append(line);
            text += '\n';
        },
        [&](std::int64_t read) {
            tooLong = std::uint64_t(read) > limit;
            return !tooLong;
        });
    if (!ok) {
        if (tooLong)
            m_error = QStringLiteral("%1 is too large").arg(QLatin1String(name));
        return std::nullopt;
    }
    return text;
}

bool FccZip::forEachLine(const char* name, const std::function<void(std::string_view)>& line,
    const std::function<bool(std::int64_t)>& keepGoing, std::size_t maxLine)
{
    const std::int64_t i = locate(name);
    if (i < 0) {
        m_error = QStringLiteral("it holds no %1").arg(QLatin1String(name));
        return false;
    }
    std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen_index(m_zip, zip_uint64_t(i), 0));
    if (!entry) {
        m_error = QStringLiteral("%1 cannot be read: %2")
                      .arg(QLatin1String(name), QString::fromLocal8Bit(zip_strerror(m_zip)));
        return false;
    }
    constexpr std::size_t kPiece = 1u << 20;
    std::vector<char> buffer(kPiece + maxLine + 1);
    std::size_t filled = 0;
    std::int64_t total = 0;
    bool skipping = false; // the rest of a line longer than maxLine
    bool lastWasCr = false; // a CR ended the previous piece's last line: an LF next is its end
    for (;;) {
        const zip_int64_t n = zip_fread(entry.get(), buffer.data() + filled, kPiece);
        if (n < 0) {
            // Also where a cut-short or altered entry fails its check sum, at its end.
            m_error = QStringLiteral("%1 is damaged: %2")
                          .arg(QLatin1String(name), QString::fromLocal8Bit(zip_file_strerror(entry.get())));
            return false;
        }
        total += n;
        if (keepGoing && !keepGoing(total)) {
            m_error = QStringLiteral("the reading of %1 was stopped").arg(QLatin1String(name));
            return false;
        }
        const bool atEnd = n == 0;
        filled += std::size_t(n);
        const char* const b = buffer.data();
        std::size_t pos = 0;
        if (lastWasCr && filled > 0) {
            if (b[0] == '\n')
                pos = 1;
            lastWasCr = false;
        }
        while (pos < filled) {
            const char* p = b + pos;
            const std::size_t rest = filled - pos;
            const char* end = static_cast<const char*>(std::memchr(p, '\n', rest));
            const char* cr
                = static_cast<const char*>(std::memchr(p, '\r', end ? std::size_t(end - p) : rest));
            if (cr)
                end = cr;
            if (!end) {
                if (!atEnd && !skipping && rest <= maxLine)
                    break; // the line goes on in the next piece
                if (!skipping)
                    line(std::string_view(p, std::min(rest, maxLine)));
                skipping = !atEnd;
                pos = filled;
                break;
            }
            if (!skipping)
                line(std::string_view(p, std::min(std::size_t(end - p), maxLine)));
            skipping = false;
            pos = std::size_t(end - b) + 1;
            if (*end == '\r') {
                if (pos < filled && b[pos] == '\n')
                    ++pos;
                else if (pos == filled)
                    lastWasCr = true;
            }
        }
        if (atEnd)
            return true;
        std::memmove(buffer.data(), b + pos, filled - pos);
        filled -= pos;
    }
}

#include "fcc/FccCallIndex.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <new>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

// ---- packed calls ----

namespace fcccall {
namespace {

constexpr std::uint64_t kBase = 37;

// Powers of 37: kPower[i] is the weight of the character i places from the end of
// the 12 places.
constexpr std::array<std::uint64_t, kMaxLength + 1> powers()
{
    std::array<std::uint64_t, kMaxLength + 1> p {};
    p[0] = 1;
    for (std::size_t i = 1; i <= kMaxLength; ++i)
        p[i] = p[i - 1] * kBase;
    return p;
}
constexpr auto kPower = powers();

// 1..10 for the digits, 11..36 for the letters (either case); 0 for anything else.
constexpr std::array<std::uint8_t, 256> symbols()
{
    std::array<std::uint8_t, 256> s {};
    for (int c = '0'; c <= '9'; ++c)
        s[std::size_t(c)] = std::uint8_t(c - '0' + 1);
    for (int c = 'A'; c <= 'Z'; ++c) {
        s[std::size_t(c)] = std::uint8_t(c - 'A' + 11);
        s[std::size_t(c - 'A' + 'a')] = std::uint8_t(c - 'A' + 11);
    }
    return s;
}
constexpr auto kSymbol = symbols();

constexpr char kCharacter[] = "?0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

} // namespace

std::optional<std::uint64_t> pack(std::string_view call)
{
    if (call.empty() || call.size() > kMaxLength)
        return std::nullopt;
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < call.size(); ++i) {
        const std::uint8_t s = kSymbol[static_cast<unsigned char>(call[i])];
        if (s == 0)
            return std::nullopt;
        key += s * kPower[kMaxLength - 1 - i];
    }
    return key;
}

std::string unpack(std::uint64_t key)
{
    char text[kMaxLength];
    for (std::size_t i = kMaxLength; i-- > 0;) {
        text[i] = kCharacter[key % kBase];
        key /= kBase;
    }
    std::size_t length = kMaxLength;
    while (length > 0 && text[length - 1] == '?')
        --length;
    return std::string(text, length);
}

std::uint64_t reversed(std::uint64_t key)
{
    std::uint8_t s[kMaxLength];
    for (std::size_t i = kMaxLength; i-- > 0;) {
        s[i] = std::uint8_t(key % kBase);
        key /= kBase;
    }
    std::size_t length = kMaxLength;
    while (length > 0 && s[length - 1] == 0)
        --length;
    std::uint64_t out = 0;
    for (std::size_t i = 0; i < length; ++i)
        out += s[length - 1 - i] * kPower[kMaxLength - 1 - i];
    return out;
}

} // namespace fcccall

// ---- the file's stamp ----

namespace {

std::filesystem::path nativePath(const QString& path)
{
#if defined(Q_OS_WIN)
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

std::optional<LicenceFileStamp> StampOfLicenceFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(nativePath(path), ec);
    if (ec)
        return std::nullopt;
    LicenceFileStamp stamp;
    stamp.size = info.size();
    stamp.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
    return stamp;
}

// ---- building ----

namespace {

struct Found {
    std::uint64_t key;
    std::uint32_t offset;
};

// Collects the call and line start of every record as the file's bytes go by.
class CallCollector {
public:
    explicit CallCollector(std::vector<Found>& found) : m_found(found) { }

    // Handles the complete lines among the first size bytes of b (all of them when
    // atEnd), b[0] lying at file offset base. Returns how many bytes it used: the
    // unfinished last line begins there.
    std::size_t lines(const char* b, std::size_t size, bool atEnd, std::uint64_t base)
    {
        std::size_t pos = 0;
        if (m_skipping) {
            // The rest of a line already handled.
            const std::size_t end = nextEnd(b, 0, size);
            if (end == size) {
                if (atEnd)
                    m_skipping = false;
                return size;
            }
            m_skipping = false;
            pos = end + 1;
        }
        // The next CR and the next LF, each searched again only once passed, so a file
        // with one kind of line end is not searched through for the other kind at
        // every line.
        std::size_t cr = find(b, pos, size, '\r');
        std::size_t lf = find(b, pos, size, '\n');
        while (pos < size) {
            if (cr < pos)
                cr = find(b, pos, size, '\r');
            if (lf < pos)
                lf = find(b, pos, size, '\n');
            const std::size_t end = std::min(cr, lf);
            if (end == size && !atEnd)
                break;
            line(b + pos, end - pos, base + pos);
            pos = end + 1;
        }
        return std::min(pos, size);
    }

    // For a line too long to keep gathering: handles the bytes it has (the call lies at
    // its start) and drops the rest of the line as it comes.
    void longLine(const char* b, std::size_t size, std::uint64_t base)
    {
        line(b, size, base);
        m_skipping = true;
    }

private:
    static std::size_t find(const char* b, std::size_t from, std::size_t size, char c)
    {
        const void* p = std::memchr(b + from, c, size - from);
        return p ? std::size_t(static_cast<const char*>(p) - b) : size;
    }
    static std::size_t nextEnd(const char* b, std::size_t from, std::size_t size)
    {
        return std::min(find(b, from, size, '\r'), find(b, from, size, '\n'));
    }

    void line(const char* p, std::size_t n, std::uint64_t offset)
    {
        const std::string_view call = LicenceCallSign(StripLicenceHead(std::string_view(p, n)));
        if (const auto key = fcccall::pack(call))
            m_found.push_back({ *key, std::uint32_t(offset) });
    }

    std::vector<Found>& m_found;
    bool m_skipping = false;
};

constexpr std::size_t kPiece = 4u << 20;

} // namespace

std::shared_ptr<const FccCallIndex> FccCallIndex::build(
    const QString& path, QString* error, const std::atomic<bool>* cancel)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::shared_ptr<const FccCallIndex>();
    };
    const auto stamp = StampOfLicenceFile(path);
    if (!stamp)
        return fail(QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(file.errorString());

    std::shared_ptr<FccCallIndex> index(new FccCallIndex);
    index->m_path = path;
    index->m_stamp = *stamp;
    try {
        std::vector<Found> found;
        // About one record per 100 bytes or more; room that is never written costs no memory.
        found.reserve(std::size_t(std::max<qint64>(stamp->size, 0) / 96 + 64));
        CallCollector collector(found);
        std::vector<char> buffer(kPiece);
        std::size_t filled = 0;
        std::uint64_t base = 0; // file offset of buffer[0]
        for (;;) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return fail(QStringLiteral("cancelled"));
            const qint64 n = file.read(buffer.data() + filled, qint64(buffer.size() - filled));
            if (n < 0)
                return fail(file.errorString());
            const bool atEnd = n == 0;
            filled += std::size_t(n);
            if (base + filled >= (std::uint64_t(1) << 32))
                return fail(QStringLiteral("the file is 4 GiB or more"));
            std::size_t used = collector.lines(buffer.data(), filled, atEnd, base);
            if (atEnd)
                break;
            if (used == 0 && filled > buffer.size() / 2) {
                // A line longer than half the buffer: no call lies that far in.
                collector.longLine(buffer.data(), filled, base);
                used = filled;
            }
            std::memmove(buffer.data(), buffer.data() + used, filled - used);
            filled -= used;
            base += used;
        }

        // Sorted by call, and for one call by place in the file; the first is kept.
        std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
            return a.key != b.key ? a.key < b.key : a.offset < b.offset;
        });
        std::size_t unique = 0;
        for (std::size_t i = 0; i < found.size(); ++i)
            unique += i == 0 || found[i].key != found[i - 1].key;
        index->m_keys.reserve(unique);
        index->m_offsets.reserve(unique);
        for (std::size_t i = 0; i < found.size(); ++i) {
            if (i > 0 && found[i].key == found[i - 1].key)
                continue;
            index->m_keys.push_back(found[i].key);
            index->m_offsets.push_back(found[i].offset);
        }
        std::vector<Found>().swap(found);
        if (cancel && cancel->load(std::memory_order_relaxed))
            return fail(QStringLiteral("cancelled"));
        index->makeEndingOrder();
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("not enough memory for the call index"));
    }
#if defined(__GLIBC__)
    // The lists sorted on the way are as large as the index itself; the C library
    // would keep their memory for later use, leaving the program holding twice the
    // index. Give it back.
    malloc_trim(0);
#endif
    return index;
}

void FccCallIndex::makeEndingOrder()
{
    std::vector<Found> ending(m_keys.size());
    for (std::size_t i = 0; i < m_keys.size(); ++i)
        ending[i] = { fcccall::reversed(m_keys[i]), std::uint32_t(i) };
    // Reversed calls are unique as the calls are.
    std::sort(ending.begin(), ending.end(), [](const Found& a, const Found& b) { return a.key < b.key; });
    m_byEnding.resize(ending.size());
    for (std::size_t i = 0; i < ending.size(); ++i)
        m_byEnding[i] = ending[i].offset;
}

// ---- searching ----

std::optional<std::size_t> FccCallIndex::find(std::uint64_t key) const
{
    const auto it = std::lower_bound(m_keys.begin(), m_keys.end(), key);
    if (it == m_keys.end() || *it != key)
        return std::nullopt;
    return std::size_t(it - m_keys.begin());
}

std::optional<std::size_t> FccCallIndex::find(std::string_view call) const
{
    const auto key = fcccall::pack(call);
    return key ? find(*key) : std::nullopt;
}

std::pair<std::size_t, std::size_t> FccCallIndex::prefixRange(std::string_view text) const
{
    const auto key = fcccall::pack(text);
    if (!key)
        return { 0, 0 };
    // Every call that begins with text lies in [key, key + 37^(12 - length)).
    const std::uint64_t end = *key + fcccall::kPower[fcccall::kMaxLength - text.size()];
    const auto first = std::lower_bound(m_keys.begin(), m_keys.end(), *key);
    const auto last = std::lower_bound(first, m_keys.end(), end);
    return { std::size_t(first - m_keys.begin()), std::size_t(last - m_keys.begin()) };
}

std::pair<std::size_t, std::size_t> FccCallIndex::suffixRange(std::string_view text) const
{
    std::string backwards(text.rbegin(), text.rend());
    const auto key = fcccall::pack(backwards);
    if (!key)
        return { 0, 0 };
    const std::uint64_t end = *key + fcccall::kPower[fcccall::kMaxLength - text.size()];
    // The reversed calls are not stored: they are made again for the few places a
    // binary search visits.
    auto before = [this](std::uint32_t position, std::uint64_t value) {
        return fcccall::reversed(m_keys[position]) < value;
    };
    const auto first = std::lower_bound(m_byEnding.begin(), m_byEnding.end(), *key, before);
    const auto last = std::lower_bound(first, m_byEnding.end(), end, before);
    return { std::size_t(first - m_byEnding.begin()), std::size_t(last - m_byEnding.begin()) };
}

std::size_t FccCallIndex::memoryBytes() const
{
    return sizeof(*this) + m_keys.capacity() * sizeof(std::uint64_t)
        + (m_offsets.capacity() + m_byEnding.capacity()) * sizeof(std::uint32_t);
}

// ---- the cache file ----

namespace {

constexpr char kMagic[8] = { 'V', 'L', 'M', 'F', 'C', 'C', 'I', '1' };
constexpr std::uint32_t kByteOrder = 0x01020304;

struct CacheHead {
    char magic[8];
    std::uint32_t byteOrder;
    std::uint32_t pathBytes;
    std::int64_t sourceSize;
    std::int64_t sourceModified;
    std::uint64_t count;
    std::uint64_t check;
};

// A check sum of the numbers, so a damaged cache is not taken for an index.
std::uint64_t checkSum(const void* data, std::size_t bytes, std::uint64_t h)
{
    const auto* p = static_cast<const unsigned char*>(data);
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        h = (h ^ w) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 29;
    }
    for (; i < bytes; ++i)
        h = (h ^ p[i]) * 0x100000001B3ull;
    return h;
}

template <typename T> std::uint64_t checkSum(const std::vector<T>& v, std::uint64_t h)
{
    return checkSum(v.data(), v.size() * sizeof(T), h);
}

template <typename T> bool readAll(QFile& file, std::vector<T>& v, std::size_t count)
{
    v.resize(count);
    const qint64 bytes = qint64(count * sizeof(T));
    return file.read(reinterpret_cast<char*>(v.data()), bytes) == bytes;
}

template <typename T> bool writeAll(QSaveFile& file, const std::vector<T>& v)
{
    const qint64 bytes = qint64(v.size() * sizeof(T));
    return file.write(reinterpret_cast<const char*>(v.data()), bytes) == bytes;
}

} // namespace

bool FccCallIndex::save(const QString& cacheFile, QString* error) const
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QDir().mkpath(QFileInfo(cacheFile).absolutePath());
    QSaveFile file(cacheFile);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const QByteArray pathBytes = m_path.toUtf8();
    CacheHead head {};
    std::memcpy(head.magic, kMagic, sizeof kMagic);
    head.byteOrder = kByteOrder;
    head.pathBytes = std::uint32_t(pathBytes.size());
    head.sourceSize = m_stamp.size;
    head.sourceModified = m_stamp.modified;
    head.count = m_keys.size();
    head.check = checkSum(m_byEnding, checkSum(m_offsets, checkSum(m_keys, 0)));
    if (file.write(reinterpret_cast<const char*>(&head), sizeof head) != qint64(sizeof head)
        || file.write(pathBytes) != pathBytes.size() || !writeAll(file, m_keys) || !writeAll(file, m_offsets)
        || !writeAll(file, m_byEnding)) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

std::shared_ptr<const FccCallIndex> FccCallIndex::load(
    const QString& cacheFile, const QString& path, const LicenceFileStamp& stamp, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::shared_ptr<const FccCallIndex>();
    };
    QFile file(cacheFile);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    CacheHead head {};
    if (file.read(reinterpret_cast<char*>(&head), sizeof head) != qint64(sizeof head)
        || std::memcmp(head.magic, kMagic, sizeof kMagic) != 0 || head.byteOrder != kByteOrder)
        return fail(QStringLiteral("not a call index"));
    const std::uint64_t payload = head.count * (sizeof(std::uint64_t) + 2 * sizeof(std::uint32_t));
    if (head.count > (std::uint64_t(1) << 32) || head.pathBytes > 65536
        || std::uint64_t(file.size()) != sizeof head + head.pathBytes + payload)
        return fail(QStringLiteral("the call index is damaged"));
    if (QString::fromUtf8(file.read(head.pathBytes)) != path || head.sourceSize != stamp.size
        || head.sourceModified != stamp.modified)
        return fail(QStringLiteral("the call index was made from another file"));

    std::shared_ptr<FccCallIndex> index(new FccCallIndex);
    index->m_path = path;
    index->m_stamp = stamp;
    try {
        if (!readAll(file, index->m_keys, head.count) || !readAll(file, index->m_offsets, head.count)
            || !readAll(file, index->m_byEnding, head.count))
            return fail(QStringLiteral("the call index is damaged"));
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("not enough memory for the call index"));
    }
    if (checkSum(index->m_byEnding, checkSum(index->m_offsets, checkSum(index->m_keys, 0))) != head.check)
        return fail(QStringLiteral("the call index is damaged"));
    // What the searches rely on: calls in order, places and offsets inside their bounds.
    const auto& keys = index->m_keys;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if ((i > 0 && keys[i] <= keys[i - 1]) || std::int64_t(index->m_offsets[i]) >= stamp.size
            || index->m_byEnding[i] >= keys.size())
            return fail(QStringLiteral("the call index is damaged"));
    }
    return index;
}

// ---- records ----

FccRecordReader::FccRecordReader(const FccCallIndex& index) : m_index(index) { }

std::optional<LicenceRecord> FccRecordReader::record(std::size_t i)
{
    if (i >= m_index.size())
        return std::nullopt;
    if (!m_tried) {
        m_tried = true;
        m_file.setFileName(m_index.path());
        m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    if (!m_file.isOpen() || !m_file.seek(m_index.offset(i)))
        return std::nullopt;
    // The fields shown lie in the first part of a record; a longer line is cut.
    constexpr qint64 kRead = 1024;
    m_buffer.resize(std::size_t(kRead));
    const qint64 n = m_file.read(m_buffer.data(), kRead);
    if (n <= 0)
        return std::nullopt;
    std::string_view line(m_buffer.data(), std::size_t(n));
    line = line.substr(0, line.find_first_of("\r\n"));
    const std::string_view listLine = StripLicenceHead(line);
    const auto key = fcccall::pack(LicenceCallSign(listLine));
    if (!key || *key != m_index.key(i))
        return std::nullopt;
    return SplitLicenceRecord(listLine);
}

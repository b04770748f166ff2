// The call index kept in a cache file, and reading records through the index.
#include "licence/FccCallIndex.h"

#include "licence/FccLicenceSet.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>
#include <new>

// ---- the cache file ----

namespace {

// Version 3: each call at its current holder's record, and the earlier holders' licences.
constexpr char kMagic[8] = { 'V', 'L', 'M', 'F', 'C', 'C', 'I', '3' };
constexpr std::uint32_t kByteOrder = 0x01020304;

struct CacheHead {
    char magic[8];
    std::uint32_t byteOrder;
    std::uint32_t pathBytes;
    std::int64_t sourceSize;
    std::int64_t sourceModified;
    // HD.dat and AM.dat as they were read; sizes -1 when the licences are unknown.
    std::int64_t hdSize;
    std::int64_t hdModified;
    std::int64_t amSize;
    std::int64_t amModified;
    std::uint64_t count;
    std::uint64_t otherCount; // records of earlier holders
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

static_assert(sizeof(LicenceInfo) == 8, "the cache keeps licences as 8 bytes each");

// The stamp of a detail file as the cache compares it: size -1 when it is not there.
LicenceFileStamp detailStamp(const QString& path)
{
    return StampOfLicenceFile(path).value_or(LicenceFileStamp {});
}

template <typename Other>
std::uint64_t checkAll(const std::vector<std::uint64_t>& keys, const std::vector<std::uint32_t>& offsets,
    const std::vector<std::uint32_t>& byEnding, const std::vector<LicenceInfo>& licences,
    const std::vector<Other>& others)
{
    return checkSum(others, checkSum(licences, checkSum(byEnding, checkSum(offsets, checkSum(keys, 0)))));
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
    head.hdSize = m_hasLicences ? m_hdStamp.size : -1;
    head.hdModified = m_hasLicences ? m_hdStamp.modified : 0;
    head.amSize = m_hasLicences ? m_amStamp.size : -1;
    head.amModified = m_hasLicences ? m_amStamp.modified : 0;
    static_assert(sizeof(OtherRecord) == 8, "the cache keeps earlier holders as 8 bytes each");
    head.count = m_keys.size();
    head.otherCount = m_others.size();
    head.check = checkAll(m_keys, m_offsets, m_byEnding, m_licences, m_others);
    if (file.write(reinterpret_cast<const char*>(&head), sizeof head) != qint64(sizeof head)
        || file.write(pathBytes) != pathBytes.size() || !writeAll(file, m_keys) || !writeAll(file, m_offsets)
        || !writeAll(file, m_byEnding) || !writeAll(file, m_licences) || !writeAll(file, m_others)) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

std::shared_ptr<const FccCallIndex> FccCallIndex::load(
    const QString& cacheFile, const QString& given, const LicenceFileStamp& stamp, QString* error)
{
    const QString path = CurrentLicenceFile(given);
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
    const std::uint64_t payload
        = head.count * (sizeof(std::uint64_t) + 2 * sizeof(std::uint32_t) + sizeof(LicenceInfo))
        + head.otherCount * sizeof(OtherRecord);
    if (head.count > (std::uint64_t(1) << 32) || head.otherCount > (std::uint64_t(1) << 32)
        || head.pathBytes > 65536 || std::uint64_t(file.size()) != sizeof head + head.pathBytes + payload)
        return fail(QStringLiteral("the call index is damaged"));
    if (QString::fromUtf8(file.read(head.pathBytes)) != path || head.sourceSize != stamp.size
        || head.sourceModified != stamp.modified)
        return fail(QStringLiteral("the call index was made from another file"));
    // Licences read from detail files that have changed since, or that have come or
    // gone, are no longer the files' licences.
    const LicenceFileStamp hd = detailStamp(LicenceHeaderFile(path));
    const LicenceFileStamp am = detailStamp(LicenceAmateurFile(path));
    const bool withLicences = head.hdSize >= 0;
    if (withLicences ? (hd.size != head.hdSize || hd.modified != head.hdModified || am.size != head.amSize
            || am.modified != head.amModified)
                     : (hd.size >= 0 && am.size >= 0))
        return fail(QStringLiteral("the call index was made from other licence details"));

    std::shared_ptr<FccCallIndex> index(new FccCallIndex);
    index->m_path = path;
    index->m_stamp = stamp;
    index->m_hasLicences = withLicences;
    if (withLicences) {
        index->m_hdStamp = hd;
        index->m_amStamp = am;
    }
    try {
        if (!readAll(file, index->m_keys, head.count) || !readAll(file, index->m_offsets, head.count)
            || !readAll(file, index->m_byEnding, head.count) || !readAll(file, index->m_licences, head.count)
            || !readAll(file, index->m_others, head.otherCount))
            return fail(QStringLiteral("the call index is damaged"));
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("not enough memory for the call index"));
    }
    if (checkAll(index->m_keys, index->m_offsets, index->m_byEnding, index->m_licences, index->m_others)
        != head.check)
        return fail(QStringLiteral("the call index is damaged"));
    // What the searches rely on: calls in order, places and offsets inside their bounds.
    const auto& keys = index->m_keys;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if ((i > 0 && keys[i] <= keys[i - 1]) || std::int64_t(index->m_offsets[i]) >= stamp.size
            || index->m_byEnding[i] >= keys.size())
            return fail(QStringLiteral("the call index is damaged"));
    }
    const auto& others = index->m_others;
    for (std::size_t i = 1; i < others.size(); ++i)
        if (others[i].id <= others[i - 1].id)
            return fail(QStringLiteral("the call index is damaged"));
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

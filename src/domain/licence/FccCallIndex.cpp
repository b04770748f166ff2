// Building the index from the licence files, and searching it.
#include "licence/FccCallIndex.h"

#include "licence/FccLicenceSet.h"
#include "licence/FccLineReader.h"

#include <QDir>

#include <algorithm>
#include <new>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

struct Found {
    std::uint64_t key;
    std::uint32_t offset;
    std::uint32_t id; // unique system identifier; 0 when the record has none
};

// What HD.dat and AM.dat say of one identifier.
struct Detail {
    std::uint32_t id;
    LicenceInfo info;
};

// The details of both files by identifier, sorted, each identifier once: where a file
// holds an identifier twice its later record counts, as a later daily record replaces
// an earlier one.
QString readDetails(const QString& enPath, std::vector<Detail>& details, const std::atomic<bool>* cancel)
{
    std::vector<Detail> hd;
    QString error = fccfile::readLicenceLines(
        LicenceHeaderFile(enPath),
        [&](const char* p, std::size_t n, std::uint32_t) {
            if (const auto r = ParseHdRecord(std::string_view(p, n)))
                hd.push_back({ r->id,
                    LicenceInfo { 0, r->status ? r->status : '?', r->granted, r->expires, r->cancelled } });
        },
        cancel);
    if (!error.isEmpty())
        return error;
    std::vector<std::pair<std::uint32_t, char>> am;
    error = fccfile::readLicenceLines(
        LicenceAmateurFile(enPath),
        [&](const char* p, std::size_t n, std::uint32_t) {
            if (const auto r = ParseAmRecord(std::string_view(p, n)))
                am.emplace_back(r->id, r->operatorClass);
        },
        cancel);
    if (!error.isEmpty())
        return error;
    // Stable, so that of equal identifiers the last in the file ends last.
    auto byId = [](const auto& x, const auto& y) { return x.first < y.first; };
    std::stable_sort(am.begin(), am.end(), byId);
    std::stable_sort(hd.begin(), hd.end(), [](const Detail& x, const Detail& y) { return x.id < y.id; });
    details.clear();
    details.reserve(hd.size());
    for (std::size_t i = 0; i < hd.size(); ++i)
        if (i + 1 == hd.size() || hd[i + 1].id != hd[i].id)
            details.push_back(hd[i]);
    // A licence with an AM record and no HD record still has its class.
    std::size_t d = 0;
    const std::size_t withHd = details.size();
    for (std::size_t i = 0; i < am.size(); ++i) {
        if (i + 1 < am.size() && am[i + 1].first == am[i].first)
            continue;
        while (d < withHd && details[d].id < am[i].first)
            ++d;
        if (d < withHd && details[d].id == am[i].first)
            details[d].info.operatorClass = am[i].second;
        else
            details.push_back({ am[i].first, LicenceInfo { am[i].second, 0, 0, 0, 0 } });
    }
    std::sort(details.begin(), details.end(), [](const Detail& x, const Detail& y) { return x.id < y.id; });
    return QString();
}

} // namespace

std::shared_ptr<const FccCallIndex> FccCallIndex::build(
    const QString& given, QString* error, const std::atomic<bool>* cancel)
{
    const QString path = CurrentLicenceFile(given);
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::shared_ptr<const FccCallIndex>();
    };
    const auto stamp = StampOfLicenceFile(path);
    if (!stamp)
        return fail(QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path)));

    std::shared_ptr<FccCallIndex> index(new FccCallIndex);
    index->m_path = path;
    index->m_stamp = *stamp;
    try {
        std::vector<Found> found;
        // About one record per 100 bytes or more; room that is never written costs no memory.
        found.reserve(std::size_t(std::max<qint64>(stamp->size, 0) / 96 + 64));
        const QString why = fccfile::readLicenceLines(
            path,
            [&found](const char* p, std::size_t n, std::uint32_t offset) {
                const std::string_view line(p, n);
                const std::string_view call = LicenceCallSign(StripLicenceHead(line));
                if (const auto key = fcccall::pack(call))
                    found.push_back({ *key, offset, LicenceRecordId(line).value_or(0) });
            },
            cancel);
        if (!why.isEmpty())
            return fail(why);

        // The licences, when both detail files are there and can be read.
        std::vector<Detail> details;
        const auto hdStamp = StampOfLicenceFile(LicenceHeaderFile(path));
        const auto amStamp = StampOfLicenceFile(LicenceAmateurFile(path));
        if (hdStamp && amStamp && readDetails(path, details, cancel).isEmpty()) {
            index->m_hasLicences = true;
            index->m_hdStamp = *hdStamp;
            index->m_amStamp = *amStamp;
        }
        if (cancel && cancel->load(std::memory_order_relaxed))
            return fail(QStringLiteral("cancelled"));
        auto detailOf = [&details](std::uint32_t id) {
            const auto it = std::lower_bound(details.begin(), details.end(), id,
                [](const Detail& d, std::uint32_t value) { return d.id < value; });
            return it != details.end() && it->id == id ? *it : Detail { id, LicenceInfo {} };
        };

        // Sorted by call, and for one call by place in the file. Of a call's records the
        // one whose licence counts gives the call its offset and licence, so name and
        // licence are one licensee's; without licences the first in the file is kept.
        std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
            return a.key != b.key ? a.key < b.key : a.offset < b.offset;
        });
        std::size_t unique = 0;
        for (std::size_t i = 0; i < found.size(); ++i)
            unique += i == 0 || found[i].key != found[i - 1].key;
        index->m_keys.reserve(unique);
        index->m_offsets.reserve(unique);
        index->m_licences.reserve(unique);
        std::vector<Detail> group; // the records of one call
        for (std::size_t first = 0; first < found.size();) {
            std::size_t end = first + 1;
            while (end < found.size() && found[end].key == found[first].key)
                ++end;
            std::size_t kept = first;
            if (end - first == 1) {
                index->m_licences.push_back(
                    index->m_hasLicences ? detailOf(found[first].id).info : LicenceInfo {});
            } else {
                group.clear();
                for (std::size_t j = first; j < end; ++j)
                    group.push_back(index->m_hasLicences ? detailOf(found[j].id)
                                                         : Detail { found[j].id, LicenceInfo {} });
                std::size_t best = 0;
                if (index->m_hasLicences)
                    for (std::size_t j = 1; j < group.size(); ++j)
                        // Of two licences granted the same day, the one cancelled later
                        // changed last.
                        if (LicenceCountsOver(group[j].info, group[j].info.cancelled, group[j].id,
                                group[best].info, group[best].info.cancelled, group[best].id))
                            best = j;
                kept = first + best;
                index->m_licences.push_back(group[best].info);
                for (std::size_t j = 0; j < group.size(); ++j)
                    if (j != best && group[j].id != 0)
                        index->m_others.push_back({ group[j].id, group[j].info.expires,
                            group[j].info.operatorClass, group[j].info.status });
            }
            index->m_keys.push_back(found[kept].key);
            index->m_offsets.push_back(found[kept].offset);
            first = end;
        }
        // An identifier held by records of two calls (a damaged file) keeps one licence.
        std::sort(index->m_others.begin(), index->m_others.end(),
            [](const OtherRecord& a, const OtherRecord& b) { return a.id < b.id; });
        index->m_others.erase(std::unique(index->m_others.begin(), index->m_others.end(),
                                  [](const OtherRecord& a, const OtherRecord& b) { return a.id == b.id; }),
            index->m_others.end());
        index->m_others.shrink_to_fit();
        std::vector<Found>().swap(found);
        std::vector<Detail>().swap(details);
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
        ending[i] = { fcccall::reversed(m_keys[i]), std::uint32_t(i), 0 };
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
    const std::uint64_t end = *key + fcccall::span(text.size());
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
    const std::uint64_t end = *key + fcccall::span(text.size());
    // The reversed calls are not stored: they are made again for the few places a
    // binary search visits.
    auto before = [this](std::uint32_t position, std::uint64_t value) {
        return fcccall::reversed(m_keys[position]) < value;
    };
    const auto first = std::lower_bound(m_byEnding.begin(), m_byEnding.end(), *key, before);
    const auto last = std::lower_bound(first, m_byEnding.end(), end, before);
    return { std::size_t(first - m_byEnding.begin()), std::size_t(last - m_byEnding.begin()) };
}

std::optional<LicenceInfo> FccCallIndex::licence(std::string_view call) const
{
    const auto i = find(call);
    return i ? std::optional<LicenceInfo>(m_licences[*i]) : std::nullopt;
}

const FccCallIndex::OtherRecord* FccCallIndex::otherRecord(std::uint32_t id) const
{
    const auto it = std::lower_bound(m_others.begin(), m_others.end(), id,
        [](const OtherRecord& r, std::uint32_t value) { return r.id < value; });
    return it != m_others.end() && it->id == id ? &*it : nullptr;
}

std::optional<LicenceInfo> FccCallIndex::licence(std::string_view call, std::uint32_t id) const
{
    const auto i = find(call);
    if (!i)
        return std::nullopt;
    if (const OtherRecord* other = otherRecord(id))
        return LicenceInfo { other->operatorClass, other->status, 0, other->expires, 0 };
    return m_licences[*i];
}

bool FccCallIndex::isCurrentHolder(std::string_view call, std::uint32_t id) const
{
    return find(call) && !otherRecord(id);
}

std::size_t FccCallIndex::memoryBytes() const
{
    return sizeof(*this) + m_keys.capacity() * sizeof(std::uint64_t)
        + (m_offsets.capacity() + m_byEnding.capacity()) * sizeof(std::uint32_t)
        + m_licences.capacity() * sizeof(LicenceInfo) + m_others.capacity() * sizeof(OtherRecord);
}

#include "licence/LicenceList.h"

#include "licence/LicenceInfo.h"
#include "licence/LicenceRecord.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The first CR or LF in [p, end), or end. One pass over the bytes for both: a line is
// read once, however it ends.
const char* findLineEnd(const char* p, const char* const end)
{
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const auto hitsIn = [&](const char* at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
    };
    for (; end - p >= 32; p += 32) {
        const unsigned hits = hitsIn(p) | hitsIn(p + 16) << 16;
        if (hits != 0)
            return p + __builtin_ctz(hits);
    }
    if (end - p >= 16) {
        if (const unsigned hits = hitsIn(p))
            return p + __builtin_ctz(hits);
        p += 16;
    }
#endif
    while (p < end && *p != '\n' && *p != '\r')
        ++p;
    return p;
}

class CopiedText : public LicenceText {
public:
    explicit CopiedText(std::string_view text) : m_text(text) { }
    std::string_view text() const override { return m_text; }

private:
    std::string m_text;
};

} // namespace

std::shared_ptr<const LicenceText> LicenceText::copyOf(std::string_view text)
{
    return std::make_shared<CopiedText>(text);
}

// ---- list ----

std::string_view LicenceList::Part::line(std::size_t i) const
{
    const std::string_view all = text->text();
    const char* const start = all.data() + starts[i];
    return { start, std::size_t(findLineEnd(start, all.data() + all.size()) - start) };
}

std::string_view LicenceList::line(std::size_t index) const
{
    const auto after = std::upper_bound(
        m_parts.begin(), m_parts.end(), index, [](std::size_t i, const Part& p) { return i < p.firstLine; });
    const Part& part = *std::prev(after);
    return part.line(index - part.firstLine);
}

std::size_t LicenceList::memoryBytes() const
{
    std::size_t bytes = sizeof(*this) + m_parts.capacity() * sizeof(Part);
    for (const Part& p : m_parts)
        bytes += p.starts.capacity() * sizeof(std::uint32_t);
    return bytes;
}

void LicenceList::addPart(Part&& part)
{
    if (part.starts.empty())
        return;
    part.firstLine = m_count;
    m_count += part.starts.size();
    m_textBytes += part.textBytes;
    m_maxLength = std::max(m_maxLength, part.maxLength);
    m_parts.push_back(std::move(part));
}

void LicenceList::append(LicenceList&& other)
{
    if (&other == this)
        return;
    m_parts.reserve(m_parts.size() + other.m_parts.size());
    for (Part& p : other.m_parts) {
        p.firstLine += m_count;
        m_parts.push_back(std::move(p));
    }
    m_count += other.m_count;
    m_textBytes += other.m_textBytes;
    m_maxLength = std::max(m_maxLength, other.m_maxLength);
    other.clear();
}

void LicenceList::clear()
{
    m_parts.clear();
    m_parts.shrink_to_fit();
    m_count = 0;
    m_textBytes = 0;
    m_maxLength = 0;
}

std::optional<std::uint32_t> LicenceList::recordId(std::size_t index) const
{
    if (index >= m_count)
        return std::nullopt;
    const auto after = std::upper_bound(
        m_parts.begin(), m_parts.end(), index, [](std::size_t i, const Part& p) { return i < p.firstLine; });
    const Part& part = *std::prev(after);
    const std::string_view all = part.text->text();
    // The head lies between the previous line end and the list line; heads are short.
    const std::size_t start = part.starts[index - part.firstLine];
    std::size_t begin = start;
    while (begin > 0 && all[begin - 1] != '\n' && all[begin - 1] != '\r' && start - begin < 64)
        --begin;
    return LicenceRecordId(all.substr(begin, start - begin));
}

std::optional<std::size_t> LicenceList::findCall(std::string_view call, std::size_t from) const
{
    // A call sign never holds "|", so such a text cannot equal one.
    if (call.empty() || call.find('|') != std::string_view::npos)
        return std::nullopt;
    for (const Part& p : m_parts) {
        if (p.firstLine + p.starts.size() <= from)
            continue;
        const std::string_view all = p.text->text();
        for (std::size_t i = from > p.firstLine ? from - p.firstLine : 0; i < p.starts.size(); ++i) {
            // The line's call is call exactly when the line begins with it and "|" or
            // the line's end follows.
            const std::size_t start = p.starts[i];
            if (all.size() - start < call.size())
                continue;
            const char* const line = all.data() + start;
            if (line[0] != call[0] || std::memcmp(line, call.data(), call.size()) != 0)
                continue;
            const std::size_t after = start + call.size();
            if (after == all.size() || all[after] == '|' || all[after] == '\r' || all[after] == '\n')
                return p.firstLine + i;
        }
    }
    return std::nullopt;
}

// ---- scanning ----

void LicenceLineIndexer::expect(std::uint64_t textBytes)
{
    // Real records are 100 bytes or more; room never written costs no memory.
    m_part.starts.reserve(std::size_t(std::min<std::uint64_t>(textBytes / 96 + 16, 1u << 26)));
}

void LicenceLineIndexer::keep(std::uint64_t start, std::size_t length)
{
    if (start + length >= std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("the licence file is 4 GiB or more");
    m_part.starts.push_back(std::uint32_t(start));
    m_part.textBytes += length;
    m_part.maxLength = std::max(m_part.maxLength, length);
}

std::size_t LicenceLineIndexer::feed(const char* b, std::size_t size, bool atEnd, std::uint64_t base)
{
    // A line ends at LF, at CR LF, or at a CR followed by anything else (files saved by
    // old Mac tools end their lines with CR alone). A run of CRs followed by LF is one
    // line end, so CR CR LF ends one line; a run that no LF follows ends one line per CR.
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t end = std::size_t(findLineEnd(b + pos, b + size) - b);
        std::size_t next;
        std::size_t emptyLines = 0;
        if (end == size) {
            if (!atEnd)
                break; // the line goes on in the next piece
            next = size;
        } else if (b[end] == '\n') {
            next = end + 1;
        } else {
            std::size_t run = end;
            while (run < size && b[run] == '\r')
                ++run;
            if (run == size && !atEnd)
                break; // an LF may follow in the next piece
            if (run < size && b[run] == '\n') {
                next = run + 1;
            } else {
                next = run;
                emptyLines = run - end - 1;
            }
        }
        const std::string_view listLine = StripLicenceHead(std::string_view(b + pos, end - pos));
        if (m_prefix.empty()
            || (!listLine.empty() && listLine[0] == m_prefix[0] && MatchesLicencePrefix(listLine, m_prefix)))
            keep(base + std::size_t(listLine.data() - b), listLine.size());
        // Each further CR of a run that no LF follows ends an empty line, listed when
        // the prefix is empty (it lists every line).
        if (m_prefix.empty())
            for (std::size_t i = 0; i < emptyLines; ++i)
                keep(base + end, 0);
        pos = next;
    }
    return pos;
}

LicenceList LicenceLineIndexer::take(std::shared_ptr<const LicenceText> text)
{
    LicenceList::Part part = std::move(m_part);
    m_part = LicenceList::Part();
    part.starts.shrink_to_fit();
    part.text = std::move(text);
    LicenceList list;
    list.addPart(std::move(part));
    return list;
}

LicenceList ScanLicenceText(std::string_view text, std::string_view prefix)
{
    LicenceLineIndexer indexer(prefix);
    indexer.feed(text.data(), text.size(), true, 0);
    return indexer.take(LicenceText::copyOf(text));
}

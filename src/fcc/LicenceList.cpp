#include "fcc/LicenceList.h"

#include "fcc/LicenceRecord.h"

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
        bytes += (p.starts.capacity() + p.lengths.capacity()) * sizeof(std::uint32_t);
    return bytes;
}

void LicenceList::addPart(Part&& part)
{
    if (part.starts.empty())
        return;
    part.firstLine = m_count;
    m_count += part.starts.size();
    for (const std::uint32_t length : part.lengths) {
        m_textBytes += length;
        m_maxLength = std::max<std::size_t>(m_maxLength, length);
    }
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

std::optional<std::size_t> LicenceList::findCall(std::string_view call) const
{
    // A call sign never holds "|", so such a text cannot equal one.
    if (call.empty() || call.find('|') != std::string_view::npos)
        return std::nullopt;
    for (const Part& p : m_parts) {
        const char* const base = p.text->text().data();
        for (std::size_t i = 0; i < p.starts.size(); ++i) {
            // The line's call is call exactly when the line begins with it and "|" or
            // the line's end follows.
            const std::uint32_t length = p.lengths[i];
            if (length < call.size())
                continue;
            const char* const line = base + p.starts[i];
            if (line[0] == call[0] && std::memcmp(line, call.data(), call.size()) == 0
                && (length == call.size() || line[call.size()] == '|'))
                return p.firstLine + i;
        }
    }
    return std::nullopt;
}

// ---- scanning ----

LicenceList ScanLicenceLines(
    std::shared_ptr<const LicenceText> text, std::string_view prefix, const std::atomic<bool>* stop)
{
    const std::string_view all = text->text();
    if (all.size() >= std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("the licence file is 4 GiB or more");
    LicenceList::Part part;
    auto keep = [&](const char* b, std::size_t pos, std::size_t end) {
        const std::string_view listLine = StripLicenceHead(std::string_view(b + pos, end - pos));
        if (MatchesLicencePrefix(listLine, prefix)) {
            part.starts.push_back(std::uint32_t(listLine.data() - b));
            part.lengths.push_back(std::uint32_t(listLine.size()));
        }
    };
    // A line ends at LF, at CR LF, or at a CR followed by anything else (files saved by
    // old Mac tools end their lines with CR alone). A run of CRs followed by LF is one
    // line end, so CR CR LF ends one line; a run that no LF follows ends one line per CR.
    const char* const b = all.data();
    const std::size_t size = all.size();
    std::size_t pos = 0;
    std::size_t nextCheck = 16u << 20;
    while (pos < size) {
        const std::size_t end = std::size_t(findLineEnd(b + pos, b + size) - b);
        std::size_t next = size;
        std::size_t emptyLines = 0;
        if (end < size) {
            if (b[end] == '\n') {
                next = end + 1;
            } else {
                std::size_t run = end;
                while (run < size && b[run] == '\r')
                    ++run;
                if (run < size && b[run] == '\n') {
                    next = run + 1;
                } else {
                    next = run;
                    emptyLines = run - end - 1;
                }
            }
        }
        keep(b, pos, end);
        // Each further CR of a run that no LF follows ends an empty line, listed when
        // the prefix is empty (it lists every line).
        if (emptyLines > 0 && prefix.empty())
            for (std::size_t i = 0; i < emptyLines; ++i) {
                part.starts.push_back(std::uint32_t(end));
                part.lengths.push_back(0);
            }
        pos = next;
        if (stop && pos >= nextCheck) {
            if (stop->load(std::memory_order_relaxed))
                return LicenceList();
            nextCheck = pos + (16u << 20);
        }
    }
    if (stop && stop->load(std::memory_order_relaxed))
        return LicenceList();
    part.starts.shrink_to_fit();
    part.lengths.shrink_to_fit();
    part.text = std::move(text);
    LicenceList list;
    list.addPart(std::move(part));
    return list;
}

LicenceList ScanLicenceText(std::string_view text, std::string_view prefix)
{
    return ScanLicenceLines(LicenceText::copyOf(text), prefix);
}

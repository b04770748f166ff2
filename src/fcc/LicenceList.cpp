#include "fcc/LicenceList.h"

#include "fcc/LicenceRecord.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

void LicenceList::FreeDeleter::operator()(char* p) const
{
    std::free(p);
}

std::uint32_t LicenceList::callHash(std::string_view call)
{
    std::uint32_t h = 2166136261u; // FNV-1a
    for (const char c : call) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

std::string_view LicenceList::line(std::size_t index) const
{
    const auto after = std::upper_bound(m_blocks.begin(), m_blocks.end(), index,
        [](std::size_t i, const Block& b) { return i < b.firstLine; });
    const Block& block = *std::prev(after);
    const std::size_t local = index - block.firstLine;
    const std::size_t start = local == 0 ? 0 : block.ends[local - 1];
    return { block.text.get() + start, block.ends[local] - start };
}

std::size_t LicenceList::memoryBytes() const
{
    std::size_t bytes = sizeof(*this) + m_blocks.capacity() * sizeof(Block);
    for (const Block& b : m_blocks)
        bytes += b.textSize + (b.ends.capacity() + b.hashes.capacity()) * sizeof(std::uint32_t);
    return bytes;
}

void LicenceList::addBlock(Block&& block)
{
    block.firstLine = m_count;
    m_count += block.ends.size();
    m_textBytes += block.textSize;
    std::uint32_t start = 0;
    for (const std::uint32_t end : block.ends) {
        m_maxLength = std::max<std::size_t>(m_maxLength, end - start);
        start = end;
    }
    m_blocks.push_back(std::move(block));
}

void LicenceList::append(LicenceList&& other)
{
    if (&other == this)
        return;
    m_blocks.reserve(m_blocks.size() + other.m_blocks.size());
    for (Block& b : other.m_blocks)
        addBlock(std::move(b));
    other.clear();
}

void LicenceList::clear()
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_count = 0;
    m_textBytes = 0;
    m_maxLength = 0;
}

std::optional<std::size_t> LicenceList::findCall(std::string_view call) const
{
    // A call sign never holds "|", so such a text cannot equal one.
    if (call.empty() || call.find('|') != std::string_view::npos)
        return std::nullopt;
    const std::uint32_t wanted = callHash(call);
    for (const Block& b : m_blocks) {
        const std::size_t n = b.hashes.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (b.hashes[i] != wanted)
                continue;
            const std::size_t start = i == 0 ? 0 : b.ends[i - 1];
            const std::string_view text(b.text.get() + start, b.ends[i] - start);
            if (LicenceCallSign(text) == call)
                return b.firstLine + i;
        }
    }
    return std::nullopt;
}

// ---- scanning ----

LicenceLineScanner::LicenceLineScanner(std::string prefix) : m_prefix(std::move(prefix)) { }

LicenceLineScanner::~LicenceLineScanner()
{
    std::free(m_buffer);
}

char* LicenceLineScanner::buffer(std::size_t n)
{
    // Line ends are kept as 32-bit offsets into a block.
    constexpr std::size_t limit = std::numeric_limits<std::uint32_t>::max();
    if (n > limit || m_filled > limit - n)
        throw std::length_error("a line of the licence file is longer than 4 GiB");
    const std::size_t needed = m_filled + n;
    if (needed > m_capacity) {
        char* grown = static_cast<char*>(std::realloc(m_buffer, needed));
        if (!grown)
            throw std::bad_alloc();
        m_buffer = grown;
        m_capacity = needed;
    }
    return m_buffer + m_filled;
}

void LicenceLineScanner::commit(std::size_t k)
{
    m_filled += std::min(k, m_capacity - m_filled);
    const std::size_t rest = packLines(m_filled, false);
    if (rest == 0)
        return; // no complete line yet: keep gathering the long one
    const std::size_t packed = m_block.ends.empty() ? 0 : m_block.ends.back();
    const std::size_t carry = m_filled - rest;
    if (m_block.ends.empty()) {
        // Nothing kept: the buffer can be used again for the next piece.
        std::memmove(m_buffer, m_buffer + rest, carry);
        m_filled = carry;
        return;
    }
    // The kept lines stay where they are and become a block of their own; the unfinished
    // line moves to a buffer of its own.
    char* next = nullptr;
    if (carry > 0) {
        next = static_cast<char*>(std::malloc(carry));
        if (!next)
            throw std::bad_alloc();
        std::memcpy(next, m_buffer + rest, carry);
    }
    keepBlock(packed);
    m_buffer = next;
    m_capacity = carry;
    m_filled = carry;
}

void LicenceLineScanner::finish()
{
    if (m_filled == 0)
        return;
    packLines(m_filled, true);
    if (m_block.ends.empty()) {
        m_filled = 0;
        return;
    }
    keepBlock(m_block.ends.back());
    m_buffer = nullptr;
    m_capacity = 0;
    m_filled = 0;
}

LicenceList LicenceLineScanner::take()
{
    return std::move(m_list);
}

std::size_t LicenceLineScanner::packLines(std::size_t size, bool atEnd)
{
    char* const b = m_buffer;
    std::size_t pos = 0;
    std::size_t packed = m_block.ends.empty() ? 0 : m_block.ends.back();
    while (pos < size) {
        const void* lf = std::memchr(b + pos, '\n', size - pos);
        std::size_t end;
        std::size_t next;
        if (lf) {
            end = static_cast<std::size_t>(static_cast<const char*>(lf) - b);
            next = end + 1;
            if (end > pos && b[end - 1] == '\r')
                --end;
        } else if (atEnd) {
            end = size;
            next = size;
        } else {
            break;
        }
        const std::string_view listLine = StripLicenceHead(std::string_view(b + pos, end - pos));
        if (MatchesLicencePrefix(listLine, m_prefix)) {
            m_block.hashes.push_back(LicenceList::callHash(LicenceCallSign(listLine)));
            std::memmove(b + packed, listLine.data(), listLine.size());
            packed += listLine.size();
            m_block.ends.push_back(static_cast<std::uint32_t>(packed));
        }
        pos = next;
    }
    return pos;
}

void LicenceLineScanner::keepBlock(std::size_t packedSize)
{
    // Give back what the block does not use, so a listed line costs its bytes and
    // 8 more.
    char* text = m_buffer;
    if (packedSize == 0) {
        std::free(text);
        text = nullptr;
    } else if (packedSize < m_capacity) {
        if (char* shrunk = static_cast<char*>(std::realloc(text, packedSize)))
            text = shrunk;
    }
    m_buffer = nullptr;
    LicenceList::Block block;
    block.text.reset(text);
    block.textSize = packedSize;
    const std::size_t lines = m_block.ends.size();
    m_block.ends.shrink_to_fit();
    m_block.hashes.shrink_to_fit();
    block.ends = std::move(m_block.ends);
    block.hashes = std::move(m_block.hashes);
    m_list.addBlock(std::move(block));
    m_block = LicenceList::Block();
    m_block.ends.reserve(lines);
    m_block.hashes.reserve(lines);
}

LicenceList ScanLicenceText(std::string_view text, std::string_view prefix, std::size_t pieceSize)
{
    LicenceLineScanner scanner { std::string(prefix) };
    pieceSize = std::max<std::size_t>(pieceSize, 1);
    while (!text.empty()) {
        const std::size_t n = std::min(pieceSize, text.size());
        std::memcpy(scanner.buffer(n), text.data(), n);
        scanner.commit(n);
        text.remove_prefix(n);
    }
    scanner.finish();
    return scanner.take();
}

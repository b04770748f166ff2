#include "fcc/LicenceList.h"

#include "fcc/LicenceRecord.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
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

// Makes the pages of [p, p + size) present with one call rather than one trap per
// page (Linux), ahead of the bytes a build is about to write there.
void prefault(char* p, std::size_t size)
{
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    const std::uintptr_t page = 4096;
    const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(p) + page - 1) & ~(page - 1);
    const std::uintptr_t last = (reinterpret_cast<std::uintptr_t>(p) + size) & ~(page - 1);
    if (last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)p;
    (void)size;
#endif
}

constexpr std::size_t kPrefaultStep = 256u << 10;

// Writes to every page of a fresh block, so all of it is present, until stop is
// set. Page by page rather than with one system call: a fault holds only this
// block's mapping, where a call would hold all of them and keep the build from
// mapping its own blocks.
void populate(char* p, std::size_t size, const std::atomic<bool>& stop)
{
    constexpr std::size_t page = 4096;
    constexpr std::size_t pagesPerCheck = (2u << 20) / page;
    for (std::size_t i = 0; i < size; i += page) {
        if (i % (page * pagesPerCheck) == 0 && stop.load(std::memory_order_relaxed))
            return;
        reinterpret_cast<volatile char*>(p)[i] = 0; // fresh memory reads as zero anyway
    }
}

char* allocate(std::size_t size)
{
    char* p = static_cast<char*>(std::malloc(size));
    if (!p)
        throw std::bad_alloc();
    return p;
}

// size bytes mapped on their own, starting on a huge page and marked for transparent
// huge pages; or nothing where that cannot be had.
char* mapHugeBlock(std::size_t size)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t huge = LicenceBlockPool::kHugePage;
    if (size == 0 || size % huge != 0 || size > std::numeric_limits<std::size_t>::max() - huge)
        return nullptr;
    // One huge page more than needed, so an aligned start lies inside; the rest at
    // either end goes back at once.
    const std::size_t span = size + huge;
    void* const raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + huge - 1) & ~std::uintptr_t(huge - 1);
    const std::size_t head = aligned - start;
    const std::size_t tail = span - head - size;
    char* const block = reinterpret_cast<char*>(aligned);
    if (head > 0)
        munmap(raw, head);
    if (tail > 0)
        munmap(block + size, tail);
    if (madvise(block, size, MADV_HUGEPAGE) != 0) {
        munmap(block, size);
        return nullptr;
    }
    return block;
#else
    (void)size;
    return nullptr;
#endif
}

std::uint32_t load32(const char* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void store32(char* p, std::uint32_t v)
{
    std::memcpy(p, &v, sizeof v);
}

constexpr std::size_t kEntrySize = 8;

} // namespace

// ---- pool ----

void LicenceBlockPool::BlockDeleter::operator()(char* p) const
{
#if defined(__linux__)
    if (mapped > 0) {
        munmap(p, mapped);
        return;
    }
#endif
    std::free(p);
}

// The helper thread and what it has made. It maps and populates a block while
// wanted is above 0; the pool takes the blocks from ready.
struct LicenceBlockPool::Ahead {
    static constexpr std::size_t kBlocks = 2; // how many blocks to keep ready

    std::mutex mutex;
    std::condition_variable wake;
    std::vector<Memory> ready;
    std::size_t wanted = 0;
    std::size_t making = 0;
    std::atomic<bool> stop = false; // also read while populating, without the lock
    std::thread thread;

    void run(std::size_t blockSize)
    {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return stop || wanted > 0; });
            if (stop)
                return;
            --wanted;
            ++making;
            lock.unlock();
            char* const block = mapHugeBlock(blockSize);
            if (block)
                populate(block, blockSize, stop);
            lock.lock();
            --making;
            if (!block) {
                wanted = 0; // the pool maps its own, or falls back to the heap
                continue;
            }
            ready.emplace_back(block, BlockDeleter { blockSize });
        }
    }
};

LicenceBlockPool::LicenceBlockPool(std::size_t blockSize) : m_blockSize(std::max<std::size_t>(blockSize, 64))
{
}

LicenceBlockPool::~LicenceBlockPool()
{
    stopAhead();
}

LicenceBlockPool::Memory LicenceBlockPool::take()
{
    if (m_free.empty())
        return takeFresh();
    Memory block = std::move(m_free.back());
    m_free.pop_back();
    return block;
}

LicenceBlockPool::Memory LicenceBlockPool::takeFresh()
{
    Memory block;
    if (m_ahead) {
        const std::lock_guard lock(m_ahead->mutex);
        if (!m_ahead->ready.empty()) {
            block = std::move(m_ahead->ready.front());
            m_ahead->ready.erase(m_ahead->ready.begin());
        }
    }
    if (!block) {
        char* const mapped = mapHugeBlock(m_blockSize);
        if (!mapped)
            return Memory(allocate(m_blockSize));
        block = Memory(mapped, BlockDeleter { m_blockSize });
    }
    if (++m_freshTaken < 2)
        return block; // a small list may need no more
    if (!m_ahead) {
        try {
            auto ahead = std::make_unique<Ahead>();
            ahead->thread = std::thread(&Ahead::run, ahead.get(), m_blockSize);
            m_ahead = std::move(ahead);
        } catch (const std::system_error&) {
            return block; // no thread to be had: blocks are made when taken
        }
    }
    {
        const std::lock_guard lock(m_ahead->mutex);
        const std::size_t coming = m_ahead->ready.size() + m_ahead->making + m_ahead->wanted;
        if (coming < Ahead::kBlocks)
            m_ahead->wanted += Ahead::kBlocks - coming;
    }
    m_ahead->wake.notify_one();
    return block;
}

void LicenceBlockPool::stopAhead()
{
    if (!m_ahead)
        return;
    {
        const std::lock_guard lock(m_ahead->mutex);
        m_ahead->stop = true;
    }
    m_ahead->wake.notify_one();
    m_ahead->thread.join();
    m_ahead.reset();
}

void LicenceBlockPool::give(Memory block)
{
    if (block)
        m_free.push_back(std::move(block));
}

void LicenceBlockPool::release()
{
    stopAhead();
    m_freshTaken = 0;
    m_free.clear();
    m_free.shrink_to_fit();
}

void LicenceBlockPool::shrink(Memory& block, std::size_t size)
{
    const std::size_t mapped = block.get_deleter().mapped;
    if (mapped > 0) {
#if defined(__linux__)
        // Pages past size go back to the system. A huge page cut short is only split
        // and freed whole when memory runs low, so a few bytes move to the heap
        // instead of holding one.
        if (size <= kHugePage / 8) {
            if (char* const copy = static_cast<char*>(std::malloc(std::max<std::size_t>(size, 1)))) {
                std::memcpy(copy, block.get(), size);
                block = Memory(copy); // unmaps the block
                return;
            }
        }
        static const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
        const std::size_t kept = std::max<std::size_t>((size + page - 1) / page * page, page);
        if (kept < mapped && munmap(block.get() + kept, mapped - kept) == 0)
            block.get_deleter().mapped = kept;
#endif
        return;
    }
    char* const base = block.release();
    char* const shrunk = static_cast<char*>(std::realloc(base, std::max<std::size_t>(size, 1)));
    block.reset(shrunk ? shrunk : base);
}

// ---- list ----

std::uint32_t LicenceList::callHash(std::string_view call)
{
    std::uint32_t h = 2166136261u; // FNV-1a
    for (const char c : call) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

std::uint32_t LicenceList::Block::end(std::size_t i) const
{
    return load32(entry(i));
}

std::uint32_t LicenceList::Block::hash(std::size_t i) const
{
    return load32(entry(i) + 4);
}

std::string_view LicenceList::Block::line(std::size_t i) const
{
    const std::size_t start = i == 0 ? 0 : end(i - 1);
    return { memory.get() + start, end(i) - start };
}

std::string_view LicenceList::line(std::size_t index) const
{
    const auto after = std::upper_bound(m_blocks.begin(), m_blocks.end(), index,
        [](std::size_t i, const Block& b) { return i < b.firstLine; });
    const Block& block = *std::prev(after);
    return block.line(index - block.firstLine);
}

std::size_t LicenceList::memoryBytes() const
{
    std::size_t bytes = sizeof(*this) + m_blocks.capacity() * sizeof(Block);
    for (const Block& b : m_blocks)
        bytes += b.capacity;
    return bytes;
}

void LicenceList::addBlock(Block&& block)
{
    block.firstLine = m_count;
    m_count += block.lines;
    m_textBytes += block.textSize;
    for (std::size_t i = 0; i < block.lines; ++i)
        m_maxLength = std::max(m_maxLength, block.line(i).size());
    m_blocks.push_back(std::move(block));
}

void LicenceList::append(LicenceList&& other)
{
    if (&other == this)
        return;
    m_blocks.reserve(m_blocks.size() + other.m_blocks.size());
    for (Block& b : other.m_blocks) {
        b.firstLine += m_count;
        m_blocks.push_back(std::move(b));
    }
    m_count += other.m_count;
    m_textBytes += other.m_textBytes;
    m_maxLength = std::max(m_maxLength, other.m_maxLength);
    other.clear();
}

void LicenceList::clear(LicenceBlockPool* pool)
{
    if (pool)
        for (Block& b : m_blocks)
            if (b.capacity == pool->blockSize())
                pool->give(std::move(b.memory));
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
        for (std::size_t i = 0; i < b.lines; ++i)
            if (b.hash(i) == wanted && LicenceCallSign(b.line(i)) == call)
                return b.firstLine + i;
    }
    return std::nullopt;
}

// ---- scanning ----

LicenceLineScanner::LicenceLineScanner(std::string prefix, LicenceBlockPool* pool)
    : m_prefix(std::move(prefix)), m_pool(pool ? pool : &m_ownPool)
{
}

LicenceLineScanner::~LicenceLineScanner()
{
    std::free(m_buffer);
}

char* LicenceLineScanner::buffer(std::size_t n)
{
    // Line ends are kept as 32-bit offsets into a block.
    constexpr std::size_t limit = std::numeric_limits<std::uint32_t>::max() - kEntrySize;
    if (n > limit || m_filled > limit - n)
        throw std::length_error("a line of the licence file is longer than 4 GiB");
    const std::size_t needed = m_filled + n;
    if (needed > m_capacity) {
        // Some room to spare, so the short unfinished line carried from one piece to
        // the next does not make the buffer grow for every piece; and a line longer
        // than a piece makes it grow by half at least.
        std::size_t capacity = std::max(needed + (64u << 10), m_capacity + m_capacity / 2);
        capacity = std::min(capacity, limit);
        char* grown = static_cast<char*>(std::realloc(m_buffer, capacity));
        if (!grown)
            throw std::bad_alloc();
        m_buffer = grown;
        m_capacity = capacity;
    }
    return m_buffer + m_filled;
}

void LicenceLineScanner::commit(std::size_t k)
{
    m_filled += std::min(k, m_capacity - m_filled);
    const std::size_t rest = keepLines(m_filled, false);
    if (rest == 0)
        return; // no complete line yet: keep gathering the long one
    // The unfinished line moves to the start of the buffer for the next piece.
    const std::size_t carry = m_filled - rest;
    std::memmove(m_buffer, m_buffer + rest, carry);
    m_filled = carry;
}

void LicenceLineScanner::finish()
{
    if (m_filled > 0)
        keepLines(m_filled, true);
    m_filled = 0;
    if (m_block.memory)
        closeBlock(true);
}

LicenceList LicenceLineScanner::take()
{
    return std::move(m_list);
}

std::size_t LicenceLineScanner::keepLines(std::size_t size, bool atEnd)
{
    // A line ends at LF, at CR LF, or at a CR followed by anything else (files saved by
    // old Mac tools end their lines with CR alone). A run of CRs followed by LF is one
    // line end, so CR CR LF ends one line; a run that no LF follows ends one line per CR.
    const char* const b = m_buffer;
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
        if (MatchesLicencePrefix(listLine, m_prefix))
            keep(listLine);
        if (emptyLines > 0 && m_prefix.empty())
            for (std::size_t i = 0; i < emptyLines; ++i)
                keep(std::string_view());
        pos = next;
    }
    return pos;
}

void LicenceLineScanner::keep(std::string_view line)
{
    LicenceList::Block& b = m_block;
    if (b.memory && b.textSize + line.size() + (b.lines + 1) * kEntrySize > b.capacity)
        closeBlock(false);
    if (!b.memory) {
        const std::size_t need = line.size() + kEntrySize;
        if (need <= m_pool->blockSize()) {
            b.memory = m_pool->take();
            b.capacity = m_pool->blockSize();
        } else {
            b.memory = LicenceBlockPool::Memory(allocate(need));
            b.capacity = need;
        }
        // A block of huge pages comes in with a few faults anyway.
        m_prefaulted = b.memory.get_deleter().mapped > 0 ? b.capacity : 0;
    }
    char* const base = b.memory.get();
    if (b.textSize + line.size() > m_prefaulted) {
        // Ahead of the text as it grows, so a small list does not touch a whole block.
        const std::size_t to = std::min(b.capacity, b.textSize + line.size() + kPrefaultStep);
        prefault(base + m_prefaulted, to - m_prefaulted);
        m_prefaulted = to;
    }
    if (!line.empty())
        std::memcpy(base + b.textSize, line.data(), line.size());
    b.textSize += line.size();
    char* const entry = base + b.capacity - kEntrySize * (b.lines + 1);
    store32(entry, static_cast<std::uint32_t>(b.textSize));
    store32(entry + 4, LicenceList::callHash(LicenceCallSign(line)));
    ++b.lines;
}

void LicenceLineScanner::closeBlock(bool last)
{
    LicenceList::Block& b = m_block;
    const std::size_t used = b.textSize + b.lines * kEntrySize;
    const std::size_t spare = b.capacity - used;
    // The last block of a build, and a block left early by a long line, give back
    // what they do not use: the entries move down behind the text, and the block
    // shrinks (its memory may move).
    if (spare > 0 && (last || spare > b.capacity / 16)) {
        char* const base = b.memory.get();
        std::memmove(base + b.textSize, base + b.capacity - b.lines * kEntrySize, b.lines * kEntrySize);
        LicenceBlockPool::shrink(b.memory, used);
        b.capacity = used; // where the entries now end, shrunk or not
    }
    m_list.addBlock(std::move(b));
    b = LicenceList::Block();
}

LicenceList ScanLicenceText(
    std::string_view text, std::string_view prefix, std::size_t pieceSize, LicenceBlockPool* pool)
{
    LicenceLineScanner scanner { std::string(prefix), pool };
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

#pragma once
// The prefix list of the FCC page: the list lines of every build, in file order, kept
// compactly. A build of a national file lists about a million lines, so there is no
// object per line: lines lie in large blocks, each block holding the text of its lines
// from its start and, from its end backwards, one 8-byte entry per line (where the line
// ends, and a hash of its call sign for the search). A line costs its bytes and 8 more.
// No widgets and no Qt here.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Memory of cleared lists kept for the next build: filling memory that the program
// already uses is many times cheaper than taking fresh memory from the system, and a
// national list is some hundred megabytes.
//
// Fresh memory is costly for its page faults, one per 4 KiB page. So where the block
// size is a whole number of huge pages (2 MiB), blocks are mapped on their own,
// aligned to a huge page and marked for transparent huge pages (Linux): the system
// then brings a block in with a few faults instead of a thousand. Elsewhere, or when
// that fails, blocks come from the heap. Once a build has taken a second fresh block
// it is a big one, and a helper thread makes the next blocks present while the
// build fills this one.
class LicenceBlockPool {
public:
    static constexpr std::size_t kHugePage = 2u << 20;
    static constexpr std::size_t kBlockSize = 2 * kHugePage;

    // Frees a block the way it was taken: from the heap when mapped is 0, else the
    // mapping of that many bytes.
    struct BlockDeleter {
        std::size_t mapped = 0;
        void operator()(char* p) const;
    };
    using Memory = std::unique_ptr<char, BlockDeleter>;

    // Blocks of blockSize bytes (at least 64); a line longer than that gets a block of
    // its own size.
    explicit LicenceBlockPool(std::size_t blockSize = kBlockSize);
    ~LicenceBlockPool();
    LicenceBlockPool(const LicenceBlockPool&) = delete;
    LicenceBlockPool& operator=(const LicenceBlockPool&) = delete;
    std::size_t blockSize() const { return m_blockSize; }
    // A block of blockSize() bytes: one given back, or new.
    Memory take();
    void give(Memory block);
    // Gives every kept block back to the system, those made ahead included.
    void release();
    // The blocks given back and kept.
    std::size_t blocks() const { return m_free.size(); }

    // Gives back what block holds past its first size bytes, which stay as they are
    // (the block may move). Kept as it was when that fails.
    static void shrink(Memory& block, std::size_t size);

private:
    struct Ahead;
    Memory takeFresh();
    void stopAhead();

    std::size_t m_blockSize;
    std::vector<Memory> m_free;
    std::size_t m_freshTaken = 0; // since the last release
    std::unique_ptr<Ahead> m_ahead;
};

class LicenceList {
public:
    LicenceList() = default;
    LicenceList(LicenceList&&) noexcept = default;
    LicenceList& operator=(LicenceList&&) noexcept = default;

    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    // Line index, 0 <= index < size(): the list line without its line end.
    std::string_view line(std::size_t index) const;
    // The length of the longest line.
    std::size_t maxLineLength() const { return m_maxLength; }
    // The bytes of all lines together.
    std::size_t textBytes() const { return m_textBytes; }
    // What the list holds in memory, its bookkeeping included.
    std::size_t memoryBytes() const;

    // Moves the lines of other behind this list's lines.
    void append(LicenceList&& other);
    // Empties the list; its blocks of the pool's size go to pool when one is given.
    void clear(LicenceBlockPool* pool = nullptr);

    // The index of the first line whose call sign equals call exactly (case counts),
    // or nothing. An empty text finds nothing.
    std::optional<std::size_t> findCall(std::string_view call) const;

    // Hash of a call sign as the list stores it.
    static std::uint32_t callHash(std::string_view call);

private:
    friend class LicenceLineScanner;

    struct Block {
        LicenceBlockPool::Memory memory;
        std::size_t capacity = 0;
        std::size_t textSize = 0;
        std::size_t lines = 0;
        std::size_t firstLine = 0; // index of the block's first line in the list

        // Entry i lies 8 * (i + 1) bytes before the end of the block.
        const char* entry(std::size_t i) const { return memory.get() + capacity - 8 * (i + 1); }
        std::uint32_t end(std::size_t i) const;
        std::uint32_t hash(std::size_t i) const;
        std::string_view line(std::size_t i) const;
    };
    void addBlock(Block&& block);

    std::vector<Block> m_blocks;
    std::size_t m_count = 0;
    std::size_t m_textBytes = 0;
    std::size_t m_maxLength = 0;
};

// The lines of a licence file that belong to the prefix list, found as the file's
// bytes arrive in pieces of any size. Every physical line is one record, whatever its
// length; its line end (LF, CR LF, CR CR LF, or a CR alone as old Mac tools wrote) is
// not part of it, and a last line without a line end counts like any other. Each line loses its head (StripLicenceHead) and is kept
// when what remains begins with the prefix.
//
// Use: buffer(n) gives room for n bytes, commit(k) hands over the k bytes read into
// it, finish() at the end of the file, then take() the lines. The read buffer is used
// again for every piece; kept lines are copied into blocks taken from the pool.
class LicenceLineScanner {
public:
    explicit LicenceLineScanner(std::string prefix, LicenceBlockPool* pool = nullptr);
    ~LicenceLineScanner();
    LicenceLineScanner(const LicenceLineScanner&) = delete;
    LicenceLineScanner& operator=(const LicenceLineScanner&) = delete;

    // Room for at least n further bytes. Throws std::bad_alloc, or std::length_error
    // for a single line of 4 GiB or more.
    char* buffer(std::size_t n);
    void commit(std::size_t k);
    void finish();
    LicenceList take();

private:
    // Keeps the matching lines among the complete lines of the buffer's first size
    // bytes (all of them atEnd) and returns where the unfinished last line begins.
    std::size_t keepLines(std::size_t size, bool atEnd);
    void keep(std::string_view line);
    // Closes the block being filled, giving back what it does not use when that is
    // much, and puts it in the list.
    void closeBlock(bool last);

    std::string m_prefix;
    LicenceBlockPool* m_pool;
    LicenceBlockPool m_ownPool;
    char* m_buffer = nullptr;
    std::size_t m_capacity = 0;
    std::size_t m_filled = 0;
    LicenceList::Block m_block;
    std::size_t m_prefaulted = 0; // how much of m_block is known to be present
    LicenceList m_list;
};

// The whole of text scanned as a licence file, in pieces of pieceSize bytes, filling
// blocks from pool when one is given.
LicenceList ScanLicenceText(std::string_view text, std::string_view prefix, std::size_t pieceSize = 1u << 20,
    LicenceBlockPool* pool = nullptr);

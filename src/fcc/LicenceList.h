#pragma once
// The prefix list of the FCC page: the list lines of every build, in file order, kept
// compactly. A build of a national file lists well over a million lines, so there is
// no object per line: the text of the lines lies in a few large blocks, and each line
// costs its bytes plus an end offset and a hash of its call sign (8 bytes).
// No widgets and no Qt here.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    void clear();

    // The index of the first line whose call sign equals call exactly (case counts),
    // or nothing. An empty text finds nothing.
    std::optional<std::size_t> findCall(std::string_view call) const;

    // Hash of a call sign as the list stores it.
    static std::uint32_t callHash(std::string_view call);

private:
    friend class LicenceLineScanner;

    struct FreeDeleter {
        void operator()(char* p) const;
    };
    struct Block {
        std::unique_ptr<char, FreeDeleter> text;
        std::size_t textSize = 0;
        std::vector<std::uint32_t> ends; // end offset of each line in text
        std::vector<std::uint32_t> hashes; // callHash of each line's call sign
        std::size_t firstLine = 0; // index of the block's first line in the list
    };
    void addBlock(Block&& block);

    std::vector<Block> m_blocks;
    std::size_t m_count = 0;
    std::size_t m_textBytes = 0;
    std::size_t m_maxLength = 0;
};

// The lines of a licence file that belong to the prefix list, found as the file's
// bytes arrive in pieces of any size. Every physical line is one record, whatever its
// length; its line end (LF or CR LF) is not part of it, and a last line without a line
// end counts like any other. Each line loses its head (StripLicenceHead) and is kept
// when what remains begins with the prefix.
//
// Use: buffer(n) gives room for n bytes, commit(k) hands over the k bytes read into
// it, finish() at the end of the file, then take() the lines.
class LicenceLineScanner {
public:
    explicit LicenceLineScanner(std::string prefix);
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
    // Keeps the matching lines among the complete lines of [0, size) of the buffer,
    // packed at its start; returns where the unfinished last line begins.
    std::size_t packLines(std::size_t size, bool atEnd);
    void keepBlock(std::size_t packedSize);

    std::string m_prefix;
    char* m_buffer = nullptr;
    std::size_t m_capacity = 0;
    std::size_t m_filled = 0;
    LicenceList::Block m_block;
    LicenceList m_list;
};

// The whole of text scanned as a licence file, in pieces of pieceSize bytes.
LicenceList ScanLicenceText(std::string_view text, std::string_view prefix, std::size_t pieceSize = 4u << 20);

#pragma once
// The prefix list of the FCC page: the list lines of every build, in file order. A build
// of a national file lists about a million lines, so the lines are not copied: the list
// keeps for each line where it starts in the licence file (4 bytes a line; the line
// runs to the next CR or LF), and the file is mapped into memory, read only, for the
// lines' text. The mapping
// lives as long as a list refers to it, so a later build of another file (or of the same
// file after an import replaced it) leaves the earlier lines as they were read.
// No widgets and no Qt here.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The whole text of a licence file, held by the lists that refer to it: a read-only
// mapping of the file, or (for text that comes from elsewhere) a copy.
class LicenceText {
public:
    virtual ~LicenceText() = default;
    virtual std::string_view text() const = 0;
    static std::shared_ptr<const LicenceText> copyOf(std::string_view text);
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
    // What the list holds in memory besides the texts it refers to.
    std::size_t memoryBytes() const;

    // Moves the lines of other behind this list's lines.
    void append(LicenceList&& other);
    void clear();

    // The index of the first line from index from on whose call sign equals call
    // exactly (case counts), or nothing. An empty text finds nothing.
    std::optional<std::size_t> findCall(std::string_view call, std::size_t from = 0) const;
    // The unique system identifier in the head of the file line of line index (the head
    // is not part of the list line); nothing when the head holds none.
    std::optional<std::uint32_t> recordId(std::size_t index) const;

private:
    friend class LicenceLineIndexer;

    // The lines of one build: where each starts in its text.
    struct Part {
        std::shared_ptr<const LicenceText> text;
        std::vector<std::uint32_t> starts;
        std::size_t firstLine = 0; // index of the part's first line in the list
        std::size_t textBytes = 0;
        std::size_t maxLength = 0;

        std::string_view line(std::size_t i) const;
    };
    void addPart(Part&& part);

    std::vector<Part> m_parts;
    std::size_t m_count = 0;
    std::size_t m_textBytes = 0;
    std::size_t m_maxLength = 0;
};

// Finds the lines of a licence text that belong to the prefix list as the text's bytes
// go by in pieces of any size, keeping where each starts in the whole text. Every
// physical line is one record, whatever its length; its line end (LF, CR LF, CR CR LF,
// or a CR alone as old Mac tools wrote) is not part of it, and a last line without a
// line end counts like any other. Each line loses its head (StripLicenceHead) and is
// kept when what remains begins with the prefix.
class LicenceLineIndexer {
public:
    explicit LicenceLineIndexer(std::string_view prefix) : m_prefix(prefix) { }
    // Room for the lines of a text of that many bytes, so the list does not grow by
    // copying as the lines are found.
    void expect(std::uint64_t textBytes);
    // Handles the complete lines among the size bytes at b (all of them when atEnd);
    // b[0] lies at offset base of the text. Returns how many bytes it used: the
    // unfinished last line begins there. Throws std::length_error past 4 GiB.
    std::size_t feed(const char* b, std::size_t size, bool atEnd, std::uint64_t base);
    // The lines found, with text as the whole text that was fed.
    LicenceList take(std::shared_ptr<const LicenceText> text);

private:
    void keep(std::uint64_t start, std::size_t length);

    std::string m_prefix;
    LicenceList::Part m_part;
};

// The lines of the whole of text that belong to the prefix list.
LicenceList ScanLicenceText(std::string_view text, std::string_view prefix);

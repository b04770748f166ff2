// Fuzz target for the licence file's line handling and record split. The input picks
// a read piece size, a block size and a prefix, and the rest is the file. The lines,
// the call search and the split are checked against a plain reference written here.
#include "licence/LicenceList.h"
#include "licence/LicenceRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> out;
    for (;;) {
        const auto bar = line.find('|');
        out.push_back(line.substr(0, bar));
        if (bar == std::string_view::npos)
            return out;
        line.remove_prefix(bar + 1);
    }
}

// The list line of one physical line: head dropped up to and including the fourth "|".
std::string listLineOf(std::string_view line)
{
    const std::vector<std::string_view> f = fields(line);
    if (f.size() < 5)
        return std::string();
    return std::string(line.substr(f[0].size() + f[1].size() + f[2].size() + f[3].size() + 4));
}

// The list lines of text, read one character at a time: a line ends at LF, at a run of
// CRs followed by LF, or at a CR that no LF follows (each such CR ends one line). Kept
// when they begin with prefix.
std::vector<std::string> referenceLines(std::string_view text, std::string_view prefix)
{
    std::vector<std::string> physical;
    std::string line;
    bool open = false; // characters since the last line end
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            physical.push_back(line);
            line.clear();
            open = false;
        } else if (c == '\r') {
            std::size_t run = i;
            while (run < text.size() && text[run] == '\r')
                ++run;
            if (run < text.size() && text[run] == '\n') {
                physical.push_back(line);
                i = run;
            } else {
                physical.push_back(line);
                for (std::size_t k = i + 1; k < run; ++k)
                    physical.push_back(std::string());
                i = run - 1;
            }
            line.clear();
            open = false;
        } else {
            line += c;
            open = true;
        }
    }
    if (open)
        physical.push_back(line);
    std::vector<std::string> out;
    for (const std::string& l : physical) {
        std::string listLine = listLineOf(l);
        if (listLine.compare(0, prefix.size(), prefix) == 0 && listLine.size() >= prefix.size())
            out.push_back(std::move(listLine));
    }
    return out;
}

// Records of the layout's 26 list fields or fewer split from the start; longer ones
// take city and state from the end and their name from the first pieces after the
// licensee identifier.
void checkSplit(std::string_view listLine)
{
    const LicenceRecord r = SplitLicenceRecord(listLine);
    const std::vector<std::string_view> f = fields(listLine);
    auto field = [&f](std::size_t i) { return i < f.size() ? f[i] : std::string_view(); };
    check(r.call == "  " + std::string(field(0)));
    if (f.size() > 26) {
        check(r.city == f[f.size() - 14]);
        check(r.state == f[f.size() - 13]);
        bool nameFromPieces = false;
        std::string name;
        for (std::size_t i = 3; i <= 3 + (f.size() - 26); ++i) {
            name += field(i);
            nameFromPieces = nameFromPieces || r.lastName + r.firstName == name;
        }
        check(nameFromPieces);
        return;
    }
    const std::string_view name = field(3);
    const auto comma = name.find(',');
    if (comma == std::string_view::npos) {
        check(r.lastName == name && r.firstName.empty());
    } else {
        check(r.lastName == name.substr(0, comma + 1));
        check(r.firstName == name.substr(comma + 1));
    }
    check(r.city == field(12));
    check(r.state == field(13));
}

void checkList(const LicenceList& list, const std::vector<std::string>& expected)
{
    check(list.size() == expected.size());
    std::size_t bytes = 0, longest = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        check(list.line(i) == expected[i]);
        bytes += expected[i].size();
        longest = std::max(longest, expected[i].size());
    }
    check(list.textBytes() == bytes);
    check(list.maxLineLength() == longest);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::size_t piece = 1 + data[0] % 64 * (data[0] >= 128 ? 64 : 1);
    const std::size_t blockSize = 64 + std::size_t(data[1] % 16) * 32;
    const std::size_t prefixLength = std::min<std::size_t>(data[2] % 4, size - 3);
    const std::string_view prefix(reinterpret_cast<const char*>(data) + 3, prefixLength);
    const std::string_view text(
        reinterpret_cast<const char*>(data) + 3 + prefixLength, size - 3 - prefixLength);

    const std::vector<std::string> expected = referenceLines(text, prefix);
    LicenceBlockPool pool(blockSize);
    LicenceList list = ScanLicenceText(text, prefix, piece, &pool);
    checkList(list, expected);

    // A second build appended, after the first was cleared into the pool and built
    // again from the pool's blocks.
    list.clear(&pool);
    list = ScanLicenceText(text, prefix, piece + 7, &pool);
    list.append(ScanLicenceText(text, prefix, 1 << 20, &pool));
    std::vector<std::string> twice = expected;
    twice.insert(twice.end(), expected.begin(), expected.end());
    checkList(list, twice);

    // The call search finds the first line of each call; the split follows the fields.
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string_view call = LicenceCallSign(expected[i]);
        std::size_t first = 0;
        while (LicenceCallSign(expected[first]) != call)
            ++first;
        const auto found = list.findCall(call);
        if (call.empty())
            check(!found);
        else
            check(found && *found == first);
        checkSplit(expected[i]);
    }
    checkSplit(text);
    // Texts that hold a separator are never a call sign.
    check(!list.findCall(std::string(prefix) + "|"));
    return 0;
}

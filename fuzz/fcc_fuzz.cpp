// Fuzz target for the licence file's line handling and record split. The input picks
// a read piece size, a block size and a prefix, and the rest is the file. The lines,
// the call search and the split are checked against a plain reference written here.
#include "fcc/LicenceList.h"
#include "fcc/LicenceRecord.h"

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

// The list lines of text: physical lines without their LF or CR LF, head dropped up to
// and including the fourth "|", kept when they begin with prefix.
std::vector<std::string> referenceLines(std::string_view text, std::string_view prefix)
{
    std::vector<std::string> out;
    while (!text.empty()) {
        const auto lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::vector<std::string_view> f = fields(line);
        std::string listLine;
        if (f.size() >= 5)
            listLine = std::string(line.substr(f[0].size() + f[1].size() + f[2].size() + f[3].size() + 4));
        if (listLine.compare(0, prefix.size(), prefix) == 0 && listLine.size() >= prefix.size())
            out.push_back(listLine);
    }
    return out;
}

void checkSplit(std::string_view listLine)
{
    const LicenceRecord r = SplitLicenceRecord(listLine);
    const std::vector<std::string_view> f = fields(listLine);
    auto field = [&f](std::size_t i) { return i < f.size() ? f[i] : std::string_view(); };
    check(r.call == "  " + std::string(field(0)));
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

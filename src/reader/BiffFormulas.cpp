#include "BiffFormulas.h"

#include "NumberText.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr uint32_t EndOfChain = 0xFFFFFFFE;
constexpr uint32_t FreeSector = 0xFFFFFFFF;

uint16_t get16(std::string_view b, std::size_t at)
{
    return static_cast<uint16_t>(
        static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}

uint32_t get32(std::string_view b, std::size_t at)
{
    return uint32_t(get16(b, at)) | (uint32_t(get16(b, at + 2)) << 16);
}

// The compound file (OLE2) container of a workbook, just enough to read one stream.
// Every sector number and chain is checked against the file, and every chain may visit a
// sector only once, so damaged files end the read instead of looping.
class CompoundFile {
public:
    explicit CompoundFile(std::string_view file) : file(file) { }

    std::optional<std::string> stream(const char16_t* wanted)
    {
        if (file.size() < 512 || file.substr(0, 8) != std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
            return std::nullopt;
        const uint16_t shift = get16(file, 0x1E);
        const uint16_t miniShift = get16(file, 0x20);
        if ((shift != 9 && shift != 12) || miniShift != 6)
            return std::nullopt;
        sectorSize = std::size_t(1) << shift;
        sectorCount = (file.size() - 512 + sectorSize - 1) / sectorSize;
        if (!readFat())
            return std::nullopt;

        const auto directory = chain(get32(file, 0x30), fat, false);
        if (!directory)
            return std::nullopt;
        std::optional<uint32_t> rootStart;
        uint64_t rootSize = 0;
        for (std::size_t at = 0; at + 128 <= directory->size(); at += 128) {
            const std::string_view entry(directory->data() + at, 128);
            const uint16_t nameBytes = get16(entry, 0x40);
            const unsigned char type = entry[0x42];
            const uint32_t start = get32(entry, 0x74);
            const uint64_t size = get32(entry, 0x78) | (shift == 12 ? uint64_t(get32(entry, 0x7C)) << 32 : 0);
            if (type == 5) {
                rootStart = start;
                rootSize = size;
            }
            if (type != 2 || nameBytes < 2 || nameBytes > 64 || !sameName(entry, nameBytes / 2 - 1, wanted))
                continue;
            if (size > file.size())
                return std::nullopt;
            std::optional<std::string> data;
            if (size >= get32(file, 0x38)) {
                data = chain(start, fat, false);
            } else {
                if (!rootStart)
                    return std::nullopt;
                data = miniStream(*rootStart, rootSize, start);
            }
            if (!data || data->size() < size)
                return std::nullopt;
            data->resize(size);
            return data;
        }
        return std::nullopt;
    }

private:
    static bool sameName(std::string_view entry, std::size_t length, const char16_t* wanted)
    {
        std::size_t k = 0;
        for (; k < length; ++k) {
            char16_t c = get16(entry, 2 * k);
            char16_t w = wanted[k];
            if (w == 0)
                return false;
            if (c >= 'a' && c <= 'z')
                c -= 32;
            if (w >= 'a' && w <= 'z')
                w -= 32;
            if (c != w)
                return false;
        }
        return wanted[k] == 0;
    }

    std::string_view sector(uint32_t id) const
    {
        return file.substr(512 + std::size_t(id) * sectorSize, sectorSize);
    }
    bool validSector(uint32_t id) const
    {
        return id < sectorCount && 512 + (std::size_t(id) + 1) * sectorSize <= file.size();
    }

    bool readFat()
    {
        std::vector<uint32_t> fatSectors;
        for (int i = 0; i < 109; ++i) {
            const uint32_t id = get32(file, 0x4C + 4 * i);
            if (id != FreeSector && id != EndOfChain)
                fatSectors.push_back(id);
        }
        uint32_t difat = get32(file, 0x44);
        std::vector<bool> seen(sectorCount, false);
        while (difat != EndOfChain && difat != FreeSector) {
            if (!validSector(difat) || seen[difat])
                return false;
            seen[difat] = true;
            const std::string_view s = sector(difat);
            const std::size_t n = sectorSize / 4 - 1;
            for (std::size_t i = 0; i < n; ++i) {
                const uint32_t id = get32(s, 4 * i);
                if (id != FreeSector && id != EndOfChain)
                    fatSectors.push_back(id);
            }
            difat = get32(s, 4 * n);
        }
        if (fatSectors.size() > sectorCount)
            return false;
        for (uint32_t id : fatSectors) {
            if (!validSector(id))
                return false;
            const std::string_view s = sector(id);
            for (std::size_t i = 0; i + 4 <= s.size(); i += 4)
                fat.push_back(get32(s, i));
        }
        return true;
    }

    // The bytes of a chain of sectors (or of mini sectors inside the mini stream).
    std::optional<std::string> chain(uint32_t start, const std::vector<uint32_t>& table, bool mini) const
    {
        std::string out;
        const std::size_t unit = mini ? 64 : sectorSize;
        const std::size_t limit = mini ? miniData.size() / 64 : sectorCount;
        std::vector<bool> seen(limit, false);
        for (uint32_t id = start; id != EndOfChain;) {
            if (id >= limit || id >= table.size() || seen[id])
                return std::nullopt;
            seen[id] = true;
            if (mini) {
                out.append(miniData, std::size_t(id) * 64, unit);
            } else {
                if (!validSector(id))
                    return std::nullopt;
                out.append(sector(id));
            }
            id = table[id];
        }
        return out;
    }

    std::optional<std::string> miniStream(uint32_t rootStart, uint64_t rootSize, uint32_t start)
    {
        const auto root = chain(rootStart, fat, false);
        const auto miniFatBytes = chain(get32(file, 0x3C), fat, false);
        if (!root || !miniFatBytes || rootSize > root->size())
            return std::nullopt;
        miniData = root->substr(0, rootSize);
        std::vector<uint32_t> miniFat;
        for (std::size_t i = 0; i + 4 <= miniFatBytes->size(); i += 4)
            miniFat.push_back(get32(*miniFatBytes, i));
        return chain(start, miniFat, true);
    }

    std::string_view file;
    std::size_t sectorSize = 512;
    std::size_t sectorCount = 0;
    std::vector<uint32_t> fat;
    std::string miniData;
};

const char* errorText(unsigned char code)
{
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    default:
        return "#ERROR!";
    }
}

void appendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// A STRING record (the text result of the formula before it), with its CONTINUE parts.
// Each part holds characters in one byte or two, told by the option byte that starts it.
std::string stringResult(const std::vector<std::string_view>& parts)
{
    std::string out;
    if (parts.empty() || parts[0].size() < 3)
        return out;
    std::size_t left = get16(parts[0], 0);
    std::size_t at = 2;
    for (std::size_t p = 0; p < parts.size() && left > 0; ++p) {
        const std::string_view part = parts[p];
        if (p > 0)
            at = 0;
        if (at >= part.size())
            continue;
        const bool wide = part[at] & 0x01;
        ++at;
        std::vector<uint32_t> units;
        while (left > 0 && at + (wide ? 2 : 1) <= part.size()) {
            units.push_back(wide ? get16(part, at) : static_cast<unsigned char>(part[at]));
            at += wide ? 2 : 1;
            --left;
        }
        for (std::size_t i = 0; i < units.size(); ++i) {
            uint32_t c = units[i];
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00
                && units[i + 1] < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
                out.push_back(char(0xF0 | (c >> 18)));
                out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
                out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
                out.push_back(char(0x80 | (c & 0x3F)));
                continue;
            }
            if (c >= 0xD800 && c < 0xE000)
                c = 0xFFFD;
            appendUtf8(out, c);
        }
    }
    return out;
}

} // namespace

std::map<std::pair<uint32_t, uint32_t>, std::string> readFormulaResults(const std::string& fileBytes)
{
    std::map<std::pair<uint32_t, uint32_t>, std::string> results;
    CompoundFile container(fileBytes);
    const std::optional<std::string> workbook = container.stream(u"Workbook");
    if (!workbook)
        return results; // not a BIFF8 workbook: FreeXL's reading stands as it is
    const std::string_view stream(*workbook);

    auto recordAt = [&](std::size_t at, uint16_t& id, std::string_view& body) {
        if (at + 4 > stream.size())
            return false;
        id = get16(stream, at);
        const uint16_t length = get16(stream, at + 2);
        if (at + 4 + length > stream.size())
            return false;
        body = stream.substr(at + 4, length);
        return true;
    };

    // The globals come first; the first sheet record tells where the first sheet starts.
    std::optional<std::size_t> sheetStart;
    uint16_t id = 0;
    std::string_view body;
    for (std::size_t at = 0; recordAt(at, id, body); at += 4 + body.size()) {
        if (id == 0x0085 && body.size() >= 4) {
            sheetStart = get32(body, 0);
            break;
        }
        if (id == 0x000A)
            break;
    }
    if (!sheetStart || *sheetStart >= stream.size())
        return results;
    if (!recordAt(*sheetStart, id, body) || id != 0x0809)
        return results;

    std::optional<std::pair<uint32_t, uint32_t>> pendingString;
    std::vector<std::string_view> stringParts;
    auto flushString = [&]() {
        if (pendingString && !stringParts.empty())
            results[*pendingString] = stringResult(stringParts);
        pendingString.reset();
        stringParts.clear();
    };
    for (std::size_t at = *sheetStart + 4 + body.size(); recordAt(at, id, body); at += 4 + body.size()) {
        if (id == 0x000A) // end of the sheet
            break;
        if (id == 0x003C && !stringParts.empty()) { // continuation of a STRING record
            stringParts.push_back(body);
            continue;
        }
        if (id == 0x0207) { // STRING: the text result of the formula just before
            if (pendingString) {
                stringParts.assign(1, body);
            }
            continue;
        }
        if (id == 0x04BC || id == 0x0221 || id == 0x0236) // shared formula, array, table
            continue;
        flushString();
        if (id != 0x0006 || body.size() < 14)
            continue;
        const std::pair<uint32_t, uint32_t> cell { get16(body, 0), get16(body, 2) };
        const std::string_view value = body.substr(6, 8);
        if (get16(value, 6) != 0xFFFF) {
            double d = 0;
            uint64_t bits = uint64_t(get32(value, 0)) | (uint64_t(get32(value, 4)) << 32);
            std::memcpy(&d, &bits, 8);
            results[cell] = numberText(d);
            continue;
        }
        switch (static_cast<unsigned char>(value[0])) {
        case 0: // text, in the STRING record that follows
            results[cell] = std::string();
            pendingString = cell;
            break;
        case 1:
            results[cell] = value[2] ? "TRUE" : "FALSE";
            break;
        case 2:
            results[cell] = errorText(static_cast<unsigned char>(value[2]));
            break;
        default: // an empty text
            results[cell] = std::string();
            break;
        }
    }
    flushString();
    return results;
}

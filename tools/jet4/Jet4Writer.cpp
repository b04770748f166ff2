#include "Jet4Writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>

namespace jet4 {
namespace {

constexpr std::size_t PageSize = 4096;
constexpr std::size_t DataPageHeader = 14; // type, flag, free space, owner, unknown, row count
constexpr std::size_t MaxRowsPerPage = 255; // a row pointer keeps the slot in one byte
constexpr std::size_t MinMapBytes = 64; // bitmap size of the usage maps Access writes

using Bytes = std::vector<unsigned char>;

void put16(unsigned char* p, uint32_t v)
{
    p[0] = v & 0xFF;
    p[1] = (v >> 8) & 0xFF;
}

void put32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = (v >> (8 * i)) & 0xFF;
}

void append16(Bytes& b, uint32_t v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}

// ---- text ----

std::u16string utf16FromUtf8(const std::string& s, const std::string& where)
{
    std::u16string out;
    std::size_t i = 0;
    auto bad = [&]() { return WriteError(where + ": the text is not valid UTF-8"); };
    while (i < s.size()) {
        const unsigned char c = s[i];
        uint32_t cp = 0;
        int extra = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            throw bad();
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size())
                throw bad();
            const unsigned char cc = s[i + k];
            if ((cc & 0xC0) != 0x80)
                throw bad();
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr uint32_t minimum[] = { 0, 0x80, 0x800, 0x10000 };
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            throw bad();
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

// Jet 4 text: UTF-16LE, or the one-byte "compressed" form (FF FE, then one byte per
// character) when every character fits in a byte and that is shorter.
Bytes encodeText(const std::u16string& text)
{
    Bytes out;
    const bool compressible = text.size() > 2
        && std::all_of(text.begin(), text.end(), [](char16_t c) { return c != 0 && c < 0x100; });
    if (compressible) {
        out.reserve(text.size() + 2);
        out.push_back(0xFF);
        out.push_back(0xFE);
        for (char16_t c : text)
            out.push_back(static_cast<unsigned char>(c));
    } else {
        out.reserve(text.size() * 2);
        for (char16_t c : text)
            append16(out, c);
    }
    return out;
}

Bytes encodeName(const std::string& name, const std::string& where)
{
    const std::u16string u = utf16FromUtf8(name, where);
    if (u.empty() || u.size() > 64)
        throw WriteError(where + ": a name must have 1 to 64 characters");
    Bytes out;
    for (char16_t c : u)
        append16(out, c);
    return out;
}

// ---- values ----

std::string asciiLower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

int32_t parseLong(const std::string& text, const std::string& where)
{
    const std::string t = trimmed(text);
    int64_t v = 0;
    const char* begin = t.data();
    const char* end = t.data() + t.size();
    if (!t.empty() && *begin == '+')
        ++begin;
    auto [p, ec] = std::from_chars(begin, end, v);
    if (t.empty() || ec != std::errc() || p != end || v < std::numeric_limits<int32_t>::min()
        || v > std::numeric_limits<int32_t>::max())
        throw WriteError(where + ": \"" + text + "\" is not a Long Integer");
    return static_cast<int32_t>(v);
}

double parseDouble(const std::string& text, const std::string& where)
{
    const std::string t = trimmed(text);
    double v = 0;
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc() || p != t.data() + t.size())
        throw WriteError(where + ": \"" + text + "\" is not a number");
    return v;
}

// Days from 1899-12-30 to the given civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468; // days since 1970-01-01
}

double parseDate(const std::string& text, const std::string& where)
{
    const std::string t = trimmed(text);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    int used = -1;
    bool shapeOk = false;
    // The whole text must be one of the three shapes.
    if (std::sscanf(t.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &y, &mo, &d, &h, &mi, &s, &used) == 6)
        shapeOk = used == int(t.size());
    else if (used = -1; std::sscanf(t.c_str(), "%4d-%2d-%2d %2d:%2d%n", &y, &mo, &d, &h, &mi, &used) == 5)
        shapeOk = used == int(t.size());
    else if (used = -1; std::sscanf(t.c_str(), "%4d-%2d-%2d%n", &y, &mo, &d, &used) == 3)
        shapeOk = used == int(t.size());
    static constexpr int monthDays[] = { 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (!shapeOk || y < 100 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > monthDays[mo - 1] || h > 23
        || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0)
        throw WriteError(where + ": \"" + text + "\" is not a date (YYYY-MM-DD [HH:MM[:SS]])");
    const int64_t days = daysFromCivil(y, mo, d) - daysFromCivil(1899, 12, 30);
    return double(days) + (h * 3600 + mi * 60 + s) / 86400.0;
}

bool parseBool(const std::string& text, const std::string& where)
{
    const std::string t = asciiLower(trimmed(text));
    if (t == "1" || t == "true" || t == "yes" || t == "-1")
        return true;
    if (t == "0" || t == "false" || t == "no" || t.empty())
        return false;
    throw WriteError(where + ": \"" + text + "\" is not a Yes/No value");
}

// ---- columns as stored ----

// Storage types, as the column descriptor's type byte.
enum : unsigned char {
    TypeBool = 0x01,
    TypeInt16 = 0x03,
    TypeInt32 = 0x04,
    TypeDouble = 0x07,
    TypeDate = 0x08,
    TypeText = 0x0A,
    TypeOle = 0x0B,
};

struct StoredColumn {
    Bytes name; // UTF-16LE
    unsigned char type = TypeText;
    bool fixed = false; // stored in the fixed area of a row
    uint16_t size = 0; // bytes in the fixed area, or the text length in bytes
    uint16_t fixedOffset = 0;
    uint16_t varIndex = 0;
};

struct StoredTable {
    std::string name;
    std::vector<StoredColumn> columns;
    std::size_t fixedSize = 0;
    std::size_t varCount = 0;
};

StoredTable layOut(
    const std::string& tableName, const std::vector<std::pair<std::string, unsigned char>>& cols)
{
    StoredTable t;
    t.name = tableName;
    std::vector<std::string> seen;
    if (cols.empty())
        throw WriteError("table " + tableName + ": a table needs at least one column");
    if (cols.size() > 255)
        throw WriteError("table " + tableName + ": more than 255 columns");
    for (const auto& [name, type] : cols) {
        StoredColumn c;
        c.name = encodeName(name, "table " + tableName + ", column " + name);
        c.type = type;
        switch (type) {
        case TypeBool:
            c.fixed = true;
            c.size = 1; // no storage: the null bitmap bit is the value
            break;
        case TypeInt16:
            c.fixed = true;
            c.size = 2;
            break;
        case TypeInt32:
            c.fixed = true;
            c.size = 4;
            break;
        case TypeDouble:
        case TypeDate:
            c.fixed = true;
            c.size = 8;
            break;
        case TypeText:
            c.size = 510;
            break;
        case TypeOle:
            c.size = 0;
            break;
        }
        if (c.fixed && type != TypeBool) {
            c.fixedOffset = static_cast<uint16_t>(t.fixedSize);
            t.fixedSize += c.size;
        } else if (!c.fixed) {
            c.varIndex = static_cast<uint16_t>(t.varCount++);
        }
        // Access treats names without regard to case; so do we, for ASCII letters.
        const std::string folded = asciiLower(name);
        if (std::find(seen.begin(), seen.end(), folded) != seen.end())
            throw WriteError("table " + tableName + ": column " + name + " appears twice");
        seen.push_back(folded);
        t.columns.push_back(std::move(c));
    }
    return t;
}

// A value already converted for storage: fixed bytes, variable bytes, or null.
struct Cell {
    bool present = false;
    Bytes bytes;
};

Bytes buildRow(const StoredTable& t, const std::vector<Cell>& cells)
{
    const std::size_t n = t.columns.size();
    Bytes row(2 + t.fixedSize, 0);
    put16(row.data(), static_cast<uint32_t>(n));
    std::vector<uint16_t> varStart(t.varCount, 0);
    std::vector<unsigned char> bitmap((n + 7) / 8, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const StoredColumn& c = t.columns[i];
        if (cells[i].present)
            bitmap[i / 8] |= 1u << (i % 8);
        if (c.fixed && c.type != TypeBool && cells[i].present)
            std::memcpy(row.data() + 2 + c.fixedOffset, cells[i].bytes.data(), c.size);
    }
    // Variable data in variable-column order.
    std::vector<const StoredColumn*> varCols(t.varCount);
    std::vector<std::size_t> varCell(t.varCount);
    for (std::size_t i = 0; i < n; ++i)
        if (!t.columns[i].fixed) {
            varCols[t.columns[i].varIndex] = &t.columns[i];
            varCell[t.columns[i].varIndex] = i;
        }
    for (std::size_t v = 0; v < t.varCount; ++v) {
        varStart[v] = static_cast<uint16_t>(row.size());
        const Cell& cell = cells[varCell[v]];
        if (cell.present)
            row.insert(row.end(), cell.bytes.begin(), cell.bytes.end());
    }
    if (t.varCount > 0) {
        const std::size_t endOfData = row.size();
        append16(row, static_cast<uint32_t>(endOfData));
        for (std::size_t v = t.varCount; v-- > 0;)
            append16(row, varStart[v]);
        append16(row, static_cast<uint32_t>(t.varCount));
    }
    row.insert(row.end(), bitmap.begin(), bitmap.end());
    return row;
}

std::vector<Cell> convertRow(const StoredTable& t, const std::vector<ColumnType>& types,
    const std::vector<std::string>& names, const Row& values, std::size_t rowNumber)
{
    if (values.size() != t.columns.size())
        throw WriteError("table " + t.name + ", row " + std::to_string(rowNumber) + ": "
            + std::to_string(values.size()) + " values for " + std::to_string(t.columns.size()) + " columns");
    std::vector<Cell> cells(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string where
            = "table " + t.name + ", row " + std::to_string(rowNumber) + ", column " + names[i];
        Cell& cell = cells[i];
        if (types[i] == ColumnType::Boolean) {
            cell.present = values[i] && parseBool(*values[i], where);
            continue;
        }
        // Only text tells an empty value from a null; other types store blanks as null.
        if (!values[i] || (types[i] != ColumnType::Text && trimmed(*values[i]).empty()))
            continue;
        cell.present = true;
        const std::string& text = *values[i];
        switch (types[i]) {
        case ColumnType::Text: {
            const std::u16string u = utf16FromUtf8(text, where);
            if (u.size() > 255)
                throw WriteError(where + ": text longer than 255 characters");
            cell.bytes = encodeText(u);
            break;
        }
        case ColumnType::LongInteger:
            cell.bytes.resize(4);
            put32(cell.bytes.data(), static_cast<uint32_t>(parseLong(text, where)));
            break;
        case ColumnType::Double:
        case ColumnType::DateTime: {
            const double d
                = types[i] == ColumnType::Double ? parseDouble(text, where) : parseDate(text, where);
            uint64_t bits = 0;
            std::memcpy(&bits, &d, 8);
            cell.bytes.resize(8);
            put32(cell.bytes.data(), static_cast<uint32_t>(bits));
            put32(cell.bytes.data() + 4, static_cast<uint32_t>(bits >> 32));
            break;
        }
        case ColumnType::Boolean:
            break;
        }
    }
    return cells;
}

unsigned char storageType(ColumnType t)
{
    switch (t) {
    case ColumnType::Text:
        return TypeText;
    case ColumnType::LongInteger:
        return TypeInt32;
    case ColumnType::Double:
        return TypeDouble;
    case ColumnType::DateTime:
        return TypeDate;
    case ColumnType::Boolean:
        return TypeBool;
    }
    return TypeText;
}

// Rows packed onto data pages: page i holds rows [first[i], first[i+1]).
std::vector<std::size_t> packRows(const std::vector<Bytes>& rows, const std::string& tableName)
{
    std::vector<std::size_t> first;
    std::size_t used = PageSize; // forces a new page for the first row
    std::size_t count = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::size_t need = rows[r].size() + 2;
        if (need > PageSize - DataPageHeader)
            throw WriteError("table " + tableName + ", row " + std::to_string(r + 1)
                + ": the record is too long for one page");
        if (used + need > PageSize || count == MaxRowsPerPage) {
            first.push_back(r);
            used = DataPageHeader;
            count = 0;
        }
        used += need;
        ++count;
    }
    first.push_back(rows.size());
    return first;
}

Bytes dataPage(uint32_t owner, const std::vector<Bytes>& rows, std::size_t from, std::size_t to)
{
    Bytes page(PageSize, 0);
    page[0] = 0x01;
    page[1] = 0x01;
    put32(&page[4], owner);
    put16(&page[12], static_cast<uint32_t>(to - from));
    std::size_t end = PageSize;
    for (std::size_t r = from; r < to; ++r) {
        const Bytes& row = rows[r];
        end -= row.size();
        std::memcpy(&page[end], row.data(), row.size());
        put16(&page[DataPageHeader + 2 * (r - from)], static_cast<uint32_t>(end));
    }
    const std::size_t freeBytes = end - (DataPageHeader + 2 * (to - from));
    put16(&page[2], static_cast<uint32_t>(freeBytes));
    return page;
}

Bytes tdefPage(const StoredTable& t, bool system, uint32_t rowCount, uint32_t usageMap, uint32_t freeMap)
{
    Bytes page(PageSize, 0);
    page[0] = 0x02;
    page[1] = 0x01;
    put32(&page[16], rowCount);
    page[40] = system ? 0x53 : 0x4E;
    const auto ncols = static_cast<uint32_t>(t.columns.size());
    put16(&page[41], ncols);
    put16(&page[43], static_cast<uint32_t>(t.varCount));
    put16(&page[45], ncols);
    put32(&page[55], usageMap);
    put32(&page[59], freeMap);
    std::size_t pos = 63;
    auto need = [&](std::size_t n) {
        if (pos + n > PageSize)
            throw WriteError("table " + t.name + ": the table definition does not fit on one page");
    };
    for (uint32_t i = 0; i < ncols; ++i) {
        const StoredColumn& c = t.columns[i];
        need(25);
        unsigned char* d = &page[pos];
        d[0] = c.type;
        put16(d + 5, i);
        put16(d + 7, c.fixed ? 0 : c.varIndex);
        put16(d + 9, i);
        if (c.type == TypeText)
            put16(d + 11, 0x0409);
        d[15] = c.fixed ? 0x13 : 0x12;
        d[16] = c.type == TypeText ? 0x01 : 0x00;
        put16(d + 21, c.fixedOffset);
        put16(d + 23, c.size);
        pos += 25;
    }
    for (const StoredColumn& c : t.columns) {
        need(2 + c.name.size());
        put16(&page[pos], static_cast<uint32_t>(c.name.size()));
        std::memcpy(&page[pos + 2], c.name.data(), c.name.size());
        pos += 2 + c.name.size();
    }
    need(2);
    page[pos++] = 0xFF;
    page[pos++] = 0xFF;
    put16(&page[2], static_cast<uint32_t>(PageSize - pos));
    put32(&page[8], static_cast<uint32_t>(pos - 8));
    return page;
}

// RC4, used only to mask part of the header page with a fixed key.
void rc4(const unsigned char* key, std::size_t keyLength, unsigned char* data, std::size_t length)
{
    std::array<unsigned char, 256> s {};
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLength]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    for (std::size_t k = 0, i = 0, j = 0; k < length; ++k) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        data[k] ^= s[(s[i] + s[j]) & 0xFF];
    }
}

Bytes headerPage()
{
    Bytes page(PageSize, 0);
    page[1] = 0x01;
    static const char signature[] = "Standard Jet DB";
    std::memcpy(&page[4], signature, sizeof signature);
    page[0x14] = 0x01; // Jet 4
    put16(&page[0x3C], 1252);
    put32(&page[0x3E], 0); // no database key: pages are not encrypted
    put16(&page[0x6E], 0x0409);
    static const unsigned char key[] = { 0xC7, 0xDA, 0x39, 0x6B };
    rc4(key, sizeof key, &page[0x18], 128);
    return page;
}

Bytes usageMapRow(const std::vector<uint32_t>& pages, std::size_t bitmapBytes)
{
    Bytes row(5 + bitmapBytes, 0);
    row[0] = 0x00; // inline map starting at page 0
    for (uint32_t p : pages)
        row[5 + p / 8] |= 1u << (p % 8);
    return row;
}

} // namespace

ColumnType columnTypeFromName(const std::string& name)
{
    const std::string n = asciiLower(name);
    if (n == "text")
        return ColumnType::Text;
    if (n == "long" || n == "longinteger" || n == "integer")
        return ColumnType::LongInteger;
    if (n == "double")
        return ColumnType::Double;
    if (n == "date" || n == "datetime")
        return ColumnType::DateTime;
    if (n == "bool" || n == "boolean" || n == "yesno")
        return ColumnType::Boolean;
    throw WriteError("unknown column type \"" + name + "\" (text, long, double, date or bool)");
}

std::vector<unsigned char> buildDatabase(const std::vector<Table>& tables)
{
    // Page plan: 0 header, 1 usage maps, 2 catalog definition, catalog data pages, then for
    // each table its definition page and its data pages.
    struct Planned {
        StoredTable stored;
        std::vector<Bytes> rows;
        std::vector<std::size_t> pageStarts;
        uint32_t tdef = 0;
        uint32_t firstData = 0;
        std::size_t dataPages() const { return pageStarts.size() - 1; }
    };
    std::vector<Planned> planned;
    for (std::size_t k = 0; k < tables.size(); ++k) {
        const Table& table = tables[k];
        for (std::size_t j = 0; j < k; ++j)
            if (asciiLower(tables[j].name) == asciiLower(table.name))
                throw WriteError("table " + table.name + " appears twice");
        encodeName(table.name, "table " + table.name);
        std::vector<std::pair<std::string, unsigned char>> cols;
        std::vector<ColumnType> types;
        std::vector<std::string> names;
        for (const Column& c : table.columns) {
            cols.emplace_back(c.name, storageType(c.type));
            types.push_back(c.type);
            names.push_back(c.name);
        }
        Planned p;
        p.stored = layOut(table.name, cols);
        for (std::size_t r = 0; r < table.rows.size(); ++r)
            p.rows.push_back(buildRow(p.stored, convertRow(p.stored, types, names, table.rows[r], r + 1)));
        p.pageStarts = packRows(p.rows, table.name);
        planned.push_back(std::move(p));
    }

    // The catalog table: one row for itself and one per user table.
    const StoredTable catalog = layOut("MSysObjects",
        { { "Id", TypeInt32 }, { "ParentId", TypeInt32 }, { "Name", TypeText }, { "Type", TypeInt16 },
            { "DateCreate", TypeDate }, { "DateUpdate", TypeDate }, { "Flags", TypeInt32 },
            { "LvProp", TypeOle } });
    auto catalogRow = [&](uint32_t id, const std::string& name, uint32_t flags) {
        std::vector<Cell> cells(catalog.columns.size());
        cells[0] = { true, Bytes(4) };
        put32(cells[0].bytes.data(), id);
        cells[2] = { true, encodeText(utf16FromUtf8(name, "table " + name)) };
        cells[3] = { true, Bytes(2) };
        put16(cells[3].bytes.data(), 1); // a table
        cells[6] = { true, Bytes(4) };
        put32(cells[6].bytes.data(), flags);
        // ParentId, the dates and the property blob stay null.
        return buildRow(catalog, cells);
    };
    auto catalogRows = [&]() {
        std::vector<Bytes> rows;
        rows.push_back(catalogRow(2, "MSysObjects", 0x80000002u));
        for (const Planned& p : planned)
            rows.push_back(catalogRow(p.tdef, p.stored.name, 0));
        return rows;
    };
    const std::vector<std::size_t> catalogStarts = packRows(catalogRows(), "MSysObjects");
    uint32_t next = 3 + static_cast<uint32_t>(catalogStarts.size() - 1);
    for (Planned& p : planned) {
        p.tdef = next++;
        p.firstData = next;
        next += static_cast<uint32_t>(p.dataPages());
    }
    const uint32_t pageCount = next;
    const std::vector<Bytes> catRows = catalogRows();

    // Usage maps on page 1: for each table (the catalog first) its page map and its
    // free-space map, as inline bitmaps starting at page 0.
    const std::size_t bitmapBytes = std::max<std::size_t>(MinMapBytes, (pageCount + 7) / 8);
    std::vector<Bytes> mapRows;
    {
        std::vector<uint32_t> pages;
        for (uint32_t pg = 3; pg < 3 + catalogStarts.size() - 1; ++pg)
            pages.push_back(pg);
        mapRows.push_back(usageMapRow(pages, bitmapBytes));
        mapRows.push_back(usageMapRow({}, bitmapBytes));
    }
    for (const Planned& p : planned) {
        std::vector<uint32_t> pages;
        for (std::size_t k = 0; k < p.dataPages(); ++k)
            pages.push_back(p.firstData + static_cast<uint32_t>(k));
        mapRows.push_back(usageMapRow(pages, bitmapBytes));
        mapRows.push_back(usageMapRow({}, bitmapBytes));
    }
    std::size_t mapBytes = DataPageHeader;
    for (const Bytes& r : mapRows)
        mapBytes += r.size() + 2;
    if (mapBytes > PageSize || mapRows.size() > MaxRowsPerPage)
        throw WriteError("too many tables or too much data for one file");

    Bytes file;
    file.reserve(pageCount * PageSize);
    auto add = [&](const Bytes& page) { file.insert(file.end(), page.begin(), page.end()); };
    auto mapPointer = [](std::size_t row) { return static_cast<uint32_t>((1u << 8) | row); };
    add(headerPage());
    add(dataPage(0, mapRows, 0, mapRows.size()));
    add(tdefPage(catalog, true, static_cast<uint32_t>(catRows.size()), mapPointer(0), mapPointer(1)));
    for (std::size_t k = 0; k + 1 < catalogStarts.size(); ++k)
        add(dataPage(2, catRows, catalogStarts[k], catalogStarts[k + 1]));
    for (std::size_t t = 0; t < planned.size(); ++t) {
        const Planned& p = planned[t];
        add(tdefPage(p.stored, false, static_cast<uint32_t>(p.rows.size()), mapPointer(2 + 2 * t),
            mapPointer(3 + 2 * t)));
        for (std::size_t k = 0; k < p.dataPages(); ++k)
            add(dataPage(p.tdef, p.rows, p.pageStarts[k], p.pageStarts[k + 1]));
    }
    return file;
}

void writeDatabase(const std::string& path, const std::vector<Table>& tables)
{
    const std::vector<unsigned char> bytes = buildDatabase(tables);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw WriteError(path + ": cannot create the file");
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw WriteError(path + ": cannot write the file");
}

} // namespace jet4

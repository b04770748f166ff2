#pragma once
// The form in which the isolated reader hands a table to the program: length-prefixed
// UTF-8, little-endian.
//
//   "VTT1"                       magic
//   u32 n                        number of columns
//   n x (u32 length, bytes)      column names
//   per row: u8 1, then n x (u32 length, bytes)
//   u8 0, u32 row count          end mark; the count must match the rows sent
//
// Shared by the reader (which writes it) and the program (TextTable.cpp, which reads it).
#include <cstdint>
#include <string>
#include <string_view>

namespace TextTableFormat {

inline constexpr std::string_view magic = "VTT1";
// Sanity bounds a decoder enforces; no sheet or table of the program comes near them.
inline constexpr uint32_t maxColumns = 4096;
inline constexpr uint32_t maxRows = 10'000'000;

inline void putU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

inline void putText(std::string& out, std::string_view text)
{
    putU32(out, static_cast<uint32_t>(text.size()));
    out.append(text);
}

// Writes the table piece by piece into one buffer.
class Encoder {
public:
    explicit Encoder(std::string& out) : out(out) { out.append(magic); }

    template <typename Names> void columns(const Names& names)
    {
        putU32(out, static_cast<uint32_t>(std::size(names)));
        for (const auto& n : names)
            putText(out, n);
    }
    void beginRow()
    {
        out.push_back('\1');
        ++rows;
    }
    void cell(std::string_view text) { putText(out, text); }
    void finish()
    {
        out.push_back('\0');
        putU32(out, rows);
    }

private:
    std::string& out;
    uint32_t rows = 0;
};

} // namespace TextTableFormat

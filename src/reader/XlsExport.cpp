// The first worksheet of an .xls workbook through FreeXL, with the saved results of formula
// cells read from the file itself.
#include "BiffFormulas.h"
#include "Exports.h"
#include "NumberText.h"
#include "ReaderError.h"
#include "data/TextTableFormat.h"

#include <freexl.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace {

std::string freexlReason(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return "the file does not exist or cannot be read";
    case FREEXL_INSUFFICIENT_MEMORY:
        return "there is not enough memory to read it";
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
        return "it is not an Excel 97-2003 workbook (.xls)";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return "it holds no Excel workbook";
    case FREEXL_CRAFTED_FILE:
        return "the file is badly damaged";
    default:
        return "the file is damaged or not an Excel 97-2003 workbook (error " + std::to_string(code) + ")";
    }
}

std::string columnName(unsigned c)
{
    std::string name;
    for (++c; c > 0; c = (c - 1) / 26)
        name.insert(name.begin(), char('A' + (c - 1) % 26));
    return name;
}

struct Handle {
    const void* h = nullptr;
    ~Handle()
    {
        if (h)
            freexl_close(h);
    }
};

} // namespace

void exportFirstWorksheet(const std::string& path, std::string& out)
{
    Handle book;
    const int opened = freexl_open(path.c_str(), &book.h);
    if (opened != FREEXL_OK)
        throw ReaderError(freexlReason(opened));
    if (!book.h)
        throw ReaderError("the file is damaged or not an Excel 97-2003 workbook");

    unsigned int info = 0;
    if (freexl_get_info(book.h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info != FREEXL_BIFF_PLAIN)
        throw ReaderError("the workbook is protected by a password");
    if (freexl_get_info(book.h, FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0)
        throw ReaderError("the workbook has no worksheet");
    if (freexl_select_active_worksheet(book.h, 0) != FREEXL_OK)
        throw ReaderError("its first worksheet cannot be read");
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_worksheet_dimensions(book.h, &rows, &cols) != FREEXL_OK)
        throw ReaderError("the size of its first worksheet cannot be read");
    // An .xls sheet has at most 65536 rows and 256 columns.
    if (rows > 65536 || cols > 256)
        throw ReaderError("the file is damaged (the first worksheet claims " + std::to_string(rows)
            + " rows and " + std::to_string(cols) + " columns)");

    std::map<std::pair<uint32_t, uint32_t>, std::string> formulas;
    {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        formulas = readFormulaResults(bytes);
    }

    // Cells up to the last non-empty one of each row: sheets often claim more rows and
    // columns than they fill (formatted blank cells), and a damaged one may claim the most a
    // sheet can have. Trailing empty rows and columns are left out.
    std::vector<std::vector<std::string>> cells(rows);
    std::size_t widest = 0, lastRow = 0;
    for (unsigned r = 0; r < rows; ++r) {
        std::vector<std::string>& row = cells[r];
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v {};
            if (freexl_get_cell_value(book.h, r, c, &v) != FREEXL_OK)
                throw ReaderError("the file is damaged (cell " + columnName(c) + std::to_string(r + 1)
                    + " cannot be read)");
            std::string text;
            switch (v.type) {
            case FREEXL_CELL_INT:
                text = std::to_string(v.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                text = numberText(v.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                text = v.value.text_value ? v.value.text_value : "";
                break;
            default: { // empty, or a formula whose saved result FreeXL does not report
                const auto f = formulas.find({ r, c });
                if (f != formulas.end())
                    text = f->second;
                break;
            }
            }
            if (!text.empty()) {
                row.resize(c + 1);
                row[c] = std::move(text);
            }
        }
        if (!row.empty()) {
            widest = std::max(widest, row.size());
            lastRow = r + 1;
        }
    }
    cells.resize(lastRow);

    TextTableFormat::Encoder table(out);
    std::vector<std::string> names;
    for (unsigned c = 0; c < widest; ++c)
        names.push_back(columnName(c));
    table.columns(names);
    for (const std::vector<std::string>& row : cells) {
        table.beginRow();
        for (std::size_t c = 0; c < widest; ++c)
            table.cell(c < row.size() ? std::string_view(row[c]) : std::string_view());
    }
    table.finish();
}

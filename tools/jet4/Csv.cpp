#include "Csv.h"

#include <fstream>
#include <sstream>

namespace jet4 {

CsvTable parseCsv(const std::string& input, const std::string& sourceName)
{
    std::string_view text(input);
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    std::vector<Row> lines;
    Row fields;
    std::string field;
    bool quoted = false; // the current field began with a quote
    bool inQuotes = false; // inside the quotes of the current field
    bool fieldStarted = false;
    int line = 1;
    auto fail = [&](const std::string& why) {
        return WriteError(sourceName + ", line " + std::to_string(line) + ": " + why);
    };
    auto endField = [&]() {
        if (quoted || !field.empty())
            fields.emplace_back(field);
        else
            fields.emplace_back(std::nullopt);
        field.clear();
        quoted = false;
        fieldStarted = false;
    };
    auto endLine = [&]() {
        endField();
        lines.push_back(std::move(fields));
        fields.clear();
    };

    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == '\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == '"') {
            if (fieldStarted)
                throw fail("a quote inside an unquoted field");
            quoted = inQuotes = fieldStarted = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endLine();
            ++line;
        } else {
            if (quoted)
                throw fail("text after the closing quote of a field");
            fieldStarted = true;
            field += c;
        }
    }
    if (inQuotes)
        throw fail("a quoted field is not closed");
    if (fieldStarted || quoted || !fields.empty())
        endLine();

    CsvTable table;
    if (lines.empty())
        throw WriteError(sourceName + ": no header line");
    for (const auto& name : lines.front()) {
        if (!name || name->empty())
            throw WriteError(sourceName + ", line 1: a column without a name");
        table.header.push_back(*name);
    }
    for (std::size_t k = 1; k < lines.size(); ++k) {
        if (lines[k].size() != table.header.size()) {
            // Line numbers here count records, which is the same as text lines unless a
            // quoted field spans lines.
            throw WriteError(sourceName + ", record " + std::to_string(k + 1) + ": "
                + std::to_string(lines[k].size()) + " fields where the header has "
                + std::to_string(table.header.size()));
        }
        table.rows.push_back(std::move(lines[k]));
    }
    return table;
}

CsvTable readCsvFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw WriteError(path + ": cannot open the file");
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return parseCsv(buffer.str(), path);
}

} // namespace jet4

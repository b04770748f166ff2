#pragma once
// CSV as the roster sources are kept: comma-separated UTF-8, fields in double quotes when
// they hold commas, quotes or line breaks, a doubled quote inside quotes for one quote.
// An unquoted empty field is a null; a quoted empty field ("") is an empty text.
#include "Jet4Writer.h"

#include <string>
#include <vector>

namespace jet4 {

struct CsvTable {
    std::vector<std::string> header;
    std::vector<Row> rows;
};

// Parses CSV text whose first line names the columns. Every line must have as many fields
// as the header. Throws WriteError naming the line of a fault.
CsvTable parseCsv(const std::string& text, const std::string& sourceName);

// Reads and parses a CSV file.
CsvTable readCsvFile(const std::string& path);

} // namespace jet4

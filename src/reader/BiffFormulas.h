#pragma once
// The saved results of the formula cells of a workbook's first worksheet, read straight from
// the BIFF8 records of the file (FreeXL reports formula cells as empty).
#include <cstdint>
#include <map>
#include <string>
#include <utility>

// Results by (row, column), as text: numbers as numberText, booleans TRUE/FALSE, errors as
// Excel shows them (#DIV/0! ...). Returns an empty map for a file it cannot make sense of;
// never throws on damaged input.
std::map<std::pair<uint32_t, uint32_t>, std::string> readFormulaResults(const std::string& fileBytes);

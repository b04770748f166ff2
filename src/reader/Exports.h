#pragma once
// The two things the reader does. Each appends the table in TextTableFormat to out, or throws
// ReaderError with a reason for the operator (the caller adds the file name).
#include <string>

void exportMdbTable(const std::string& path, const std::string& tableName, std::string& out);
void exportFirstWorksheet(const std::string& path, std::string& out);

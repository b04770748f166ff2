#pragma once
// A small writer of Jet 4 (.mdb, Access 2000-2003) database files: a few tables of nullable
// columns, no indexes, no memo or OLE data. Enough for roster files and test fixtures; the
// files read back with mdbtools.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace jet4 {

enum class ColumnType {
    Text, // Text(255), stored as UTF-16 (compressed when that is shorter)
    LongInteger, // 32-bit signed integer
    Double, // 64-bit floating point
    DateTime, // date and time, written as "YYYY-MM-DD" or "YYYY-MM-DD HH:MM[:SS]"
    Boolean, // Yes/No; cannot be null (a null reads as false)
};

struct Column {
    std::string name;
    ColumnType type = ColumnType::Text;
};

// A value as UTF-8 text; numbers and dates are given as their decimal or ISO text.
// std::nullopt is a database null.
using Value = std::optional<std::string>;
using Row = std::vector<Value>;

struct Table {
    std::string name;
    std::vector<Column> columns;
    std::vector<Row> rows;
};

// Thrown for tables that this writer cannot store: bad names, a value that does not fit its
// column, more data than the file layout here allows.
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The bytes of a database file holding the given tables, in order. Deterministic: the same
// tables always give the same bytes.
std::vector<unsigned char> buildDatabase(const std::vector<Table>& tables);

// Writes buildDatabase(tables) to path, replacing the file.
void writeDatabase(const std::string& path, const std::vector<Table>& tables);

// The column type named by text ("text", "long", "double", "date", "bool"); throws WriteError.
ColumnType columnTypeFromName(const std::string& name);

} // namespace jet4

#pragma once
// The error of the data layer: a database, table, field or workbook that cannot be read.
// Its text is meant for the operator and names the file (with its full path) or the field.
#include <stdexcept>

class DataError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

#pragma once
// A failure the reader reports on stderr, as a line starting with "error: ".
#include <stdexcept>
#include <string>

class ReaderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

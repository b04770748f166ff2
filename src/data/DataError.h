#pragma once
#include <stdexcept>

class DataError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

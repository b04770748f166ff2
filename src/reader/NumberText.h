#pragma once
// Numbers as a user writes them: whole numbers without a decimal part, others with up to
// fifteen significant digits (what a spreadsheet shows), never in the locale's notation.
#include <charconv>
#include <cmath>
#include <string>

inline std::string numberText(double v)
{
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "Infinity" : "-Infinity";
    if (v == 0)
        return "0"; // also for -0
    char buf[64];
    std::to_chars_result r;
    if (v == std::floor(v) && std::fabs(v) < 1e15)
        r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 0);
    else
        r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    return std::string(buf, r.ptr);
}

#include "licence/LicenceInfo.h"

#include <array>
#include <cstdio>

namespace {

// Days from 1 January 1970 to the given date of the proleptic Gregorian calendar.
long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool leap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int number(std::string_view digits)
{
    if (digits.empty())
        return -1;
    int n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// The first count fields of line (fewer when the line has fewer).
template <std::size_t N> std::size_t fields(std::string_view line, std::array<std::string_view, N>& out)
{
    std::size_t n = 0;
    while (n < N) {
        const std::size_t bar = line.find('|');
        out[n++] = line.substr(0, bar);
        if (bar == std::string_view::npos)
            break;
        line.remove_prefix(bar + 1);
    }
    return n;
}

char letter(std::string_view field)
{
    if (field.size() != 1)
        return 0;
    const char c = field[0];
    if (c >= 'a' && c <= 'z')
        return char(c - 'a' + 'A');
    return (c >= 'A' && c <= 'Z') ? c : 0;
}

} // namespace

LicenceDay LicenceDayOf(int year, int month, int day)
{
    static constexpr int kDays[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (year < 1970 || year > 2149 || month < 1 || month > 12 || day < 1)
        return 0;
    if (day > kDays[month - 1] + (month == 2 && leap(year)))
        return 0;
    const long days = daysFromCivil(year, month, day);
    return days > 0 && days <= 0xFFFF ? LicenceDay(days) : 0;
}

LicenceDay ParseLicenceDay(std::string_view text)
{
    if (text.size() != 10 || text[2] != '/' || text[5] != '/')
        return 0;
    return LicenceDayOf(number(text.substr(6, 4)), number(text.substr(0, 2)), number(text.substr(3, 2)));
}

std::string LicenceDayText(LicenceDay day)
{
    if (day == 0)
        return std::string();
    // Civil date from days since 1970 (the inverse of daysFromCivil).
    const long z = long(day) + 719468;
    const long era = z / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = int(doy - (153 * mp + 2) / 5 + 1);
    const int m = int(mp < 10 ? mp + 3 : mp - 9);
    const int y = int(yoe + era * 400 + (m <= 2));
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    return text;
}

std::optional<std::uint32_t> LicenceRecordId(std::string_view line)
{
    const std::size_t first = line.find('|');
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t second = line.find('|', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const std::string_view digits = line.substr(first + 1, second - first - 1);
    if (digits.empty() || digits.size() > 9)
        return std::nullopt;
    const int n = number(digits);
    if (n < 0)
        return std::nullopt;
    return std::uint32_t(n);
}

std::optional<HdFields> ParseHdRecord(std::string_view line)
{
    std::array<std::string_view, 10> f;
    if (fields(line, f) < 10 || f[0] != "HD")
        return std::nullopt;
    const auto id = LicenceRecordId(line);
    if (!id)
        return std::nullopt;
    HdFields hd;
    hd.id = *id;
    hd.call = f[4];
    hd.status = letter(f[5]);
    hd.granted = ParseLicenceDay(f[7]);
    hd.expires = ParseLicenceDay(f[8]);
    hd.cancelled = ParseLicenceDay(f[9]);
    return hd;
}

LicenceDay HdLastActionDay(std::string_view line)
{
    // Field 44: after the 43rd "|". Records of fewer fields have none.
    std::size_t at = 0;
    for (int bar = 0; bar < 43 && at != std::string_view::npos; ++bar) {
        at = line.find('|', at);
        if (at != std::string_view::npos)
            ++at;
    }
    if (at == std::string_view::npos || line.substr(0, 3) != "HD|")
        return 0;
    return ParseLicenceDay(line.substr(at, line.find('|', at) - at));
}

std::optional<AmFields> ParseAmRecord(std::string_view line)
{
    std::array<std::string_view, 6> f;
    if (fields(line, f) < 6 || f[0] != "AM")
        return std::nullopt;
    const auto id = LicenceRecordId(line);
    if (!id)
        return std::nullopt;
    AmFields am;
    am.id = *id;
    am.call = f[4];
    am.operatorClass = letter(f[5]);
    return am;
}

std::string LicenceClassName(char c)
{
    switch (c) {
    case 0:
        return std::string();
    case 'E':
        return "Extra";
    case 'A':
        return "Advanced";
    case 'G':
        return "General";
    case 'T':
        return "Technician";
    case 'P':
        return "Tech Plus";
    case 'N':
        return "Novice";
    default:
        return std::string(1, c);
    }
}

std::string LicenceStatusName(char s)
{
    switch (s) {
    case 0:
        return std::string();
    case 'A':
        return "Active";
    case 'E':
        return "Expired";
    case 'C':
        return "Cancelled";
    case 'T':
        return "Terminated";
    default:
        return std::string(1, s);
    }
}

bool LicenceCountsOver(const LicenceInfo& b, std::uint32_t bId, const LicenceInfo& a, std::uint32_t aId)
{
    return LicenceCountsOver(b, 0, bId, a, 0, aId);
}

bool LicenceCountsOver(const LicenceInfo& b, LicenceDay bChanged, std::uint32_t bId, const LicenceInfo& a,
    LicenceDay aChanged, std::uint32_t aId)
{
    if (b.active() != a.active())
        return b.active();
    if (b.granted != a.granted)
        return b.granted > a.granted;
    if (bChanged != aChanged)
        return bChanged > aChanged;
    return bId > aId;
}

LicenceLabel NetLicenceText(const std::optional<LicenceInfo>& lookedUp, bool dataLoaded)
{
    if (!dataLoaded)
        return {};
    if (!lookedUp)
        return { "not in the FCC file", false };
    const LicenceInfo& info = *lookedUp;
    if (!info.known())
        return { "class and status unknown", false };
    const std::string cls = LicenceClassName(info.operatorClass);
    auto dated = [](std::string text, LicenceDay day) {
        if (day != 0)
            text += " " + LicenceDayText(day);
        return text;
    };
    switch (info.status) {
    case 'A':
        if (info.expires == 0)
            return { cls.empty() ? "Active" : cls + ", active", false };
        return { (cls.empty() ? "Active" : cls + ", active") + " to " + LicenceDayText(info.expires), false };
    case 'E':
        return { dated("EXPIRED", info.expires), true };
    case 'C':
        return { dated("CANCELLED", info.cancelled ? info.cancelled : info.expires), true };
    case 'T':
        return { dated("TERMINATED", info.cancelled ? info.cancelled : info.expires), true };
    default:
        return { (cls.empty() ? std::string() : cls + ", ") + "status " + std::string(1, info.status),
            false };
    }
}

SuggestionMark LicenceSuggestionMark(const LicenceInfo& info)
{
    return { info.operatorClass, info.lapsed() };
}

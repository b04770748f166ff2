#include "licence/LicenceRecord.h"

#include <algorithm>
#include <vector>

namespace {

// The fields of a list line: the file record's fields from the call sign on. Today's
// layout has 30 fields, so a list line has 26 and its city and state are the 13th and
// 14th (the file's 17th and 18th).
constexpr std::size_t kListFields = 26;
constexpr std::size_t kCity = 12;
constexpr std::size_t kState = 13;
constexpr std::size_t kEntityName = 3;
constexpr std::size_t kFirstName = 4; // then middle initial, last name

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const auto bar = line.find('|');
        fields.push_back(line.substr(0, bar));
        if (bar == std::string_view::npos)
            return fields;
        line.remove_prefix(bar + 1);
    }
}

std::string_view field(const std::vector<std::string_view>& fields, std::size_t index)
{
    return index < fields.size() ? fields[index] : std::string_view();
}

// How many of the record's stray "|" lie inside its entity name, for a record with
// `extra` more fields than the layout. The stray separators may stand in the name or
// anywhere after it; the right count is the one after which the licensee's own first,
// middle and last name fields fit the entity name "LAST, FIRST ...", or are all empty
// (a club or another licensee that is not a person). None when no count fits.
std::size_t strayInName(const std::vector<std::string_view>& fields, std::size_t extra)
{
    const auto startsWith
        = [](std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; };
    for (std::size_t inName = 0; inName <= extra; ++inName) {
        std::string joined;
        for (std::size_t i = kEntityName; i <= kEntityName + inName; ++i)
            joined += field(fields, i);
        const std::string_view name = joined;
        const std::string_view first = field(fields, kFirstName + inName);
        const std::string_view middle = field(fields, kFirstName + inName + 1);
        const std::string_view last = field(fields, kFirstName + inName + 2);
        if (first.empty() && middle.empty() && last.empty())
            return inName;
        const auto comma = name.find(',');
        if (comma == std::string_view::npos || last.empty() || !startsWith(name, last))
            continue;
        std::string_view given = name.substr(comma + 1);
        given.remove_prefix(std::min(given.find_first_not_of(' '), given.size()));
        if (startsWith(given, first))
            return inName;
    }
    return 0;
}

} // namespace

std::string_view StripLicenceHead(std::string_view fileLine)
{
    // A plain loop: the head is short, and this runs for every line of a large file.
    int separators = 0;
    std::size_t i = 0;
    while (i < fileLine.size() && separators < 4)
        separators += fileLine[i++] == '|';
    return fileLine.substr(separators == 4 ? i : fileLine.size());
}

std::string_view LicenceCallSign(std::string_view listLine)
{
    return listLine.substr(0, listLine.find('|'));
}

LicenceRecord SplitLicenceRecord(std::string_view listLine)
{
    const std::vector<std::string_view> fields = splitFields(listLine);
    LicenceRecord record;
    record.call = "  ";
    record.call += fields.front();

    // A record with more fields than the layout carries stray "|" inside its name or
    // street. Its tail is still in place, so city and state are counted from the end;
    // the entity name is joined again from its pieces, without the stray separators.
    const std::size_t extra = fields.size() > kListFields ? fields.size() - kListFields : 0;
    const std::size_t inName = extra > 0 ? strayInName(fields, extra) : 0;
    std::string entityName;
    for (std::size_t i = kEntityName; i <= kEntityName + inName; ++i)
        entityName += field(fields, i);

    const auto comma = entityName.find(',');
    if (comma == std::string::npos) {
        record.lastName = entityName;
    } else {
        record.lastName = entityName.substr(0, comma + 1);
        record.firstName = entityName.substr(comma + 1);
    }
    record.city = field(fields, kCity + extra);
    record.state = field(fields, kState + extra);
    return record;
}

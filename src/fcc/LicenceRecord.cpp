#include "fcc/LicenceRecord.h"

namespace {

// Removes the first field of text, and its separator, and returns the field.
std::string_view takeField(std::string_view& text)
{
    const auto bar = text.find('|');
    const std::string_view field = text.substr(0, bar);
    text.remove_prefix(bar == std::string_view::npos ? text.size() : bar + 1);
    return field;
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
    LicenceRecord record;
    std::string_view rest = listLine;

    record.call = "  ";
    record.call += takeField(rest);
    takeField(rest); // entity type
    takeField(rest); // licensee identifier

    const std::string_view entityName = takeField(rest);
    const auto comma = entityName.find(',');
    if (comma == std::string_view::npos) {
        record.lastName = entityName;
    } else {
        record.lastName = entityName.substr(0, comma + 1);
        record.firstName = entityName.substr(comma + 1);
    }

    // First name, middle initial, last name, suffix, phone, fax, e-mail, street.
    for (int field = 0; field < 8; ++field)
        takeField(rest);
    record.city = takeField(rest);
    record.state = takeField(rest);
    return record;
}

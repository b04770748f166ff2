#pragma once
// One record of the FCC licence entity file (EN.dat) as the FCC page uses it: fields
// separated by "|", no quoting. No widgets and no Qt here, so the rules are easy to
// test and to fuzz.
//
// A file line begins with a head of four fields (record type, unique system
// identifier, ULS file number, EBF number); the list line is what follows the head,
// so it begins with the call sign.
#include <string>
#include <string_view>

// The texts the page shows for one list line.
struct LicenceRecord {
    std::string call; // two blanks, then the call sign
    std::string lastName; // the entity name up to and including its first comma
    std::string firstName; // the entity name after that comma (begins with a blank)
    std::string city; // field 17 of the file record
    std::string state; // field 18 of the file record
};

// The list line of a file line (without its line end): everything up to and including
// the fourth "|" is the head and is dropped, whatever the identifier's length. A line
// with fewer than four separators is all head and leaves an empty text.
std::string_view StripLicenceHead(std::string_view fileLine);

// The call sign of a list line: the text before its first "|", or the whole line.
std::string_view LicenceCallSign(std::string_view listLine);

// True when listLine begins with prefix: exact, case-sensitive; an empty prefix
// matches every line.
inline bool MatchesLicencePrefix(std::string_view listLine, std::string_view prefix)
{
    return listLine.substr(0, prefix.size()) == prefix;
}

// Splits a list line into the five texts the page shows. Call sign, entity name, city
// and state are the list line's fields 1, 4, 13 and 14 (the file's fields 5, 8, 17 and
// 18). An entity name with a comma is split there: the last-name text keeps the comma,
// the first-name text is the rest. An entity name without a comma (a club licence) is
// the last-name text as a whole, with an empty first-name text. Missing fields give
// empty texts.
//
// Some published records hold a stray "|" inside the name or the street, and so have
// more fields than the layout's 30 (26 in the list line). Their city and state are
// taken counted from the end of the record, where the layout still holds, and their
// entity name is joined from its pieces where the licensee's own name fields show
// that the stray separator lies in it. Records of 30 fields or fewer (the older
// 27-field layout too) are split from the start as above.
LicenceRecord SplitLicenceRecord(std::string_view listLine);

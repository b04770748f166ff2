#pragma once
// What the FCC files say of a licence beyond the licensee's name: the operator class
// (from AM.dat), the licence status and its grant, expiry and cancellation dates (from
// HD.dat), and how the program shows them to the operator. Plain C++, no Qt.
//
// Record layouts, counted from 1, all fields separated by "|" as in EN.dat:
//   HD: 1 record type "HD", 2 unique system identifier, 3 ULS file number, 4 EBF number,
//       5 call sign, 6 licence status, 7 radio service code, 8 grant date, 9 expiry
//       date, 10 cancellation date, ... 43 effective date, 44 last action date, ... (about
//       50 fields in all; nothing else is read).
//   AM: 1 record type "AM", 2 unique system identifier, 3 ULS file number, 4 EBF number,
//       5 call sign, 6 operator class, ... (18 fields in all; nothing after 6 is read).
// Dates are written MM/DD/YYYY, or left empty. The status is one letter: A active,
// E expired, C cancelled, T terminated (others, such as L or X, are shown as the code).
// The class is one letter: E Extra, A Advanced, G General, T Technician, P Tech Plus,
// N Novice, and empty for a club licence.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A day as the number of days after 1 January 1970; 0 stands for "no date". Two bytes
// reach into the year 2149, far beyond any licence term.
using LicenceDay = std::uint16_t;

// The day of a date written MM/DD/YYYY; 0 for an empty or malformed text.
LicenceDay ParseLicenceDay(std::string_view mmddyyyy);
// The day of year, month and day; 0 when it is no date between 1970 and 2149.
LicenceDay LicenceDayOf(int year, int month, int day);
// YYYY-MM-DD, or an empty text for 0.
std::string LicenceDayText(LicenceDay day);

struct LicenceInfo {
    char operatorClass = 0; // AM field 6; 0 when blank (a club) or when there is no AM record
    char status = 0; // HD field 6; 0 when there is no HD record: status unknown
    LicenceDay granted = 0;
    LicenceDay expires = 0;
    LicenceDay cancelled = 0;
    bool operator==(const LicenceInfo&) const = default;

    bool known() const { return status != 0; }
    bool active() const { return status == 'A'; }
    // Expired, cancelled or terminated: most often a miscopied call.
    bool lapsed() const { return status == 'E' || status == 'C' || status == 'T'; }
};

// The fields of one record that the program uses; nothing for a line that is not a
// record of that kind or lacks the fields.
struct HdFields {
    std::uint32_t id = 0;
    std::string_view call;
    char status = 0;
    LicenceDay granted = 0, expires = 0, cancelled = 0;
};
std::optional<HdFields> ParseHdRecord(std::string_view line);
// The last action date of an HD line (field 44); 0 when it has none.
LicenceDay HdLastActionDay(std::string_view line);
struct AmFields {
    std::uint32_t id = 0;
    std::string_view call;
    char operatorClass = 0;
};
std::optional<AmFields> ParseAmRecord(std::string_view line);
// The unique system identifier (field 2) of an EN, HD or AM line; nothing when the
// field is not a number of one to nine digits.
std::optional<std::uint32_t> LicenceRecordId(std::string_view line);

// "Extra", "Advanced", "General", "Technician", "Tech Plus", "Novice"; empty for 0 and
// the letter itself for an unknown code.
std::string LicenceClassName(char operatorClass);
// "Active", "Expired", "Cancelled", "Terminated", or the code itself when unknown;
// empty for 0.
std::string LicenceStatusName(char status);

// When a call has several licence records, the one that counts: the active one, else
// the latest (the later grant, then the later change, then the higher identifier).
// True when b counts over a.
bool LicenceCountsOver(const LicenceInfo& b, std::uint32_t bId, const LicenceInfo& a, std::uint32_t aId);
bool LicenceCountsOver(const LicenceInfo& b, LicenceDay bChanged, std::uint32_t bId, const LicenceInfo& a,
    LicenceDay aChanged, std::uint32_t aId);

// The line under SELECTED CALL on the net page. lookedUp is what the call index found
// for the call (nothing: the file does not hold the call); dataLoaded says whether FCC
// data is loaded at all.
//   "Extra, active to 2034-02-15"       an active licence
//   "EXPIRED 2023-09-28" (red)           expired, with its expiry date
//   "CANCELLED 2025-09-30" (red)         cancelled, with its cancellation date
//   "TERMINATED 2024-01-02" (red)        terminated, with its cancellation date
//   "not in the FCC file"                the call is not in the file
//   "class and status unknown"           only EN.dat is there
//   ""                                   no FCC data loaded
struct LicenceLabel {
    std::string text;
    bool red = false;
    bool operator==(const LicenceLabel&) const = default;
};
LicenceLabel NetLicenceText(const std::optional<LicenceInfo>& lookedUp, bool dataLoaded);

// The mark of a quick call suggestion: the class letter (0 when unknown or a club) and
// whether the licence has lapsed (expired, cancelled or terminated).
struct SuggestionMark {
    char classLetter = 0;
    bool lapsed = false;
    bool operator==(const SuggestionMark&) const = default;
};
SuggestionMark LicenceSuggestionMark(const LicenceInfo& info);

#pragma once
// Rules for the text typed into the quick call box. No widgets here.
#include <QString>

#include <optional>
#include <string>
#include <string_view>

// The longest call the look-up compares. Amateur calls have at most 7 characters; the
// room beyond takes the other services' calls of the licence file.
inline constexpr int kMaxCallLength = 12;

// The typed text as a call to look up: blanks at either end dropped, small letters made
// capitals. Nothing when the rest is empty, longer than kMaxCallLength, or holds
// anything but the letters A to Z and the digits (a blank inside, punctuation, a letter
// outside ASCII): such a text is no call, and looking it up finds nothing.
std::optional<std::string> normaliseCallText(const QString& text);
std::optional<std::string> normaliseCallText(std::string_view text);

// Whether a normalised text has the shape of a whole amateur call sign, so that a
// station unknown to every source is offered as a new station:
//   prefix  one or two letters, a letter and a digit, or a digit and a letter
//   then    one digit (the call area)
//   suffix  one to four letters
// Examples: K5ABC, W1AW, KA5ABC, N0X, VE3ABC, G4ABC, 2E0ABC, E51ABC, 9A1AA.
// Not: K5 (no suffix), 5ABC (no prefix letter), K5AB1 (suffix ends in a digit),
// K5ABCDE (suffix of five letters), ABC (no digit). Portable forms such as K5ABC/M are
// not calls here; they go in by the comma form.
bool looksLikeCallSign(std::string_view call);

// Whether a can be made b by one edit: one character changed, left out or added, or two
// neighbours swapped. Equal texts are not one edit apart.
bool withinOneEdit(std::string_view a, std::string_view b);

// A station typed as "CALL, NAME, CITY, STATE": two to four fields between commas,
// blanks around each dropped. Name, city and state may be left out or empty.
struct CommaStation {
    QString call; // capitals, letters, digits and "/" only, never empty
    QString name;
    QString city;
    QString state;
};
// Nothing when the text holds no comma or more than three, when the call is empty or
// holds a blank or anything but letters, digits and "/", or is longer than
// kMaxCallLength + 4 (room for a portable mark). Control characters (a tab, a line end
// pasted in) become blanks, as a check-in line and its saved file keep one line.
std::optional<CommaStation> parseCommaForm(const QString& text);

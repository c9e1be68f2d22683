#pragma once

#include <span>
#include <string>
#include <string_view>

namespace temvik {

// The blanks the private-profile routines strip around names and values:
// space, tab, line feed, vertical tab, form feed, carriage return and the
// DOS end-of-file character (0x1A). The ideographic space U+3000 is text.
[[nodiscard]] constexpr bool isBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}
[[nodiscard]] std::string_view trimBlanks(std::string_view text);
[[nodiscard]] std::string_view trimLeadingBlanks(std::string_view text);
[[nodiscard]] std::string_view trimTrailingBlanks(std::string_view text);

// The text with the full-width forms a Chinese input method types turned
// into their ASCII partners: the digits ０-９, "＋", "－", "．", and the
// ideographic space U+3000 as a space. Everything else stays as it is.
[[nodiscard]] std::string halfWidthNumber(std::string_view text);

// Numbers typed into number boxes, read one way everywhere: by the checks,
// by what the run counts and by what the plan files keep. A number is an
// optional sign, digits and an optional fraction ("25", "-1", "1.5", ".5"),
// full-width forms included, with nothing around it but number blanks. The
// empty or blank text is a number, 0.
//
// The number blanks: space, tab and the ideographic space U+3000 (a space
// once halfWidthNumber has read it). Any other control character, a pasted
// line feed, carriage return, vertical tab, form feed or 0x1A among them,
// makes a text no number. The plan files strip space and tab around a value
// and keep U+3000, so a number comes back from them with the same value.
[[nodiscard]] constexpr bool isNumberBlank(char c) { return c == ' ' || c == '\t'; }
[[nodiscard]] bool isTypedNumber(std::string_view text);

// The number at the start of a text, after number blanks: its sign, digits
// and fraction, read as far as they go ("12分" is 12); 0 when it holds none.
// For a typed number this is its value, correctly rounded; beyond the range
// of double, infinity.
[[nodiscard]] double numberValue(std::string_view text);
// The whole part of the same number, held at the range of long long.
[[nodiscard]] long long integerValue(std::string_view text);

// The sum of numbers[i] × factor, computed exactly from the digits typed. A
// text that is not a number counts as 0. Factors are small and not
// negative (up to a few million).
struct ScaledTerm {
  std::string_view text;
  long long factor;
};
struct ScaledSum {
  long long whole = 0;       // truncated toward zero, held at the range of long long
  bool hasFraction = false;  // whether the exact sum is not a whole number
  friend bool operator==(const ScaledSum&, const ScaledSum&) = default;
};
[[nodiscard]] ScaledSum scaledSum(std::span<const ScaledTerm> terms);

// The last path component up to its first full stop (bell.mp3 -> bell,
// two.parts.mp3 -> two, C:\a.b\c.ini -> c).
[[nodiscard]] std::string fileBaseName(std::string_view path);

// Case folding of UTF-8 text as Windows compares names without regard to
// case, for the letters GBK can hold: ASCII, Greek, Cyrillic (with Ё/ё),
// fullwidth Latin and Roman numerals. Everything else, malformed bytes
// included, is compared as is.
[[nodiscard]] bool equalsIgnoreCase(std::string_view a, std::string_view b);
// A key for hashing: equalsIgnoreCase(a, b) exactly when the folded texts
// are equal. Folding keeps the byte length.
[[nodiscard]] std::string foldCase(std::string_view utf8);

}  // namespace temvik

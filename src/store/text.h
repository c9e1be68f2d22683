#pragma once

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

// Case folding of UTF-8 text as Windows compares names without regard to
// case, for the letters GBK can hold: ASCII, Greek, Cyrillic (with Ё/ё),
// fullwidth Latin and Roman numerals. Everything else, malformed bytes
// included, is compared as is.
[[nodiscard]] bool equalsIgnoreCase(std::string_view a, std::string_view b);
// A key for hashing: equalsIgnoreCase(a, b) exactly when the folded texts
// are equal. Folding keeps the byte length.
[[nodiscard]] std::string foldCase(std::string_view utf8);

}  // namespace temvik

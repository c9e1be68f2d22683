#include "store/text.h"

namespace temvik {
namespace {

// The lower-case partner of a code point, or the code point itself. Every
// pair has the same UTF-8 length.
char32_t fold(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 0x20;
  if (c < 0x391) return c;
  if (c <= 0x3A9) return c == 0x3A2 ? c : c + 0x20;  // Greek Α..Ω
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;     // Cyrillic Ѐ..Џ, Ё among them
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;     // Cyrillic А..Я
  if (c >= 0x2160 && c <= 0x216F) return c + 0x10;   // Roman numerals Ⅰ..Ⅿ
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;   // fullwidth Ａ..Ｚ
  return c;
}

// Reads the code point at `pos` when it is a well-formed sequence of up to
// three bytes (everything that folds is in that range); otherwise reads the
// single byte at `pos` as itself and marks it as not foldable.
struct Unit {
  char32_t value;
  std::size_t length;
  bool foldable;
};

Unit readUnit(std::string_view s, std::size_t pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) return {b0, 1, true};
  const auto cont = [&](std::size_t i) {
    return i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80;
  };
  if (b0 >= 0xC2 && b0 <= 0xDF && cont(pos + 1))
    return {static_cast<char32_t>(((b0 & 0x1F) << 6) | (s[pos + 1] & 0x3F)), 2, true};
  if (b0 >= 0xE0 && b0 <= 0xEF && cont(pos + 1) && cont(pos + 2)) {
    const char32_t c = ((b0 & 0x0F) << 12) | ((s[pos + 1] & 0x3F) << 6) | (s[pos + 2] & 0x3F);
    if (c >= 0x800) return {c, 3, true};
  }
  return {b0, 1, false};
}

void appendUtf8(std::string& out, char32_t c, std::size_t length) {
  if (length == 1) {
    out += static_cast<char>(c);
  } else if (length == 2) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string_view trimLeadingBlanks(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && isBlank(text[begin])) ++begin;
  return text.substr(begin);
}

std::string_view trimTrailingBlanks(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && isBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

std::string_view trimBlanks(std::string_view text) {
  return trimTrailingBlanks(trimLeadingBlanks(text));
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  std::size_t i = 0;
  while (i < a.size()) {
    const Unit ua = readUnit(a, i);
    const Unit ub = readUnit(b, i);
    if (ua.length != ub.length || ua.foldable != ub.foldable) return false;
    if (ua.foldable ? fold(ua.value) != fold(ub.value) : ua.value != ub.value) return false;
    i += ua.length;
  }
  return true;
}

std::string foldCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const Unit u = readUnit(utf8, i);
    if (u.foldable)
      appendUtf8(out, fold(u.value), u.length);
    else
      out += utf8[i];
    i += u.length;
  }
  return out;
}

std::string halfWidthNumber(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    // Every form concerned is three bytes long: EF BC 8B..99, or E3 80 80.
    if (i + 2 < text.size()) {
      const auto b0 = static_cast<unsigned char>(text[i]);
      const auto b1 = static_cast<unsigned char>(text[i + 1]);
      const auto b2 = static_cast<unsigned char>(text[i + 2]);
      if (b0 == 0xEF && b1 == 0xBC &&
          ((b2 >= 0x90 && b2 <= 0x99) || b2 == 0x8B || b2 == 0x8D || b2 == 0x8E)) {
        out += static_cast<char>(b2 - 0x90 + '0');  // U+FF10 + n -> '0' + n, likewise + - .
        i += 3;
        continue;
      }
      if (b0 == 0xE3 && b1 == 0x80 && b2 == 0x80) {
        out += ' ';
        i += 3;
        continue;
      }
    }
    out += text[i++];
  }
  return out;
}

}  // namespace temvik

#include "store/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <optional>
#include <vector>

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

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The number at the start of a half-width text, digit by digit.
struct NumberScan {
  bool negative = false;
  std::string_view whole;     // the digits before the point, as typed
  std::string_view fraction;  // the digits after it
  std::size_t end = 0;        // where the number ends
  [[nodiscard]] bool hasDigits() const { return !whole.empty() || !fraction.empty(); }
};

NumberScan scanNumber(std::string_view t) {
  NumberScan n;
  std::size_t i = 0;
  while (i < t.size() && isNumberBlank(t[i])) ++i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) n.negative = t[i++] == '-';
  const std::size_t whole = i;
  while (i < t.size() && isDigit(t[i])) ++i;
  n.whole = t.substr(whole, i - whole);
  if (i < t.size() && t[i] == '.') {
    const std::size_t fraction = ++i;
    while (i < t.size() && isDigit(t[i])) ++i;
    n.fraction = t.substr(fraction, i - fraction);
  }
  n.end = n.hasDigits() ? i : 0;
  return n;
}

// A typed number without its leading zeros and trailing fraction zeros;
// zero is never negative.
struct Decimal {
  bool negative = false;
  std::string whole;
  std::string fraction;
};

std::optional<Decimal> typedDecimal(std::string_view typed) {
  const std::string text = halfWidthNumber(typed);
  const NumberScan n = scanNumber(text);
  std::size_t rest = n.end;
  while (rest < text.size() && isNumberBlank(text[rest])) ++rest;
  if (rest < text.size()) return std::nullopt;
  if (!n.hasDigits()) return Decimal{};  // only blanks
  Decimal d;
  const std::size_t lead = n.whole.find_first_not_of('0');
  if (lead != std::string_view::npos) d.whole = n.whole.substr(lead);
  const std::size_t trail = n.fraction.find_last_not_of('0');
  if (trail != std::string_view::npos) d.fraction = n.fraction.substr(0, trail + 1);
  d.negative = n.negative && !(d.whole.empty() && d.fraction.empty());
  return d;
}

// Digits of a non-negative value, least significant first; position
// `scale` holds the units.
using Digits = std::vector<long long>;

void carry(Digits& d) {
  for (std::size_t p = 0; p < d.size(); ++p) {
    if (d[p] < 10) continue;
    if (p + 1 == d.size()) d.push_back(0);
    d[p + 1] += d[p] / 10;
    d[p] %= 10;
  }
}

// a - b for a >= b, digit by digit.
Digits minus(Digits a, const Digits& b) {
  for (std::size_t p = 0; p < a.size(); ++p) {
    a[p] -= p < b.size() ? b[p] : 0;
    if (a[p] < 0) {
      a[p] += 10;
      a[p + 1] -= 1;
    }
  }
  return a;
}

bool less(const Digits& a, const Digits& b) {
  for (std::size_t p = std::max(a.size(), b.size()); p-- > 0;) {
    const long long x = p < a.size() ? a[p] : 0;
    const long long y = p < b.size() ? b[p] : 0;
    if (x != y) return x < y;
  }
  return false;
}

}  // namespace

bool isTypedNumber(std::string_view text) { return typedDecimal(text).has_value(); }

double numberValue(std::string_view typed) {
  const std::string text = halfWidthNumber(typed);
  const NumberScan n = scanNumber(text);
  if (!n.hasDigits()) return 0;
  std::string plain(n.whole.empty() ? "0" : n.whole);
  if (!n.fraction.empty()) (plain += '.') += n.fraction;
  double value = 0;
  if (std::from_chars(plain.data(), plain.data() + plain.size(), value).ec ==
      std::errc::result_out_of_range) {
    // Beyond double in one direction or the other.
    const bool large = n.whole.find_first_not_of('0') != std::string_view::npos;
    value = large ? HUGE_VAL : 0.0;
  }
  return n.negative ? -value : value;
}

long long integerValue(std::string_view typed) {
  const std::string text = halfWidthNumber(typed);
  const NumberScan n = scanNumber(text);
  // Accumulate towards the negative side, which holds one more value.
  long long value = 0;
  for (const char c : n.whole) {
    const int digit = c - '0';
    if (value < (LLONG_MIN + digit) / 10) {
      value = LLONG_MIN;
      break;
    }
    value = value * 10 - digit;
  }
  if (n.negative) return value;
  return value == LLONG_MIN ? LLONG_MAX : -value;
}

ScaledSum scaledSum(std::span<const ScaledTerm> terms) {
  std::vector<Decimal> numbers;
  std::size_t scale = 0;
  for (const ScaledTerm& term : terms) {
    numbers.push_back(typedDecimal(term.text).value_or(Decimal{}));
    scale = std::max(scale, numbers.back().fraction.size());
  }
  // The positive and the negative terms, each summed digit by digit.
  std::array<Digits, 2> sums;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const Decimal& d = numbers[i];
    Digits& sum = sums[d.negative ? 1 : 0];
    const std::size_t size = scale + d.whole.size() + 1;
    if (sum.size() < size) sum.resize(size, 0);
    for (std::size_t k = 0; k < d.fraction.size(); ++k)
      sum[scale - 1 - k] += (d.fraction[k] - '0') * terms[i].factor;
    for (std::size_t k = 0; k < d.whole.size(); ++k)
      sum[scale + d.whole.size() - 1 - k] += (d.whole[k] - '0') * terms[i].factor;
    carry(sum);
  }
  const bool negative = less(sums[0], sums[1]);
  Digits exact = negative ? minus(sums[1], sums[0]) : minus(sums[0], sums[1]);
  ScaledSum result;
  for (std::size_t p = 0; p < scale && p < exact.size(); ++p)
    result.hasFraction = result.hasFraction || exact[p] != 0;
  long long whole = 0;
  for (std::size_t p = exact.size(); p-- > scale;) {
    if (whole > (LLONG_MAX - exact[p]) / 10) {
      whole = LLONG_MAX;
      break;
    }
    whole = whole * 10 + exact[p];
  }
  result.whole = negative ? -whole : whole;
  return result;
}

std::string fileBaseName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  return std::string(path.substr(0, path.find('.')));
}

}  // namespace temvik

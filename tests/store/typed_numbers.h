#pragma once

// Numbers as a user types them, for tests over generated inputs.

#include <initializer_list>
#include <random>
#include <string>
#include <vector>

namespace temvik::testing {

class TypedNumbers {
 public:
  explicit TypedNumbers(unsigned seed) : rng_(seed) {}

  // 0 .. n-1.
  long long below(long long n) { return std::uniform_int_distribution<long long>(0, n - 1)(rng_); }
  std::string pick(std::initializer_list<const char*> from) {
    return from.begin()[below(static_cast<long long>(from.size()))];
  }
  template <class T>
  const T& pick(const std::vector<T>& from) {
    return from[static_cast<std::size_t>(below(static_cast<long long>(from.size())))];
  }

  // A plain decimal: sign, up to five digits, up to four after the point.
  std::string plain() {
    std::string p = pick({"", "-"}) + std::to_string(below(3) == 0 ? 0 : below(100000));
    const long long scale = below(5);
    if (scale > 0) p += '.';
    for (long long n = 0; n < scale; ++n) p += static_cast<char>('0' + below(10));
    return p;
  }

  // `plain` ("12", "-0.5") as it may be typed: spaces, tabs and U+3000
  // around it, a plus sign, leading zeros, full-width digits, sign and
  // point, ".5" for "0.5", "7." for "7".
  std::string typed(std::string plain) {
    std::string sign = plain.starts_with('-') ? pick({"-", "－"}) : pick({"", "", "+", "＋"});
    if (plain.starts_with('-')) plain.erase(0, 1);
    if (plain.starts_with("0.") && below(2) == 0) plain.erase(0, 1);
    std::string text = blanks() + sign + std::string(static_cast<std::size_t>(below(3)), '0');
    for (char c : plain)
      text += c == '.' ? pick({".", "．"}) : below(3) > 0 ? std::string(1, c) : fullWidth(c);
    return text + (plain.find('.') == std::string::npos && below(4) == 0 ? "." : "") + blanks();
  }

  // The text with one character no number holds put in anywhere: a control
  // character other than tab, a letter, a sign of another kind.
  std::string spoiled(std::string text) {
    text.insert(static_cast<std::size_t>(below(static_cast<long long>(text.size()) + 1)),
                pick({"\v", "\r", "\n", "\x1a", "\f", "\x01", "\x7f", "a", "e", "分", "$"}));
    return text;
  }

 private:
  std::string blanks() { return pick({"", "", " ", "\t", "\u3000", " \u3000\t"}); }
  static std::string fullWidth(char digit) {
    return std::string("０１２３４５６７８９").substr(static_cast<std::size_t>(digit - '0') * 3, 3);
  }

  std::mt19937 rng_;
};

}  // namespace temvik::testing

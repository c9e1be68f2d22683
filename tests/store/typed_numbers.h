#pragma once

// Numbers as a user types them into a number box, for tests over generated
// inputs: a known value written in any of the forms that count as that
// number, and the same text spoiled so that it is no number any more.

#include <initializer_list>
#include <random>
#include <string>

namespace temvik::testing {

class TypedNumbers {
 public:
  explicit TypedNumbers(unsigned seed) : rng_(seed) {}

  // 0 .. n-1.
  long long below(long long n) { return std::uniform_int_distribution<long long>(0, n - 1)(rng_); }
  std::string pick(std::initializer_list<const char*> from) {
    return from.begin()[below(static_cast<long long>(from.size()))];
  }

  // `plain` ("12", "-0.5", "3.25") as it may be typed: number blanks (space,
  // tab, U+3000) around it, a plus sign, leading zeros, full-width digits,
  // sign and point, ".5" for "0.5", "7." for "7".
  std::string typed(const std::string& plain) {
    std::string body = plain;
    std::string sign;
    if (!body.empty() && body[0] == '-') {
      sign = pick({"-", "－"});
      body.erase(0, 1);
    } else if (below(3) == 0) {
      sign = pick({"+", "＋"});
    }
    const std::size_t point = body.find('.');
    std::string whole = body.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : body.substr(point + 1);
    if (whole == "0" && !fraction.empty() && below(2) == 0) whole.clear();
    whole = std::string(static_cast<std::size_t>(below(3)), '0') + whole;
    std::string text = blanks() + sign + digits(whole);
    if (!fraction.empty())
      text += pick({".", "．"}) + digits(fraction);
    else if (below(4) == 0)
      text += ".";
    return text + blanks();
  }

  // The text with one character that no number holds put in anywhere: a
  // control character other than tab, a letter, a sign of another kind.
  std::string spoiled(std::string text) {
    const auto at = static_cast<std::size_t>(below(static_cast<long long>(text.size()) + 1));
    text.insert(at, pick({"\v", "\r", "\n", "\x1a", "\f", "\x01", "\x7f", "a", "e", "分", "$"}));
    return text;
  }

 private:
  std::string blanks() {
    std::string b;
    for (long long n = below(3); n > 0; --n) b += pick({" ", "\t", "\u3000"});
    return b;
  }
  std::string digits(const std::string& plain) {
    static const std::string kFullWidth = "０１２３４５６７８９";  // three bytes each
    std::string out;
    for (char c : plain)
      out += below(3) == 0 ? kFullWidth.substr(static_cast<std::size_t>(c - '0') * 3, 3)
                           : std::string(1, c);
    return out;
  }

  std::mt19937 rng_;
};

}  // namespace temvik::testing

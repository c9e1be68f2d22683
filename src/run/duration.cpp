#include "run/duration.h"

#include <cmath>

namespace temvik {

double numberValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  double value = 0;
  bool digits = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i++] - '0');
    digits = true;
  }
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10) {
      value += (text[i] - '0') * scale;
      digits = true;
    }
  }
  if (!digits) return 0;
  return negative ? -value : value;
}

Duration normalized(Duration d) {
  if (d.seconds >= 60 - kTolerance) {
    const double carry = std::floor((d.seconds + kTolerance) / 60);
    d.minutes += carry;
    d.seconds -= carry * 60;
  }
  if (d.minutes >= 60 - kTolerance) {
    const double carry = std::floor((d.minutes + kTolerance) / 60);
    d.hours += carry;
    d.minutes -= carry * 60;
  }
  return d;
}

std::uint64_t totalMs(const Duration& d) {
  const double ms = d.hours * 3600000.0 + d.minutes * 60000.0 + d.seconds * 1000.0;
  if (ms < 0.5) return 0;
  return static_cast<std::uint64_t>(std::llround(ms));
}

void countDownOneSecond(Duration& d) {
  if (isZero(d.seconds)) {
    d.seconds = 59;
    if (isZero(d.minutes)) {
      d.minutes = 59;
      d.hours -= 1;
    } else {
      d.minutes -= 1;
    }
  } else {
    d.seconds -= 1;
  }
}

}  // namespace temvik

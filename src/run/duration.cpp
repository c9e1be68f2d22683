#include "run/duration.h"

#include <cmath>
#include <string>

#include "store/plan_store.h"
#include "store/text.h"

namespace temvik {

double numberValue(std::string_view typed) {
  const std::string text = halfWidthNumber(typed);
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

bool isTypedNumber(std::string_view typed) {
  const std::string text = halfWidthNumber(typed);
  std::string_view t = trimBlanks(text);
  if (t.empty()) return true;
  if (t.front() == '+' || t.front() == '-') t.remove_prefix(1);
  bool digits = false;
  bool point = false;
  for (char c : t) {
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

std::optional<std::string_view> durationProblem(std::string_view hours, std::string_view minutes,
                                                std::string_view seconds) {
  if (!isTypedNumber(hours)) return "“时”只能填数字。";
  if (!isTypedNumber(minutes)) return "“分”只能填数字。";
  if (!isTypedNumber(seconds)) return "“秒”只能填数字。";
  // Each part on its own, so that no sum of huge parts can overflow or
  // cancel out.
  const double h = numberValue(hours);
  const double m = numberValue(minutes);
  const double s = numberValue(seconds);
  const double limit = kMaxDurationHours * 3600;
  if (h * 3600 > limit || m * 60 > limit || s > limit || h * 3600 + m * 60 + s > limit)
    return "持续时间不能超过10000小时。";
  return std::nullopt;
}

std::optional<std::string_view> playTimeProblem(std::string_view playTime) {
  if (!isTypedNumber(playTime)) return "“持续播放时间”只能填数字。";
  if (numberValue(playTime) > static_cast<double>(kMaxPlaySeconds))
    return "持续播放时间不能超过3600秒。";
  return std::nullopt;
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

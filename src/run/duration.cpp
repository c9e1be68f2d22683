#include "run/duration.h"

#include <cmath>
#include <initializer_list>
#include <string>

#include "store/text.h"

namespace temvik {

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

namespace {

double rawMs(const Duration& d) {
  return d.hours * 3600000.0 + d.minutes * 60000.0 + d.seconds * 1000.0;
}

}  // namespace

bool isNoTime(const Duration& d) { return !(rawMs(d) >= 0.5); }

bool isNoTypedTime(std::string_view hours, std::string_view minutes, std::string_view seconds) {
  for (std::string_view part : {hours, minutes, seconds})
    if (!isTypedNumber(part) || isNegativeNumber(part)) return false;
  return isNoTime({numberValue(hours), numberValue(minutes), numberValue(seconds)});
}

bool isNegativeNumber(std::string_view text) {
  return isTypedNumber(text) && numberValue(text) < -kTolerance;
}

bool isBlankOrZero(std::string_view text) {
  return isTypedNumber(text) && isZero(numberValue(text));
}

std::uint64_t totalMs(const Duration& d) {
  if (isNoTime(d)) return 0;
  return static_cast<std::uint64_t>(std::llround(rawMs(d)));
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

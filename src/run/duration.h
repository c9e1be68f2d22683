#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace temvik {

// Values within this of zero count as zero.
inline constexpr double kTolerance = 0.0000001;

struct Duration {
  double hours = 0;
  double minutes = 0;
  double seconds = 0;
  friend bool operator==(const Duration&, const Duration&) = default;
};

// The longest item: 10,000 hours, a little over a year.
inline constexpr double kMaxDurationHours = 10000;
// The longest end sound, in seconds.
inline constexpr long long kMaxPlaySeconds = 3600;

// Why the typed hours, minutes and seconds of an item cannot be counted,
// or nothing when they can: each must be a number, and the total no longer
// than kMaxDurationHours. Negative values are the start checks' own concern.
[[nodiscard]] std::optional<std::string_view> durationProblem(std::string_view hours,
                                                              std::string_view minutes,
                                                              std::string_view seconds);
// Why a typed play time cannot be used: not a number, or above
// kMaxPlaySeconds.
[[nodiscard]] std::optional<std::string_view> playTimeProblem(std::string_view playTime);

// Carries whole minutes out of the seconds and whole hours out of the
// minutes; the total stays the same.
[[nodiscard]] Duration normalized(Duration d);

// Whether a duration counts as no time at all: its total rounds to 0 ms
// (or less).
[[nodiscard]] bool isNoTime(const Duration& d);
// Typed hours, minutes and seconds that give no time to count: numbers,
// none below zero, whose total rounds to 0 ms ("", "0", "00", "０", "0.0",
// "0.0004" seconds).
[[nodiscard]] bool isNoTypedTime(std::string_view hours, std::string_view minutes,
                                 std::string_view seconds);
// A typed number below zero (beyond kTolerance). A text that is no number
// is none: only the value of a number is ever used.
[[nodiscard]] bool isNegativeNumber(std::string_view text);
// Blank, or a typed number that is zero however written ("0", "00", "０").
[[nodiscard]] bool isBlankOrZero(std::string_view text);
// The total in milliseconds; 0 for no time. Parts must be finite.
[[nodiscard]] std::uint64_t totalMs(const Duration& d);

// One step of the countdown display: a second less, borrowing from the
// minutes and hours.
void countDownOneSecond(Duration& d);

[[nodiscard]] inline bool isZero(double v) { return v <= kTolerance && v >= -kTolerance; }

}  // namespace temvik

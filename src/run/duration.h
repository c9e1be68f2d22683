#pragma once

#include <cstdint>
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

// The number a typed text stands for: an optional sign, digits and a
// fraction at its start (after blanks); 0 when it holds none.
[[nodiscard]] double numberValue(std::string_view text);

// Carries whole minutes out of the seconds and whole hours out of the
// minutes; the total stays the same.
[[nodiscard]] Duration normalized(Duration d);

// The total in milliseconds; 0 for a total of zero or less.
[[nodiscard]] std::uint64_t totalMs(const Duration& d);

// One step of the countdown display: a second less, borrowing from the
// minutes and hours.
void countDownOneSecond(Duration& d);

[[nodiscard]] inline bool isZero(double v) { return v <= kTolerance && v >= -kTolerance; }

}  // namespace temvik

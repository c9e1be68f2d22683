#pragma once

#include <cstdint>

namespace temvik {

// A calendar date and time of day to the whole second, local time.
struct DateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Local wall-clock time.
  [[nodiscard]] virtual DateTime now() const = 0;
  // Milliseconds since an arbitrary start; never goes back.
  [[nodiscard]] virtual std::uint64_t monotonicMs() const = 0;
};

}  // namespace temvik

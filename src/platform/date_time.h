#pragma once

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

}  // namespace temvik

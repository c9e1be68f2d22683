#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace temvik {

// How a timed item repeats. Its occurrences are at its start's time of day
// on its start's day and the later days the repeat names, as long as each
// qualifies: every day, Monday to Friday, or the start's weekday. Times are
// local wall-clock times as the program keeps them (platform/date_time.h):
// a day is 86,400 seconds, whatever daylight saving does.
enum class Repeat { None, Daily, Weekdays, Weekly };

// The value of the record's "重复" key; anything else does not repeat.
[[nodiscard]] Repeat repeatOfText(std::string_view stored);
// What the key holds; "" for None, which writes no key.
[[nodiscard]] std::string_view repeatText(Repeat repeat);

// The choices of the set-sync dialog, in the order of Repeat.
inline constexpr std::array<std::string_view, 4> kRepeatChoices = {"不重复", "每天", "每个工作日",
                                                                   "每周"};

struct Occurrences {
  std::int64_t next = 0;    // the first occurrence after the time asked about
  std::int64_t passed = 0;  // how many lie at or before it
  friend bool operator==(const Occurrences&, const Occurrences&) = default;
};

// The occurrences of an item that starts at `start` and repeats, about the
// time `after` (both in seconds as secondsOf counts them). A start on a day
// that does not qualify (工作日 on a Saturday) is no occurrence itself: the
// first one is on the next day that does. For Repeat::None the start is
// the only occurrence, and `next` is the start even when it is not after.
[[nodiscard]] Occurrences nextOccurrence(std::int64_t start, Repeat repeat, std::int64_t after);

}  // namespace temvik

#include "timed/timed_schedule.h"

#include <algorithm>

#include "store/plan_store.h"
#include "store/text.h"

namespace temvik {

namespace {

constexpr long long kPartLimit = 1'000'000'000;

long long held(long long v) { return std::clamp(v, -kPartLimit, kPartLimit); }

// A text that is not a number has no value, as in the start checks.
long long durationPart(std::string_view text) {
  return isTypedNumber(text) ? held(integerValue(text)) : 0;
}

}  // namespace

std::int64_t durationSeconds(std::string_view hours, std::string_view minutes,
                             std::string_view seconds) {
  return durationPart(hours) * 3600 + durationPart(minutes) * 60 + durationPart(seconds);
}

std::vector<TimedSlot> timedSlots(const IniDocument& items) {
  std::vector<TimedSlot> slots;
  for (const ListItem& item : listItems(items)) {
    const std::string& section = item.section;
    TimedSlot slot;
    slot.startText = items.value(section, kStartTimeKey);
    slot.start = parseDateTimeText(slot.startText);
    slot.durationSeconds = durationSeconds(items.value(section, "时"), items.value(section, "分"),
                                           items.value(section, "秒"));
    slots.push_back(std::move(slot));
  }
  return slots;
}

DateTime atTimeOfDay(const DateTime& date, long long h, long long m, long long s) {
  // d + (h - hour of d) hours, then the minutes, then the seconds.
  return addSeconds(
      date, (held(h) - date.hour) * 3600 + (held(m) - date.minute) * 60 + (held(s) - date.second));
}

bool overlapsTimedItem(const std::vector<TimedSlot>& slots, const DateTime& start,
                       std::int64_t duration) {
  const std::int64_t d = secondsOf(start);
  const std::int64_t n = d + duration;
  for (const TimedSlot& slot : slots) {
    if (!slot.start) continue;
    const std::int64_t s = secondsOf(*slot.start);
    const std::int64_t e = s + slot.durationSeconds;
    if (s < d && d <= e) return true;
    if (e > n && n >= s) return true;
  }
  return false;
}

}  // namespace temvik

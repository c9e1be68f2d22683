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
    slot.repeat = repeatOfText(items.value(section, kRepeatKey));
    if (slot.start && slot.repeat != Repeat::None) {
      const std::int64_t second = secondsOf(*slot.start);
      slot.start = dateTimeOfSeconds(nextOccurrence(second, slot.repeat, second - 1).next);
    }
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
    const std::int64_t start = secondsOf(*slot.start);
    const std::int64_t length = slot.durationSeconds;
    if (slot.repeat == Repeat::None) {
      const std::int64_t e = start + length;
      if (start < d && d <= e) return true;
      if (e > n && n >= start) return true;
      continue;
    }
    // The same two tests at the occurrences they can hold at: one that
    // starts in [d - length, d), and one that starts in (n - length, n].
    if (nextOccurrence(start, slot.repeat, d - length - 1).next < d) return true;
    if (nextOccurrence(start, slot.repeat, n - length).next <= n) return true;
  }
  return false;
}

TickStep schedulerStep(const TickInput& in) {
  const std::size_t n = std::min(in.slots.size(), in.rows.size());
  const std::int64_t earliest = in.previous ? in.now - kCatchUpSeconds : in.now;
  const auto key = [&](std::size_t row) {
    return StartedItem{sectionOfRow(in.rows[row]), secondsOf(*in.slots[row].start)};
  };
  // Whether the row's item started already. Few items ever have: the name
  // is only looked at when one of them has the row's start second.
  const auto started = [&](std::size_t row, std::int64_t second) {
    return std::any_of(in.started.begin(), in.started.end(),
                       [&](const StartedItem& s) { return s.second == second; }) &&
           in.started.contains(key(row));
  };
  const auto due = [&](std::size_t row) {
    if (!in.slots[row].start) return false;
    const std::int64_t second = secondsOf(*in.slots[row].start);
    return second <= in.now && second >= earliest && !started(row, second);
  };
  const auto over = [&](std::size_t row) {
    if (!in.slots[row].start || in.unremovable.contains(in.rows[row])) return false;
    if (in.slots[row].repeat != Repeat::None) return false;  // moved on instead
    const std::int64_t second = secondsOf(*in.slots[row].start);
    if (in.running && in.running->second == second && key(row) == in.running) return false;
    return started(row, second) || (second < in.now && !due(row));
  };

  TickStep step;
  const auto consider = [&](std::size_t row) {
    if (!step.start && due(row)) step.start = static_cast<int>(row);
  };
  for (std::size_t row = 0; row < n; ++row) {
    if (over(row)) {
      step.expired.push_back(static_cast<int>(row));
      // The next item takes this pass: only tested for being due.
      if (++row < n) consider(row);
      continue;
    }
    consider(row);
  }
  // What started is remembered while its item is in the list.
  for (std::size_t row = 0; row < n; ++row)
    if (in.slots[row].start && started(row, secondsOf(*in.slots[row].start)))
      step.started.insert(key(row));
  if (step.start) step.started.insert(key(static_cast<std::size_t>(*step.start)));

  // Repeating items that started, now or before, or whose start is over
  // unstarted, move on; one that is due but waits for the next tick stays.
  for (std::size_t row = 0; row < n; ++row) {
    const TimedSlot& slot = in.slots[row];
    if (slot.repeat == Repeat::None || !slot.start || in.unremovable.contains(in.rows[row]))
      continue;
    const std::int64_t second = secondsOf(*slot.start);
    const bool ran = step.start == static_cast<int>(row) || started(row, second);
    if (!ran && (second > in.now || due(row))) continue;
    const Occurrences occurrences = nextOccurrence(second, slot.repeat, in.now);
    step.moved.push_back({static_cast<int>(row), occurrences.next});
    step.missed += occurrences.passed - (ran ? 1 : 0);
  }
  return step;
}

}  // namespace temvik

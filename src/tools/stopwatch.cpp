#include "tools/stopwatch.h"

namespace temvik {

using namespace stopwatch_ids;

namespace {

constexpr std::uint64_t kSecondMs = 1000;
constexpr std::uint64_t kKeyDelayMs = 10;
// The figures are drawn large; "100" hours and more still fit their label.
constexpr int kFigurePx = 32;

ControlDesign figure(ControlId id, std::string_view designName, std::string_view identifier,
                     Rect rect, std::string_view caption) {
  ControlDesign c{id, designName, identifier, ControlKind::Label, rect, caption, ""};
  c.fontPx = kFigurePx;
  return c;
}

}  // namespace

const WindowDesign& stopwatchDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "小型计时器",
      .title = "小型计时器",
      .rect = {50, 50, 325, 182},
      // Nothing to tab to: every key belongs to the stopwatch.
      .controls =
          {
              figure(kHours, "透明标签1", "hours", {36, 12, 56, 56}, "00"),
              figure(kFirstColon, "透明标签2", "firstColon", {96, 12, 20, 56}, ":"),
              figure(kMinutes, "透明标签3", "minutes", {120, 12, 56, 56}, "00"),
              figure(kSecondColon, "透明标签4", "secondColon", {180, 12, 20, 56}, ":"),
              figure(kSeconds, "透明标签5", "seconds", {204, 12, 56, 56}, "00"),
              {kHowTo,
               "标签1",
               "howTo",
               K::Label,
               {16, 84, 288, 20},
               "按任意键开始计时，再按任意键结束",
               ""},
              {kOneKeyNote,
               "透明标签6",
               "oneKeyNote",
               K::Label,
               {16, 110, 288, 20},
               "请不要同时按两个键！",
               ""},
          },
  };
  return design;
}

std::string stopwatchFigure(std::int32_t value) {
  if (value >= 0 && value <= 9) return {'0', static_cast<char>('0' + value)};
  return std::to_string(value);
}

void Stopwatch::open(Window& owner) {
  if (bringToFront()) return;
  hours_ = minutes_ = seconds_ = 0;
  Window& w = create(stopwatchDesign(), &owner);
  w.show();
  w.activate();
}

void Stopwatch::onKeyDown(ControlId, int virtualKey) {
  // A later key restarts the delay: keys within it count as one.
  if (virtualKey != 0) window_->setTimer(kKeyTimer, kKeyDelayMs);
}

void Stopwatch::onTimer(TimerId id) {
  if (id == kKeyTimer) {
    toggle();
  } else if (id == kSecondTimer) {
    countSecond();
  }
}

void Stopwatch::toggle() {
  Window& w = *window_;
  if (w.timerInterval(kSecondTimer) != 0) {
    w.setTimer(kSecondTimer, 0);  // the display keeps the elapsed time
  } else {
    hours_ = minutes_ = seconds_ = 0;
    for (ControlId label : {kHours, kMinutes, kSeconds}) w.setText(label, "00");
    w.setTimer(kSecondTimer, kSecondMs);
  }
  w.setTimer(kKeyTimer, 0);
}

void Stopwatch::countSecond() {
  if (seconds_ == 59) {
    seconds_ = 0;
    show(kSeconds, seconds_);
    if (minutes_ == 59) {
      minutes_ = 0;
      show(kMinutes, minutes_);
      ++hours_;
      show(kHours, hours_);
    } else {
      ++minutes_;
      show(kMinutes, minutes_);
      show(kHours, hours_);
    }
  } else {
    ++seconds_;
    show(kSeconds, seconds_);
    show(kMinutes, minutes_);
    show(kHours, hours_);
  }
}

void Stopwatch::show(ControlId label, std::int32_t value) {
  window_->setText(label, stopwatchFigure(value));
}

}  // namespace temvik

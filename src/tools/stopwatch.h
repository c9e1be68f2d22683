#pragma once

#include <cstdint>
#include <string>

#include "platform/id_blocks.h"
#include "platform/short_lived_window.h"

namespace temvik {

namespace stopwatch_ids {
enum Control : ControlId {
  kHours = id_blocks::kStopwatch + 1,  // 透明标签1
  kFirstColon,                         // 透明标签2
  kMinutes,                            // 透明标签3
  kSecondColon,                        // 透明标签4
  kSeconds,                            // 透明标签5
  kHowTo,                              // 标签1
  kOneKeyNote,                         // 透明标签6
};
enum Timer : TimerId {
  kSecondTimer = 1,  // 时钟1
  kKeyTimer = 2,     // 按键钟
};
}  // namespace stopwatch_ids

// A counter as the stopwatch shows it: 0 to 9 with a leading "0", anything
// larger as it is.
[[nodiscard]] std::string stopwatchFigure(std::int32_t value);

// The small keyboard stopwatch "小型计时器": any key starts it from zero,
// any key stops it. A key only arms the 10 ms key timer, and the toggle
// happens when that fires, so keys that come closer together than that
// toggle once. Keeps nothing on disk.
class Stopwatch final : public ShortLivedWindow {
 public:
  Stopwatch(Ui& ui, RetiredWindows& retired) : ShortLivedWindow(ui, retired) {}

  // Opens the window over `owner`; one that is open comes to the front.
  void open(Window& owner);

  void onKeyDown(ControlId id, int virtualKey) override;
  void onTimer(TimerId id) override;

 private:
  void toggle();
  void countSecond();
  void show(ControlId label, std::int32_t value);

  std::int32_t hours_ = 0;
  std::int32_t minutes_ = 0;
  std::int32_t seconds_ = 0;
};

const WindowDesign& stopwatchDesign();

}  // namespace temvik

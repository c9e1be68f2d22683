#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/id_blocks.h"
#include "platform/system.h"
#include "run/duration.h"
#include "run/run_window_base.h"

namespace temvik {

namespace run_ids {
enum RunControl : ControlId {
  kRemainingLabel = id_blocks::kRunWindow + 1,  // 透明标签4
  kHoursValue,                                  // 透明标签1
  kMinutesValue,                                // 透明标签2
  kSecondsValue,                                // 透明标签3
  kHoursUnit,                                   // 透明标签7
  kMinutesUnit,                                 // 透明标签8
  kSecondsUnit,                                 // 透明标签9
  kInProgress,                                  // 透明标签10
  kContentBox,                                  // 编辑框1
  kGiveUpLabel,                                 // 透明标签5
  kToTrayLabel,                                 // 透明标签6
};
enum RunMenu : MenuItemId {
  kShowRunWindow = id_blocks::kRunMenus + 1,  // 显示执行窗口
  kGiveUpMenu,                                // 放弃
  kChangeRemaining,                           // 更改剩余时间
};
enum RunTimer : TimerId {
  kCountdownTimer = 1,  // 秒钟
  kEndTimer,            // 整体时间
  kTrayTimer,           // 托盘
  kPoint1Timer,         // 断点1 … 断点5
  kPoint2Timer,
  kPoint3Timer,
  kPoint4Timer,
  kPoint5Timer,
  kStopPlayTimer,  // 停播
  kForbidTimer,    // 禁止进程时
};
inline constexpr const char* kTrayMenu = "右键菜单";
inline constexpr const char* kChangeTimeMenu = "更改时间";
}  // namespace run_ids

// The translucent window that counts the running item down, and its tray
// icon.
class RunWindow final : public RunWindowBase {
 public:
  using RunWindowBase::RunWindowBase;
  void open();
  // Sets a new remaining time from now on (the change-time dialog).
  void changeRemaining(const Duration& remaining);
  void stopTimers();
  [[nodiscard]] std::string trayTooltip() const;
  // Out of the tray, as a double click on its icon brings it, when it sits
  // there; then to the front.
  void comeForward();

  void onTimer(TimerId id) override;
  bool onCloseRequested() override;
  void onClosed() override;
  void onClick(ControlId id) override;
  void onContextMenu(ControlId id) override;
  void onMenu(MenuItemId id) override;
  void onTrayDoubleClick() override;
  void onTrayRightClick() override;
  bool onMinimizing() override;

 private:
  void showLabels();
  void startEndTimer();
  void toTray();
  void showFromTray();
  void forbidTick();
  // The give-up dialog, after the password in strict mode.
  void openGiveUp();
  void promptPointDue(int k);
  void startPointTimer(int k);

  static constexpr int kMaxPromptPoints = 5;

  std::uint64_t baseMs_ = 0;  // when the remaining time was last set
  std::uint64_t stepsDone_ = 0;
  bool closingByCode_ = false;
  bool passwordGiven_ = false;                // strict mode: the close under way was let through
  std::unique_ptr<MediaPlayer> startSound_;   // a timed item's start sound
  std::unique_ptr<MediaPlayer> pointPlayer_;  // 媒体播放1: the prompt points' sounds
  std::vector<std::string> forbidden_;        // the forbidden names, parsed once
};

const WindowDesign& runWindowDesign();

}  // namespace temvik

#pragma once

#include "platform/window_design.h"

// Control, menu and timer ids of the run's windows.
namespace temvik::run_ids {

// Run window.
enum RunControl : ControlId {
  kRemainingLabel = 1101,  // 透明标签4
  kHoursValue,             // 透明标签1
  kMinutesValue,           // 透明标签2
  kSecondsValue,           // 透明标签3
  kHoursUnit,              // 透明标签7
  kMinutesUnit,            // 透明标签8
  kSecondsUnit,            // 透明标签9
  kInProgress,             // 透明标签10
  kContentBox,             // 编辑框1
  kGiveUpLabel,            // 透明标签5
  kToTrayLabel,            // 透明标签6
};
enum RunMenu : MenuItemId {
  kShowRunWindow = 1201,  // 显示执行窗口
  kGiveUpMenu,            // 放弃
  kChangeRemaining,       // 更改剩余时间
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

// Item-finished dialog.
enum FinishedControl : ControlId {
  kFinishedQuestion = 1301,  // 透明标签1
  kCountdownNumber,          // 透明标签2
  kCountdownText,            // 透明标签3
  kYesButton,                // 超级按钮1
  kGiveUpButton,             // 超级按钮2
};
enum FinishedTimer : TimerId {
  kLabelTimer = 1,  // 标签改变钟
  kAutoYesTimer,    // 自动选择钟
  kPlayTimer,       // 播放时间
};

// Give-up dialog.
enum GiveUpControl : ControlId {
  kGiveUpQuestion = 1401,  // 透明标签4
  kKeepGoing,              // 透明标签2
  kConfirmGiveUp,          // 透明标签1
};

// Change-time dialog.
enum ChangeTimeControl : ControlId {
  kChangeRemainingLabel = 1501,  // 标签9
  kNewHours,                     // 编辑框1
  kNewMinutes,                   // 编辑框2
  kNewSeconds,                   // 编辑框3
  kNewHoursUnit,                 // 标签1
  kNewMinutesUnit,               // 标签2
  kNewSecondsUnit,               // 标签3
  kChangeOk,                     // 透明标签1
  kChangeCancel,                 // 透明标签2
};

// Plan-complete window.
enum CompleteControl : ControlId {
  kCompleteText = 1601,  // 透明标签4
  kBackToMain,           // 透明标签1
  kExitProgramLabel,     // 透明标签2
};

// Content note window.
enum NoteControl : ControlId {
  kNoteContent = 1701,  // 编辑框1
};

}  // namespace temvik::run_ids

#pragma once

#include "platform/id_blocks.h"
#include "platform/window_design.h"

// Control, menu and timer ids of the main window.
namespace temvik::main_ids {

enum Control : ControlId {
  kEditorFrame = id_blocks::kMainWindow + 1,  // 分组框1
  kClearMarks,                                // 超级按钮11
  kContentLabel,                              // 标签1
  kSaveItem,                                  // 超级按钮2
  kContent,                                   // 任务内容
  kSequentialGroup,                           // 分组框6
  kSequentialList,                            // 非同步框
  kDurationLabel,                             // 标签2
  kSecondsLabel,                              // 标签5
  kHours,                                     // 编辑框1
  kHoursLabel,                                // 标签3
  kMinutes,                                   // 编辑框2
  kMinutesLabel,                              // 标签4
  kSeconds,                                   // 编辑框3
  kMoveUp,                                    // 超级按钮13
  kPromptPoints,                              // 超级按钮8
  kExitFrame,                                 // 分组框9
  kMoveDown,                                  // 超级按钮14
  kExitWhenDone,                              // 选择框4
  kProgramFrame,                              // 分组框7
  kRunProgram,                                // 选择框1
  kChooseProgram,                             // 超级按钮7
  kEndProcessFrame,                           // 分组框3
  kEndProcesses,                              // 选择框5
  kChooseEndProcess,                          // 超级按钮3
  kForbidFrame,                               // 分组框4
  kAddItem,                                   // 超级按钮6
  kDeleteItem,                                // 超级按钮10
  kForbidProcesses,                           // 选择框10
  kChooseForbidden,                           // 超级按钮12
  kPowerFrame,                                // 分组框8
  kTimedGroup,                                // 分组框5
  kShutdown,                                  // 选择框6
  kRestart,                                   // 选择框7
  kTimedList,                                 // 同步框
  kLogOff,                                    // 选择框8
  kLock,                                      // 选择框9
  kMediaGroup,                                // 分组框2
  kMedia,                                     // 选择框2
  kUseDefault,                                // 选择框3
  kMediaPath,                                 // 编辑框5
  kOpenMedia,                                 // 超级按钮9
  kPlayTimeLabel,                             // 标签22
  kPlayTime,                                  // 编辑框7
  kPlaySecondsLabel,                          // 标签23
  kFormatsLabel,                              // 标签10
  kVideoFormats,                              // 标签11
  kImageFormats,                              // 标签14
  kResumeUnfinished,                          // 超级按钮4
  kRunFromStart,                              // 超级按钮5
  kExit,                                      // 超级按钮1
};

enum Menu : MenuItemId {
  kImportSequential = id_blocks::kMainMenus + 1,
  kExportSequential,
  kImportTimed,
  kExportTimed,
  kRenameSequential,
  kRenameTimed,
  kDeletePlan,
  kExitProgram,
  kSetSync,
  kCancelSync,
  kGetRights,
  kSetPassword,
  kDeletePassword,
  kStopwatch,
  kProgressWatcher,
  kUserGuide,
  kCheckUpdate,
  kAbout,
  kSequentialMenuTitle,  // 选中计划名
  kAddToTimed,
  kDeleteFromMenu,
  kTimedMenuTitle,  // 同步名
  kEditTimed,
  kCancelSyncFromMenu,
  // The program's settings (ProgramOptions), check items of 管理 and 工具.
  kStrictMode,
  kPowerNotice,
  kStayAwake,
  kWakeForTimed,
  kStartWithWindows,
  kStatistics,
};

enum Timer : TimerId {
  kSchedulerTimer = 1,  // 时钟1
};

inline constexpr const char* kSequentialMenu = "列表1右键菜单";
inline constexpr const char* kTimedMenu = "列表2右键菜单";

}  // namespace temvik::main_ids

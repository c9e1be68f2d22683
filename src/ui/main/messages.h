#pragma once

#include <string_view>

#include "platform/prompts.h"

namespace temvik {

// The boxes of the main window: the sequential list, the plan menu, the
// menu 管理 and the help. Those the timed list shows too are in
// store/messages.h.

// --- the sequential list (SequentialPlan)
inline constexpr Message kContentTakenAtAdd{"计划列表里已经有此内容的任务了。", "重复",
                                            MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kClearMarksBeforeSave{"清除了所有已完成标记后才能进行保存操作", "",
                                               MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kClearMarksBeforeMove{"清除了所有已完成标记后才能进行移动项操作", "",
                                               MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kAtTop{"已经到顶", "", MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kAtBottom{"已经到底", "", MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kNoRowToMoveUp{"请选择要上移的计划", "", MessageIcon::Information,
                                        MessageButtons::Ok};
inline constexpr Message kNoRowToMoveDown{"请选择要下移的计划", "", MessageIcon::Information,
                                          MessageButtons::Ok};
inline constexpr Message kNotForTimedItems{"不能用此按钮删除同步计划", "", MessageIcon::Information,
                                           MessageButtons::Ok};
// A press on the sequential list while the editor holds unsaved changes.
inline constexpr Message kAskSaveEdits{"您正在编辑的项未保存，是否保存？", "",
                                       MessageIcon::Question, MessageButtons::YesNo};

// --- "提示点" while the item in the editor is marked finished
inline constexpr Message kClearMarksFirst{"清除了所有已完成标记后才能进行此操作", "",
                                          MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kTimedItemFinished{"必须清除了已完成标记才能进行操作", "",
                                            MessageIcon::Information, MessageButtons::Ok};

// --- the menu 计划 (PlanMenu)
inline constexpr Message kNothingToExport{"并没有计划以供导出!", "", MessageIcon::None,
                                          MessageButtons::Ok};
// An export refuses to write over the plan files, their scratch copies and
// the program itself.
inline constexpr Message kOwnFileExport{"不能导出到程序自己的文件，请另选文件名或位置。", "",
                                        MessageIcon::None, MessageButtons::Ok};
inline constexpr Message kAskImportOver{"当前的计划会被覆盖，确定要导入吗？", "", MessageIcon::None,
                                        MessageButtons::YesNo};
inline constexpr Message kNothingToDelete{"此计划并没有可以供删除的信息", "", MessageIcon::None,
                                          MessageButtons::Ok};
inline constexpr Message kAskDeletePlan{"你确定删除此计划吗？", "", MessageIcon::None,
                                        MessageButtons::YesNo};
// Then, when there is a history of runs: it goes only when asked for.
inline constexpr Message kAskDeleteHistory{"是否同时删除执行记录？", "", MessageIcon::Question,
                                           MessageButtons::YesNoDefaultNo};

// --- the menu 管理 (Administration)
inline constexpr Message kRightsHeld{"你已经拥有管理权限了", "", MessageIcon::None,
                                     MessageButtons::Ok};
// 严格模式 is turned on only by who holds the rights over a stored password.
inline constexpr Message kStrictModeNeedsRights{
    "请先设置管理密码并获取管理权限，才能打开严格模式。", "", MessageIcon::Information,
    MessageButtons::Ok};

// --- the menu 工具 (ProgramOptions): the log-on entry could not be written
// or removed.
inline constexpr Message kAutoStartNotChanged{"无法更改开机自动启动：系统不允许写入注册表。", "",
                                              MessageIcon::Warning, MessageButtons::Ok};

// --- the menu 帮助: the guide's file name and its folder, or its path.
inline constexpr std::string_view kUserGuideTitle = "使用说明";
inline constexpr Message kUserGuideMissing{
    "找不到使用说明文件“{}”。它应在程序所在的文件夹中：\n{}"
    "\n\n也可以在程序的下载页面上阅读使用说明。",
    kUserGuideTitle, MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kUserGuideNotOpened{
    "无法打开使用说明文件：\n{}\n\n请在该文件夹中双击此文件，或用浏览器打开它。", kUserGuideTitle,
    MessageIcon::Information, MessageButtons::Ok};

}  // namespace temvik

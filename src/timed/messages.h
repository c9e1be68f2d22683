#pragma once

#include "platform/prompts.h"

namespace temvik {

// The boxes of the timed list (同步框) and its scheduler. Those it shares
// with the sequential list are in store/messages.h.

inline constexpr Message kNoTimedRowToCancel{"请选择要取消的同步项", "", MessageIcon::None,
                                             MessageButtons::Ok};
// A press on the timed list while the editor holds unsaved changes.
inline constexpr Message kAskSaveTimedEdits{"您正在编辑的项未保存，是否保存？", "",
                                            MessageIcon::None, MessageButtons::YesNo};

// --- set sync
inline constexpr Message kClearMarksBeforeSync{"清除了所有已完成标记后才能进行移动项操作", "",
                                               MessageIcon::None, MessageButtons::Ok};
inline constexpr Message kNothingToSync{"没有计划列表项目以供添加", "", MessageIcon::None,
                                        MessageButtons::Ok};
inline constexpr Message kAskSyncUnsaved{"你确定不保存修改就设置同步吗？", "询问",
                                         MessageIcon::Question, MessageButtons::YesNo};
inline constexpr Message kTimedNameTaken{"同步计划列表中已经有此同名计划", "", MessageIcon::None,
                                         MessageButtons::Ok};
inline constexpr Message kSelectItemFirst{"请先选中一项计划", "", MessageIcon::None,
                                          MessageButtons::Ok};
inline constexpr Message kStartPassed{"您设定的时间已失效", "", MessageIcon::None,
                                      MessageButtons::Ok};
inline constexpr Message kStartOverlaps{"您设定的时间于其它同步计划时间重叠", "", MessageIcon::None,
                                        MessageButtons::Ok};
// The timed file holds a section of the item's name that is no timed item.
inline constexpr Message kTimedSectionTaken{
    "同步计划文件中已有同名的记录，请先修改此项的任务内容。", "重复", MessageIcon::Information,
    MessageButtons::Ok};

// --- the scheduler: how many items expired and were removed.
inline constexpr Message kItemsExpired{"您有{}同步计划已过期，已经删除！", "", MessageIcon::None,
                                       MessageButtons::Ok};
// How many occurrences of repeating items went by unstarted (the program
// was not running, the clock jumped); their starts moved on.
inline constexpr Message kRepeatsMissed{"重复的同步计划错过了{}次，已顺延到下一次。", "",
                                        MessageIcon::None, MessageButtons::Ok};

}  // namespace temvik

#pragma once

#include <string_view>

#include "platform/prompts.h"

namespace temvik {

// The boxes that more than one layer shows: the refusals of both lists'
// edits (the sequential list in ui/main, the timed list in timed), the edit
// lock and the failed file.

// The title of the box that refuses an input (a content, a number).
inline constexpr std::string_view kPleaseCorrect = "请修改";
// A content or a number refused, with the rule's own words
// (contentProblem, numberProblem, promptFieldsProblem).
inline constexpr Message kInputRefused{"{}", kPleaseCorrect, MessageIcon::Information,
                                       MessageButtons::Ok};

// A change refused by the edit lock (AppState::editLocked).
inline constexpr Message kEditLocked{
    "没有管理权限，不能修改计划。请先在“管理”菜单中选择“获取管理权限”。", "",
    MessageIcon::Information, MessageButtons::Ok};

// A list operation found that the list no longer shows its file (the file
// changed behind it): the list is shown afresh and nothing is written.
inline constexpr Message kListOutOfStep{
    "计划文件与列表不一致，刚才的操作没有执行。列表已按文件重新显示，请重新操作。", "",
    MessageIcon::Information, MessageButtons::Ok};

// Add and save found that the content names a section of the file that is
// no item of the list (a note, say): the item would take it over.
inline constexpr Message kSectionTaken{"计划文件中已有同名的记录，请换一个任务内容。", "重复",
                                       MessageIcon::Information, MessageButtons::Ok};

// Save: no row is selected, another row has the content, the content is empty.
inline constexpr Message kNoRowToSaveTo{"没有选择要保存到的计划项目", "", MessageIcon::Information,
                                        MessageButtons::Ok};
inline constexpr Message kContentTakenAtSave{"计划列表里已经有此内容的计划了。", "重复",
                                             MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kNoContent{"请填写任务内容", "", MessageIcon::Information,
                                    MessageButtons::Ok};

// A plan file could not be read or written: storeErrorText (store_error.h).
inline constexpr std::string_view kStoreErrorTitle = "文件错误";
inline constexpr Message kStoreError{"{}", kStoreErrorTitle, MessageIcon::Error,
                                     MessageButtons::Ok};

}  // namespace temvik

#pragma once

#include <string_view>

#include "platform/prompts.h"

namespace temvik {

// The boxes of the dialogs.

// --- the password dialogs
inline constexpr Message kCryptoFailed{
    "系统加密服务出错，暂时无法核对或设置密码。已保存的密码没有改变。", "", MessageIcon::None,
    MessageButtons::Ok};
inline constexpr Message kWrongPassword{"密码错误,您没有修改计划的权限", "", MessageIcon::None,
                                        MessageButtons::Ok};
// A wrong password asked for before an action (strict mode): the action is
// not done.
inline constexpr Message kWrongPasswordNothingDone{"密码错误，操作已取消。", "", MessageIcon::None,
                                                   MessageButtons::Ok};
inline constexpr Message kWrongOldPassword{"旧密码错误", "", MessageIcon::None, MessageButtons::Ok};
inline constexpr Message kEmptyNewPassword{"新密码不能为空", "", MessageIcon::None,
                                           MessageButtons::Ok};
inline constexpr Message kPasswordChanged{"修改成功", "", MessageIcon::None, MessageButtons::Ok};

// --- the rename dialog
inline constexpr Message kEmptyPlanName{"计划名不能为空", "", MessageIcon::None,
                                        MessageButtons::Ok};

// --- the prompt-point editor
inline constexpr Message kTooManyPoints{"最多只能加5个提示点", "已达到最大提示点数",
                                        MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kNoPointToMoveUp{"请先选择要上移的提示点项目", "", MessageIcon::None,
                                          MessageButtons::Ok};
inline constexpr Message kNoPointToMoveDown{"请先选择要下移的提示点项目", "", MessageIcon::None,
                                            MessageButtons::Ok};
inline constexpr Message kPointAtTop{"已经到顶", "", MessageIcon::None, MessageButtons::Ok};
inline constexpr Message kPointAtBottom{"已经到底", "", MessageIcon::None, MessageButtons::Ok};
inline constexpr Message kAskDropPointFields{"确定不保存修改或增加提示点吗？", "请确认",
                                             MessageIcon::Question, MessageButtons::YesNo};
// The checks of "+", "保存到列表", "上移" and "下移", in their order; what
// the numbers' own rule refuses is told with kInputRefused (store/messages.h).
inline constexpr std::string_view kPleaseComplete = "请补充";
inline constexpr std::string_view kBeCareful = "填的时候要集中注意力";
inline constexpr Message kNoPointDelay{"请输入持续时间", kPleaseComplete, MessageIcon::Information,
                                       MessageButtons::Ok};
inline constexpr Message kNegativePointHours{"时是没有负值的", kBeCareful, MessageIcon::Information,
                                             MessageButtons::Ok};
inline constexpr Message kNegativePointMinutes{"分是没有负值的", kBeCareful,
                                               MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kNegativePointSeconds{"秒是没有负值的", kBeCareful,
                                               MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kNoPointSound{"请选择一个提示音", kPleaseComplete,
                                       MessageIcon::Information, MessageButtons::Ok};
inline constexpr Message kNoPointPlayTime{"请输入提示音播放的持续时间", kPleaseComplete,
                                          MessageIcon::Information, MessageButtons::Ok};

}  // namespace temvik

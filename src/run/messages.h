#pragma once

#include "platform/prompts.h"
#include "run/run_item.h"

namespace temvik {

// The boxes of a run.

// "从头开始" while the editor holds unsaved changes.
inline constexpr Message kAskDropEdits{"你确定不保存修改吗？", "询问", MessageIcon::Question,
                                       MessageButtons::YesNo};
// "从头开始" with an empty list.
inline constexpr Message kNothingToRun{"并没有计划以供执行", "", MessageIcon::None,
                                       MessageButtons::Ok};
// The run window's close box.
inline constexpr Message kAskGiveUp{"你确定不坚持下去了吗？", "确定退出", MessageIcon::Question,
                                    MessageButtons::YesNo};

// An item refused by the start checks (startRefusal): its own text and title.
[[nodiscard]] constexpr Message startRefusedMessage(const StartRefusal& refusal) {
  return {refusal.text, refusal.title, MessageIcon::Information, MessageButtons::Ok};
}

}  // namespace temvik

#pragma once

#include <string>
#include <string_view>

#include "platform/prompts.h"

namespace temvik {

// Which list the item in the editor came from; it decides which save runs.
enum class ActiveList { Unset, Sequential, Timed };

// State the windows of the program share: the main window, the run and the
// dialogs all read and change it.
struct AppState {
  std::string sequentialName;  // "默认计划" when the file has none
  std::string timedName;       // "默认同步" when the file has none
  // The administrator password as the item file holds it (store/password.h):
  // its hash, a plain value of an earlier version, or empty for none.
  std::string password;
  bool rights = true;  // administrator rights held
  ActiveList activeList = ActiveList::Unset;
  bool unsavedEdit = false;  // the editor changed since the last load, add or save

  // The sequential plan is read-only: a password is stored and not entered.
  // Every path that would change the plan or its marks asks this first and,
  // while it holds, refuses with tellEditLocked; the editor stays disabled.
  [[nodiscard]] bool editLocked() const { return !password.empty() && !rights; }
};

// What a change refused by the edit lock says.
inline constexpr std::string_view kEditLockedText =
    "没有管理权限，不能修改计划。请先在“管理”菜单中选择“获取管理权限”。";

// Tells that the edit lock refused a change. Every refusal takes this one
// form: the text above in an information box.
inline void tellEditLocked(Prompts& prompts, const Window* owner) {
  inform(prompts, owner, kEditLockedText);
}

}  // namespace temvik

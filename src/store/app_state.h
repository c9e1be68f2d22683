#pragma once

#include <string>
#include <string_view>

namespace temvik {

// Why a change of the sequential plan is refused while it is read-only.
inline constexpr std::string_view kEditLockedMessage =
    "计划已被管理密码锁定，不能修改。请先在“管理”菜单中获取管理权限。";

// Which list the item in the editor came from; it decides which save runs.

enum class ActiveList { Unset, Sequential, Timed };

// State the windows of the program share: the main window, the run and the
// dialogs all read and change it.
struct AppState {
  std::string sequentialName;  // "默认计划" when the file has none
  std::string timedName;       // "默认同步" when the file has none
  std::string password;        // empty: none stored
  bool rights = true;          // administrator rights held
  ActiveList activeList = ActiveList::Unset;
  bool unsavedEdit = false;  // the editor changed since the last load, add or save

  // The sequential plan is read-only: a password is stored and not entered.
  [[nodiscard]] bool editLocked() const { return !password.empty() && !rights; }
};

}  // namespace temvik

#pragma once

#include <string>

#include "store/settings.h"

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
  // The program's settings as settings.ini holds them (ui/main/program_options
  // reads and changes them).
  SettingsValues settings;

  // The sequential plan is read-only: a password is stored and not entered.
  // Every path that would change the plan or its marks asks this first and,
  // while it holds, refuses with the one box kEditLocked (store/messages.h);
  // the editor stays disabled.
  [[nodiscard]] bool editLocked() const { return !password.empty() && !rights; }
  // Strict mode holds: it is set, and a password is stored to ask for.
  // Whatever would end or shorten a run then asks for the password first.
  [[nodiscard]] bool strictMode() const { return settings.strictMode && !password.empty(); }
};

}  // namespace temvik

#pragma once

#include <string>

namespace temvik {

enum class ActiveList { Unset, Sequential, Timed };

// State the main window shares with the windows it opens.
struct AppState {
  std::string sequentialName;  // "默认计划" when the file has none
  std::string timedName;       // "默认同步" when the file has none
  std::string password;        // empty: none stored
  bool rights = true;          // administrator rights held
  ActiveList activeList = ActiveList::Unset;
  bool unsavedEdit = false;  // the editor changed since the last load, add or save
};

}  // namespace temvik

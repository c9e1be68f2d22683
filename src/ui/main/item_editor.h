#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"

namespace temvik {

// The working copy of one task item: the editor controls on the right of
// the main window and the option values that add and save write.
struct EditorValues {
  bool runProgram = false;
  bool exitApp = false;
  bool endProcesses = false;
  bool forbid = false;
  bool shutdown = false;
  bool restart = false;
  bool logOff = false;
  bool lock = false;
  bool media = true;
  bool useDefault = true;
  std::string programList;
  std::string processList;
  std::string forbiddenList;
  std::string mediaPath;
  long long playSeconds = 10;
};

class ItemEditor {
 public:
  explicit ItemEditor(Window& window) : window_(window) {}

  [[nodiscard]] const EditorValues& values() const { return values_; }
  EditorValues& values() { return values_; }

  // Blanks the editor and clears the selection of both lists.
  void reset();
  // Applies the design's media check boxes to the media controls and flags.
  void applyMediaDesign();
  // Disables every editing control while a stored password is not entered.
  void applyEditLock();

 private:
  Window& window_;
  EditorValues values_;
};

}  // namespace temvik

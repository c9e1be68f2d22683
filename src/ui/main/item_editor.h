#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"
#include "store/plan_store.h"

namespace temvik {

// A prompt point as the editor keeps it: name, packed delay/play time, sound.
struct EditorPromptPoint {
  std::string name;
  std::int64_t packed = 0;
  std::string sound;
};

// The option values of the item in the editor. The check boxes show them,
// but these, not the boxes, are what add and save write.
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
  std::vector<EditorPromptPoint> promptPoints;
};

// The right-hand side of the main window: the working copy of one item and
// the rules by which its check boxes enable and disable each other.
class ItemEditor {
 public:
  explicit ItemEditor(Window& window) : window_(window) {}

  [[nodiscard]] const EditorValues& values() const { return values_; }
  EditorValues& values() { return values_; }

  // Blanks the editor and clears the selection of both lists.
  void reset();
  // Fills the editor from a stored item (after a reset).
  void load(const ItemRecord& item);
  // The item record the editor holds, as add and save write it.
  [[nodiscard]] ItemRecord record() const;

  // Applies the design's media check boxes to the media controls and flags.
  void applyMediaDesign();
  // Disables every editing control while a stored password is not entered.
  void applyEditLock();
  // The rule of a check box after the user clicked it.
  void checkBoxClicked(ControlId box);
  // Keeps the play seconds in step with the play-time box.
  void playTimeTyped();
  void setMediaPath(const std::string& path);

  [[nodiscard]] static bool isCheckBox(ControlId id);
  [[nodiscard]] static bool isEditBox(ControlId id);

 private:
  void powerTicked(ControlId box);
  void powerUnticked(ControlId box);
  void mediaPathRule();
  bool& powerFlag(ControlId box);

  Window& window_;
  EditorValues values_;
};

}  // namespace temvik

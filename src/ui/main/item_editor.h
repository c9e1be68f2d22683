#pragma once

#include <functional>
#include <string>
#include <utility>

#include "platform/window.h"
#include "run/run_item.h"
#include "store/app_state.h"
#include "store/item_options.h"
#include "store/plan_store.h"
#include "ui/dialogs/prompt_point_editor.h"

namespace temvik {

// The right-hand side of the main window: the working copy of one item and
// the rules by which its check boxes enable and disable each other.
class ItemEditor {
 public:
  // While `state` says the plan is locked, every reset and load ends with
  // the edit lock, so no path enables the editor without the rights.
  ItemEditor(Window& window, const AppState& state) : window_(window), state_(state) {}

  [[nodiscard]] const ItemOptions& values() const { return values_; }
  ItemOptions& values() { return values_; }

  // Blanks the editor and clears the selection of both lists; enables its
  // inputs unless the plan is locked.
  void reset();
  // Fills the editor from a stored item (after a reset); locked as reset.
  void load(const ItemRecord& item);
  // The item record the editor holds, as add and save write it.
  [[nodiscard]] ItemRecord record() const;
  // The item as the editor shows it, for a run.
  [[nodiscard]] RunItem runItem() const;

  // What the editor shows once it loaded `item`, without a window: the
  // lists and the start checks take every row so, in one read of the file.
  [[nodiscard]] static RunItem shownAfterLoad(const ItemRecord& item);
  // The record add and save write for an item as shown.
  [[nodiscard]] static ItemRecord recordOf(const RunItem& shown);

  // Applies the design's media check boxes to the media controls and flags.
  void applyMediaDesign();
  // Disables every editing control while a stored password is not entered.
  void applyEditLock();
  // The rule of a check box after the user clicked it.
  void checkBoxClicked(ControlId box);
  // Keeps the play seconds in step with the play-time box.
  void playTimeTyped();
  void setMediaPath(const std::string& path);
  // The prompt-point window follows every load and reset of the editor.
  void attachPromptPoints(PromptPointEditor& points) { points_ = &points; }
  // Runs first on every reset and load, and on the edit lock: whatever was
  // opened on the item the editor holds lets go of it before it changes.
  void onLeavingItem(std::function<void()> hook) { leavingItem_ = std::move(hook); }

  [[nodiscard]] static bool isCheckBox(ControlId id);
  [[nodiscard]] static bool isEditBox(ControlId id);

 private:
  void powerTicked(ControlId box);
  void powerUnticked(ControlId box);
  void mediaRule();
  void mediaPathRule();
  bool& powerFlag(ControlId box);

  void keepLocked();
  void leaveItem() const {
    if (leavingItem_) leavingItem_();
  }

  Window& window_;
  const AppState& state_;
  ItemOptions values_;
  PromptPointEditor* points_ = nullptr;
  std::function<void()> leavingItem_;
};

}  // namespace temvik

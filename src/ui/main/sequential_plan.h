#pragma once

#include <string>
#include <vector>

#include "platform/prompts.h"
#include "platform/window.h"
#include "run/run_item.h"
#include "store/app_state.h"
#include "store/ini.h"
#include "store/plan_store.h"
#include "ui/main/item_editor.h"

namespace temvik {

// The sequential list and its item file: loading a row into the editor,
// add, save, move, delete and clearing the finished marks. Every change is
// written at once, and the list is refilled from the files. While the plan
// is locked (AppState::editLocked) every change is refused with one message.
class SequentialPlan {
 public:
  SequentialPlan(Window& window, ItemEditor& editor, PlanStore& store, Prompts& prompts,
                 AppState& state)
      : window_(window), editor_(editor), store_(store), prompts_(prompts), state_(state) {}

  // Fills the list from the item file, with or without the finished marks.
  void refill(bool withMarks);
  // Loads a row's item into the editor; the row stays selected.
  void loadRow(int row);
  void add();
  // Writes the editor over the selected row; false when refused.
  bool save();
  void moveUp();
  void moveDown();
  void deleteSelected();
  void clearMarks();
  // A press on the list while the editor holds unsaved changes.
  void askToSaveEdits();
  // "继续未完成" is offered when some rows are finished and some are not.
  void applyResumeRule();

  [[nodiscard]] bool firstRowFinished() const;
  // The rows as the list shows them.
  [[nodiscard]] std::vector<std::string> rows() const;
  // Every row's item as the editor would show it once loaded, from one
  // read of the item file.
  [[nodiscard]] std::vector<RunItem> shownItems() const;

 private:
  // True, after telling the user, when the edit lock forbids a change.
  bool refusedWhileLocked();
  void loadRowFrom(const IniDocument& items, int row);
  void showRows(const std::vector<std::string>& rows);
  void move(int offset);
  void rewriteThroughEditor(IniDocument& items);
  static void passwordLast(IniDocument& items);
  // Whether the list shows these items of its file; refills it when not.
  bool listShows(const std::vector<ListItem>& items);
  // True, after telling the user, when the item file holds a section of
  // this name already: a section that is no item (a note, say), which the
  // new item would otherwise take over.
  bool sectionTaken(const IniDocument& items, const std::string& content);
  void writePlanNames();
  // Refuses a content that cannot name a section, or numbers that cannot
  // be counted, with a message; true when the editor's item can be stored.
  bool inputAcceptable(const std::string& content);

  Window& window_;
  ItemEditor& editor_;
  PlanStore& store_;
  Prompts& prompts_;
  AppState& state_;
};

}  // namespace temvik

#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/short_lived_window.h"
#include "run/run_controller.h"
#include "store/app_state.h"
#include "store/ini.h"
#include "store/plan_store.h"
#include "timed/set_sync_dialog.h"
#include "timed/timed_host.h"
#include "timed/timed_schedule.h"

namespace temvik {

// The main window's controls the timed plan works on.
struct TimedListIds {
  ControlId sequentialList = 0;  // 非同步框
  ControlId timedList = 0;       // 同步框
  MenuItemId menuTitle = 0;      // 同步名, the title item of the context menu
  std::string_view menu;         // "列表2右键菜单"
};

// The timed list 同步框 and its files "\out.ini" and "\fin.ini": loading,
// saving, moving items in from the sequential list, cancelling them, and
// the scheduler that starts and expires them. The list's start times are
// held in memory, in step with the file: every change of the file goes
// through here, and every fill of the list reads the file again.
class TimedPlan {
 public:
  TimedPlan(Services& services, PlanStore& store, AppState& state, TimedHost& host,
            RunController& run, Window& window, const TimedListIds& ids);

  // --- the list
  // Fills 同步框 from the files; no row is selected afterwards.
  void loadList();
  // Loads the selected row's item into the editor (the selection changed).
  void loadSelectedRow();
  // Writes the editor into the selected row's record; false when refused.
  bool save();
  void cancelSync();

  // --- events of 同步框 routed here by the main window
  void leftPressed();  // before the click moves the selection
  void rightPressed();
  void rightReleased();
  void keyPressed(int virtualKey);
  void doubleClicked();

  // "设置同步", "添加到同步", "编辑".
  void setSyncCommand();
  // OK of the set-sync dialog with the start and repeat its controls hold.
  // False when refused (the dialog stays open).
  bool setSyncAccepted(const DateTime& start, const std::string& sound, Repeat repeat);

  // The 500 ms tick of 时钟1.
  void tick();
  // Sets the computer's wake for the earliest start still ahead, while the
  // setting asks for it, or for none. Every change of the list's starts
  // calls it, and so do each tick and a change of the setting.
  void wakeForNextStart();

  // --- state the editor shares
  [[nodiscard]] const DateTime& editorStartTime() const { return editorStart_; }
  [[nodiscard]] const std::string& editorStartSound() const { return editorSound_; }
  [[nodiscard]] SetSyncDialog& setSyncDialog() { return dialog_; }
  [[nodiscard]] const std::vector<TimedSlot>& slots() const { return slots_; }

 private:
  bool acceptStart(const DateTime& start, const std::string& sound, Repeat repeat);
  void showDocuments(const IniDocument& items, const IniDocument& marks);
  void loadRowFrom(const IniDocument& items, int row);
  // The list as its file holds it, after an editor reset.
  void showFileAfresh(const IniDocument& items);
  // Rewrites both files without the given rows (ascending), and with the
  // moved starts, in one rewrite; only the item file when no row goes.
  // False, with the list shown afresh and nothing written, when the list
  // does not show the file any more.
  bool rewriteRows(const std::vector<int>& removed, const std::vector<MovedStart>& moved = {});
  // Moves the sequential item the dialog was opened for; false when refused.
  bool moveToTimedList(const DateTime& start, const std::string& sound, Repeat repeat);
  void startDueItem(int row);
  void timedNameFallsBack();
  [[nodiscard]] bool timedNameTaken(const std::string& section) const;
  // The row of a section, -1 when the list has none.
  [[nodiscard]] int rowOf(const std::string& section) const;
  [[nodiscard]] std::vector<std::string> rows() const;

  Services& services_;
  PlanStore& store_;
  AppState& state_;
  TimedHost& host_;
  RunController& run_;
  Window& window_;
  const TimedListIds ids_;
  RetiredWindows closedDialogs_;
  SetSyncDialog dialog_;

  std::vector<TimedSlot> slots_;  // one per row of 同步框
  DateTime editorStart_;
  std::string editorSound_;
  // The loaded item's "重复" as stored, which its save writes back.
  std::string editorRepeat_;
  // The stored start text of the loaded item when it names no date-time.
  std::optional<std::string> keptStartText_;
  int sourceIndex_ = -1;    // the sequential row the open dialog moves, or -1
  std::string sourceName_;  // the section it was opened for, to find it unchanged at OK
  std::optional<std::int64_t> lastTick_;  // the second of the previous tick
  std::set<StartedItem> started_;         // what ticks started, while in the list
  std::optional<StartedItem> running_;    // the item the last timed run started
  bool inTick_ = false;
  // Items whose expiry could not be written: not tried again in every tick.
  std::set<std::string> unremovable_;
  std::optional<DateTime> wakeFor_;  // the start the wake was last set for
};

}  // namespace temvik

#pragma once

#include <functional>
#include <string>

#include "platform/services.h"
#include "platform/short_lived_window.h"
#include "run/change_time_dialog.h"
#include "run/content_note_window.h"
#include "run/give_up_dialog.h"
#include "run/item_finished_dialog.h"
#include "run/plan_complete_window.h"
#include "run/power_notice.h"
#include "run/run_history.h"
#include "run/run_host.h"
#include "run/run_item.h"
#include "run/run_state.h"
#include "run/run_window.h"
#include "store/app_state.h"
#include "store/plan_store.h"

namespace temvik {

// Starts a run, goes from item to item and ends it. Reaches the lists and
// the editor only through its host.
class RunController {
 public:
  RunController(Services& services, PlanStore& store, AppState& app, RunHost& host);
  ~RunController();
  RunController(const RunController&) = delete;
  RunController& operator=(const RunController&) = delete;

  void startFromBeginning();
  void continueUnfinished();
  // A timed item is due: whatever runs or asks gives way to it, the run's
  // windows and the host's dialogs.
  void giveWayToTimedStart();
  // The timed item is loaded into the editor already; its start sound plays
  // as its run window opens.
  void startTimedRun(const std::string& startSound);

  // The end timer of the run window fired.
  void itemEnd();
  // "是", or its automatic choice, in the item-finished dialog.
  void nextItem();
  // "对 ， 我 想 放 弃" in the give-up dialog.
  void giveUp();
  // The run stopped short: the main window comes back.
  void backToMain(bool refillSequential);
  // Starts the end sound of the item that just ended.
  void startEndSound(MediaPlayer& player);
  // Holds the computer awake while the run window or the item-finished
  // dialog is open and the setting asks for it, and lets it sleep again
  // otherwise. Those two windows call it as they open and close, whatever
  // closes them; the settings call it when the setting changes.
  void keepAwakeWhileRunning();
  // Runs `action` at once, or, in strict mode, once the administrator
  // password was given in a dialog over `owner` (then after the dialog,
  // when the window it acts on may have gone). Every way the user has to
  // end or shorten a run goes through here.
  void withAdministrator(Window& owner, std::function<void()> action);
  [[nodiscard]] bool strictMode() const { return app_.strictMode(); }

  [[nodiscard]] Services& services() { return services_; }
  [[nodiscard]] RunHost& host() { return host_; }
  [[nodiscard]] RunState& state() { return state_; }
  [[nodiscard]] RunHistory& history() { return history_; }
  [[nodiscard]] RetiredWindows& retired() { return retired_; }
  [[nodiscard]] RunWindow& runWindow() { return runWindow_; }
  [[nodiscard]] ItemFinishedDialog& itemFinished() { return itemFinished_; }
  [[nodiscard]] GiveUpDialog& giveUpDialog() { return giveUp_; }
  [[nodiscard]] ChangeTimeDialog& changeTime() { return changeTime_; }
  [[nodiscard]] PlanCompleteWindow& planComplete() { return planComplete_; }
  [[nodiscard]] ContentNoteWindow& contentNote() { return contentNote_; }
  [[nodiscard]] PowerNotice& powerNotice() { return powerNotice_; }

 private:
  void start(const RunItem& item);
  // The main window closes, which ends the program, and the forced action
  // is asked of the system.
  void carryOut(PowerAction action);

  Services& services_;
  PlanStore& store_;
  AppState& app_;
  RunHost& host_;
  RunState state_;
  RunHistory history_{services_};
  bool holdingAwake_ = false;
  // Declared before the windows, so that it outlives them.
  RetiredWindows retired_;
  RunWindow runWindow_{*this};
  ItemFinishedDialog itemFinished_{*this};
  GiveUpDialog giveUp_{*this};
  ChangeTimeDialog changeTime_{*this};
  PlanCompleteWindow planComplete_{*this};
  ContentNoteWindow contentNote_{*this};
  PowerNotice powerNotice_{services_, retired_};
};

}  // namespace temvik

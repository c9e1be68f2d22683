#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/services.h"
#include "run/run_state.h"
#include "run/run_windows.h"
#include "store/plan_store.h"
#include "ui/main/app_state.h"
#include "ui/main/item_editor.h"
#include "ui/main/sequential_plan.h"

namespace temvik {

// What a run needs of the main window.
struct RunHost {
  Services& services;
  Window& mainWindow;
  ItemEditor& editor;
  SequentialPlan& plan;
  PlanStore& store;
  AppState& app;
  // Fills the timed list again from its files.
  std::function<void()> refillTimedList;
};

// Starts a run, goes from item to item and ends it.
class RunController {
 public:
  explicit RunController(RunHost host);
  ~RunController();

  void startFromBeginning();
  void continueUnfinished();
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

  [[nodiscard]] RunState& state() { return state_; }
  [[nodiscard]] RunHost& host() { return host_; }
  [[nodiscard]] RunWindow& runWindow() { return runWindow_; }
  [[nodiscard]] ItemFinishedDialog& itemFinished() { return itemFinished_; }
  [[nodiscard]] GiveUpDialog& giveUpDialog() { return giveUp_; }
  [[nodiscard]] ChangeTimeDialog& changeTime() { return changeTime_; }
  [[nodiscard]] PlanCompleteWindow& planComplete() { return planComplete_; }
  [[nodiscard]] ContentNoteWindow& contentNote() { return contentNote_; }

  // Keeps a closed window alive until no handler of it can be running.
  void retire(std::unique_ptr<Window> window);
  // Starts the end sound of the item that just ended.
  void startEndSound(MediaPlayer& player);

 private:
  bool checkItem(int row);
  void selectAndLoad(int row);
  void prepare();

  RunHost host_;
  RunState state_;
  RunWindow runWindow_{*this};
  ItemFinishedDialog itemFinished_{*this};
  GiveUpDialog giveUp_{*this};
  ChangeTimeDialog changeTime_{*this};
  PlanCompleteWindow planComplete_{*this};
  ContentNoteWindow contentNote_{*this};
  std::vector<std::unique_ptr<Window>> retired_;
};

}  // namespace temvik

#include "run/run_controller.h"

#include <utility>

#include "run/end_actions.h"
#include "run/messages.h"
#include "store/store_error.h"
#include "store/text.h"

namespace temvik {

RunController::RunController(Services& services, PlanStore& store, AppState& app, RunHost& host)
    : services_(services), store_(store), app_(app), host_(host) {
  history_.recoverLeftover();
}
RunController::~RunController() {
  history_.programEnds();
  // The program ends: its windows go without closing first.
  if (holdingAwake_) services_.power.holdAwake(false);
}

void RunController::keepAwakeWhileRunning() {
  const bool on = app_.settings.stayAwake && (runWindow_.isOpen() || itemFinished_.isOpen());
  if (on == holdingAwake_) return;
  holdingAwake_ = on;
  services_.power.holdAwake(on);
}

void RunController::startFromBeginning() {
  retired_.release();  // started from the main window: no run window is busy
  if (app_.unsavedEdit) {
    const auto answer = show(services_.prompts, &host_.mainWindow(), kAskDropEdits);
    if (answer != MessageAnswer::Yes) return;
    app_.unsavedEdit = false;  // the loads below drop the changes
  }
  // Every item is checked; the first that cannot start is shown in the
  // editor with the reason.
  const std::vector<RunItem> items = host_.sequentialItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (const auto refusal = startRefusal(items[i])) {
      host_.loadSequential(static_cast<int>(i));
      show(services_.prompts, &host_.mainWindow(), startRefusedMessage(*refusal));
      return;
    }
  }
  if (items.empty()) {
    show(services_.prompts, &host_.mainWindow(), kNothingToRun);
    return;
  }
  state_.position = 0;
  state_.kind = RunKind::Sequential;
  history_.newRun();
  start(host_.loadSequential(0));
}

void RunController::continueUnfinished() {
  retired_.release();
  const int first = firstUnfinishedRow(host_.sequentialRows());
  if (first < 0) return;  // nothing left to run
  state_.position = first;
  state_.kind = RunKind::Sequential;
  history_.newRun();
  start(host_.loadSequential(first));
}

void RunController::giveWayToTimedStart() {
  history_.end(HistoryEnd::CutByTimed);
  // In this order: the run window's timers stop before the item-finished
  // dialog it may have opened goes.
  planComplete_.close();
  if (runWindow_.isOpen()) {
    runWindow_.stopTimers();
    runWindow_.close();
  }
  giveUp_.close();
  host_.closeDialogsForTimedStart();
  itemFinished_.close();
}

void RunController::startTimedRun(const std::string& startSound) {
  state_.kind = RunKind::Timed;
  state_.startSound = startSound;
  history_.newRun();
  start(host_.editorItem());
}

void RunController::start(const RunItem& item) {
  state_.remaining =
      normalized({numberValue(item.hours), numberValue(item.minutes), numberValue(item.seconds)});
  state_.content = item.content;
  state_.options = item.options;
  history_.begin(item.content, static_cast<std::int64_t>(totalMs(state_.remaining) / 1000),
                 state_.kind == RunKind::Timed ? HistorySource::Timed : HistorySource::Sequential);
  host_.mainWindow().hide();
  runWindow_.open();
}

void RunController::itemEnd() {
  runWindow_.stopTimers();
  runWindow_.close();
  services_.sound.stopMusic();
  giveUp_.close();

  const ItemOptions& o = state_.options;
  const std::vector<std::string> programs = commaListEntries(o.programList);
  const std::vector<std::string> processes = commaListEntries(o.processList);
  const PowerAction action = o.shutdown  ? PowerAction::ShutDown
                             : o.restart ? PowerAction::Restart
                                         : PowerAction::LogOff;
  const bool power = o.shutdown || o.restart || o.logOff;
  const int noticeSeconds = app_.settings.powerNoticeSeconds;
  // The record tells the end actions taken, in their order.
  std::string taken;
  auto took = [&taken](std::string_view words) {
    if (!taken.empty()) taken += "、";
    taken += words;
  };
  if (o.runProgram && !programs.empty()) took("运行程序");
  if (o.endProcesses && !processes.empty()) took("结束进程");
  const std::string_view powerWords = action == PowerAction::ShutDown  ? "关机"
                                      : action == PowerAction::Restart ? "重启"
                                                                       : "注销";
  if (power && noticeSeconds <= 0)
    took(powerWords);
  else if (!power && o.exitApp)
    took("退出软件");
  else if (!power && o.lock)
    took("锁定");
  if (power && noticeSeconds > 0)
    history_.endAndHold(history_.finishedWay(), taken);  // the notice may be cancelled
  else
    history_.end(history_.finishedWay(), taken);

  if (o.runProgram)
    for (const auto& program : programs) services_.shell.open(program);
  if (o.endProcesses) endProcessesNamed(services_.processes, processes);
  if (state_.kind == RunKind::Sequential) {
    ++state_.position;
    try {
      store_.write(kMarkFile, state_.content, kMarkKey, kFinishedMark);
    } catch (const StoreError& error) {
      // The item is over all the same; the user learns that its mark is not.
      reportStoreError(services_.prompts, nullptr, error);
    }
  }

  if (power) {
    const int seconds = noticeSeconds;
    if (seconds <= 0) {
      carryOut(action);
      return;
    }
    // 取消 keeps the computer on and ends the run as giving up does.
    powerNotice_.open(host_.mainWindow(), action, seconds,
                      {.carryOut =
                           [this, action, powerWords] {
                             history_.release(powerWords);
                             carryOut(action);
                           },
                       .cancelled =
                           [this] {
                             history_.release();
                             giveUp();
                           },
                       .allowCancel =
                           [this](Window& over, std::function<void()> allowed) {
                             withAdministrator(over, std::move(allowed));
                           }});
    return;
  }
  if (o.exitApp) {
    host_.mainWindow().close();
    return;
  }
  if (o.lock) {
    services_.shell.run(std::string(kLockCommand));
    // Back at the desk the plan is where it was left, not lost behind a lock.
    backToMain(true);
    return;
  }
  if (state_.kind == RunKind::Timed || state_.position >= host_.sequentialCount())
    planComplete_.open();
  else
    itemFinished_.open();
}

void RunController::carryOut(PowerAction action) {
  carryOutPower(host_.mainWindow(), services_.power, action);
}

void RunController::nextItem() {
  try {
    start(host_.loadSequential(state_.position));
  } catch (const StoreError& error) {
    reportStoreError(services_.prompts, nullptr, error);
    backToMain(true);
  }
}

void RunController::giveUp() {
  history_.end(HistoryEnd::GivenUp);
  giveUp_.close();
  if (runWindow_.isOpen()) {
    runWindow_.stopTimers();
    runWindow_.close();
  }
  itemFinished_.close();
  host_.refillSequential();
  host_.refillTimed();
  host_.mainWindow().show();
  host_.applyResumeRule();
}

void RunController::backToMain(bool refillSequential) {
  // The run window was closed under the item.
  history_.end(HistoryEnd::GivenUp);
  if (refillSequential) host_.refillSequential();
  host_.mainWindow().show();
  host_.mainWindow().activate();
  // The rows may have changed since the window last became active.
  host_.applyResumeRule();
}

void RunController::withAdministrator(Window& owner, std::function<void()> action) {
  if (app_.strictMode())
    host_.confirmAdministrator(owner, std::move(action));
  else
    action();
}

void RunController::startEndSound(MediaPlayer& player) {
  const ItemOptions& o = state_.options;
  if (!o.media) return;
  if (o.useDefault)
    services_.sound.playMusicLoop();
  else
    playMedia(player, services_.shell, o.mediaPath);
}

}  // namespace temvik

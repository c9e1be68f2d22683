#include "run/run_controller.h"

#include "run/end_actions.h"
#include "ui/main/main_window_ids.h"

namespace temvik {

using namespace main_ids;

RunController::RunController(RunHost host) : host_(std::move(host)) {}
RunController::~RunController() = default;

void RunController::retire(std::unique_ptr<Window> window) {
  if (window) retired_.push_back(std::move(window));
}

void RunController::selectAndLoad(int row) {
  host_.mainWindow.listSelect(kSequentialList, row);
  host_.plan.loadRow(row);
}

bool RunController::checkItem(int row) {
  selectAndLoad(row);
  const Window& w = host_.mainWindow;
  const EditorValues& v = host_.editor.values();
  auto refuse = [&](std::string_view text, std::string_view title) {
    host_.services.prompts.message(&host_.mainWindow, text, title, MessageIcon::Information,
                                   MessageButtons::Ok);
    return false;
  };
  auto blankOrZero = [&](ControlId id) {
    const std::string t = w.text(id);
    return t.empty() || t == "0";
  };
  if (blankOrZero(kHours) && blankOrZero(kMinutes) && blankOrZero(kSeconds))
    return refuse("请输入持续时间", "请补充");
  if (numberValue(w.text(kHours)) < -kTolerance)
    return refuse("时是没有负值的", "填的时候要集中注意力");
  if (numberValue(w.text(kMinutes)) < -kTolerance)
    return refuse("分是没有负值的", "填的时候要集中注意力");
  if (numberValue(w.text(kSeconds)) < -kTolerance)
    return refuse("秒是没有负值的", "填的时候要集中注意力");
  if (w.isChecked(kRunProgram) && v.programList.empty())
    return refuse("请选择一个程序以供到时间执行", "请选择程序");
  if (w.isChecked(kMedia) && !w.isChecked(kUseDefault) && w.text(kMediaPath).empty())
    return refuse("请选择一个提示音以供到时间播放", "请选择提示音");
  if (w.isChecked(kEndProcesses) && v.processList.empty())
    return refuse("请提供完成后要结束的进程", "请补充");
  if (!w.isChecked(kExitWhenDone) && w.isChecked(kMedia) && w.text(kPlayTime).empty())
    return refuse("请输入持续播放提示音的时间", "请补充");
  if (w.isChecked(kForbidProcesses) && v.forbiddenList.empty())
    return refuse("请提供执行中要禁止的进程", "请补充");
  return true;
}

void RunController::startFromBeginning() {
  retired_.clear();  // started from the main window: no run window is busy
  AppState& app = host_.app;
  if (app.unsavedEdit) {
    const auto answer =
        host_.services.prompts.message(&host_.mainWindow, "你确定不保存修改吗？", "询问",
                                       MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) return;
    app.unsavedEdit = false;  // the loads below drop the changes
  }
  const int n = host_.mainWindow.listCount(kSequentialList);
  for (int i = 0; i < n; ++i)
    if (!checkItem(i)) return;
  if (n == 0) {
    host_.services.prompts.message(&host_.mainWindow, "并没有计划以供执行", "", MessageIcon::None,
                                   MessageButtons::Ok);
    return;
  }
  state_.position = 0;
  state_.kind = RunKind::Sequential;
  selectAndLoad(0);
  prepare();
}

void RunController::continueUnfinished() {
  retired_.clear();
  const Window& w = host_.mainWindow;
  const int n = w.listCount(kSequentialList);
  int first = -1;
  for (int i = 0; i < n && first < 0; ++i)
    if (!isFinishedRow(w.listText(kSequentialList, i))) first = i;
  if (first < 0) return;  // nothing left to run
  state_.position = first;
  state_.kind = RunKind::Sequential;
  selectAndLoad(first);
  prepare();
}

void RunController::startTimedRun(const std::string& startSound) {
  state_.kind = RunKind::Timed;
  state_.startSound = startSound;
  prepare();
}

void RunController::prepare() {
  const Window& w = host_.mainWindow;
  state_.remaining = normalized(
      {numberValue(w.text(kHours)), numberValue(w.text(kMinutes)), numberValue(w.text(kSeconds))});
  state_.content = w.text(kContent);
  state_.playSeconds = host_.editor.values().playSeconds;
  state_.options = host_.editor.values();
  host_.mainWindow.hide();
  runWindow_.open();
}

void RunController::itemEnd() {
  Services& s = host_.services;
  runWindow_.stopTimers();
  runWindow_.close();
  s.sound.stopMusic();
  if (giveUp_.isOpen()) giveUp_.close();

  const EditorValues& o = state_.options;
  if (o.runProgram)
    for (const auto& program : commaListEntries(o.programList)) s.shell.open(program);
  if (o.endProcesses)
    for (const auto& name : commaListEntries(o.processList)) endProcessesNamed(s.processes, name);
  if (state_.kind == RunKind::Sequential) {
    ++state_.position;
    host_.store.write(kMarkFile, state_.content, kMarkKey, kFinishedMark);
  }

  if (o.shutdown || o.restart || o.logOff) {
    const PowerAction action = o.shutdown  ? PowerAction::ShutDown
                               : o.restart ? PowerAction::Restart
                                           : PowerAction::LogOff;
    host_.mainWindow.close();
    s.power.request(action);
    return;
  }
  if (o.exitApp) {
    host_.mainWindow.close();
    return;
  }
  if (o.lock) {
    s.shell.run(std::string(kLockCommand));
    // Back at the desk the plan is where it was left, not lost behind a lock.
    backToMain(true);
    return;
  }
  if (state_.kind == RunKind::Timed ||
      state_.position >= host_.mainWindow.listCount(kSequentialList))
    planComplete_.open();
  else
    itemFinished_.open();
}

void RunController::nextItem() {
  selectAndLoad(state_.position);
  prepare();
}

void RunController::giveUp() {
  if (giveUp_.isOpen()) giveUp_.close();
  if (runWindow_.isOpen()) {
    runWindow_.stopTimers();
    runWindow_.close();
  }
  if (itemFinished_.isOpen()) itemFinished_.close();
  host_.plan.refill(true);
  if (host_.refillTimedList) host_.refillTimedList();
  host_.mainWindow.show();
  host_.plan.applyResumeRule();
}

void RunController::backToMain(bool refillSequential) {
  if (refillSequential) host_.plan.refill(true);
  host_.mainWindow.show();
  host_.mainWindow.activate();
  // The rows may have changed since the window last became active.
  host_.plan.applyResumeRule();
}

void RunController::startEndSound(MediaPlayer& player) {
  const EditorValues& o = state_.options;
  if (!o.media) return;
  if (o.useDefault)
    host_.services.sound.playMusicLoop();
  else
    playMedia(player, host_.services.shell, o.mediaPath);
}

}  // namespace temvik

#include "run/run_windows.h"

#include <cmath>
#include <cstdio>

#include "run/end_actions.h"
#include "run/run_controller.h"
#include "run/run_ids.h"
#include "store/plan_store.h"

namespace temvik {

using namespace run_ids;

namespace {

constexpr std::uint8_t kTranslucentAlpha = 230;
constexpr std::uint64_t kSecondMs = 1000;
constexpr std::uint64_t kForbidWatchMs = 125;
constexpr std::uint64_t kAutoYesMs = 10000;
constexpr int kNoteAbove = 92;

// Whole values print without a fraction.
std::string numberText(double v) {
  if (std::fabs(v - std::round(v)) <= kTolerance) return std::to_string(std::llround(v));
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", v);
  return buffer;
}

}  // namespace

// ------------------------------------------------------------------ designs

const WindowDesign& runWindowDesign() {
  using K = ControlKind;
  // The remaining time's numbers stand flush right against their units.
  auto number = [](ControlId id, std::string_view name, std::string_view identifier, Rect r) {
    ControlDesign c{id, name, identifier, K::Label, r, "", ""};
    c.alignRight = true;
    return c;
  };
  static const WindowDesign design{
      .designName = "执行窗口",
      .title = "计划执行中",
      .rect = {0, 0, 320, 200},
      .centered = true,
      .controls =
          {
              {kRemainingLabel,
               "透明标签4",
               "remainingLabel",
               K::Label,
               {16, 16, 56, 24},
               "剩余：",
               ""},
              number(kHoursValue, "透明标签1", "hoursValue", {76, 16, 40, 24}),
              {kHoursUnit, "透明标签7", "hoursUnit", K::Label, {120, 16, 16, 24}, "时", ""},
              number(kMinutesValue, "透明标签2", "minutesValue", {140, 16, 32, 24}),
              {kMinutesUnit, "透明标签8", "minutesUnit", K::Label, {176, 16, 16, 24}, "分", ""},
              number(kSecondsValue, "透明标签3", "secondsValue", {196, 16, 32, 24}),
              {kSecondsUnit, "透明标签9", "secondsUnit", K::Label, {232, 16, 16, 24}, "秒", ""},
              {kInProgress,
               "透明标签10",
               "inProgress",
               K::Label,
               {16, 48, 200, 20},
               "计划进行中……",
               ""},
              {kContentBox,
               "编辑框1",
               "contentBox",
               K::MultiLineEdit,
               {16, 72, 280, 48},
               "",
               "",
               false,
               true},
              {kGiveUpLabel, "透明标签5", "giveUpLabel", K::Label, {16, 132, 64, 20}, "放 弃", ""},
              {kToTrayLabel,
               "透明标签6",
               "toTrayLabel",
               K::Label,
               {232, 132, 64, 20},
               "到托盘",
               ""},
          },
      .menus = {{"右键菜单",
                 kTrayMenu,
                 true,
                 {{kShowRunWindow, "显示执行窗口", "显示执行窗口"}, {kGiveUpMenu, "放弃", "放弃"}}},
                {"更改时间",
                 kChangeTimeMenu,
                 true,
                 {{kChangeRemaining, "更改剩余时间", "更改剩余时间"}}}},
  };
  return design;
}

const WindowDesign& itemFinishedDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "完成提示窗口",
      .title = "时间到",
      .rect = {0, 0, 340, 170},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kFinishedQuestion,
               "透明标签1",
               "question",
               K::Label,
               {20, 16, 300, 20},
               "一个项目已完成，是否进行下一项目？",
               ""},
              {kCountdownNumber,
               "透明标签2",
               "countdownNumber",
               K::Label,
               {20, 48, 36, 20},
               "10",
               ""},
              {kCountdownText,
               "透明标签3",
               "countdownText",
               K::Label,
               {56, 48, 200, 20},
               "秒钟后自动选“是”",
               ""},
              {kYesButton, "超级按钮1", "yes", K::Button, {60, 84, 80, 28}, "是", ""},
              {kGiveUpButton, "超级按钮2", "giveUp", K::Button, {184, 84, 80, 28}, "放弃", ""},
          },
  };
  return design;
}

const WindowDesign& giveUpDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "放弃窗口",
      .title = "放弃",
      .rect = {0, 0, 320, 140},
      .minimizeBox = false,
      .centered = true,
      .borderless = true,
      .picture = "giveup",
      .controls =
          {
              {kGiveUpQuestion,
               "透明标签4",
               "question",
               K::Label,
               {32, 30, 256, 20},
               "你确定要放弃该计划的执行吗？",
               ""},
              {kKeepGoing,
               "透明标签2",
               "keepGoing",
               K::Label,
               {32, 84, 120, 22},
               "不 ， 我 要 坚 持",
               ""},
              {kConfirmGiveUp,
               "透明标签1",
               "confirmGiveUp",
               K::Label,
               {176, 84, 120, 22},
               "对 ， 我 想 放 弃",
               ""},
          },
  };
  return design;
}

const WindowDesign& changeTimeDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "更改时间窗口",
      .title = "更改剩余时间",
      .rect = {0, 0, 320, 140},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kChangeRemainingLabel,
               "标签9",
               "remainingLabel",
               K::Label,
               {16, 20, 48, 20},
               "剩余：",
               ""},
              {kNewHours, "编辑框1", "hours", K::Edit, {64, 16, 40, 24}, "", ""},
              {kNewHoursUnit, "标签1", "hoursUnit", K::Label, {108, 20, 20, 20}, "时", ""},
              {kNewMinutes, "编辑框2", "minutes", K::Edit, {132, 16, 40, 24}, "", ""},
              {kNewMinutesUnit, "标签2", "minutesUnit", K::Label, {176, 20, 20, 20}, "分", ""},
              {kNewSeconds, "编辑框3", "seconds", K::Edit, {200, 16, 40, 24}, "", ""},
              {kNewSecondsUnit, "标签3", "secondsUnit", K::Label, {244, 20, 20, 20}, "秒", ""},
              {kChangeOk, "透明标签1", "ok", K::Label, {64, 64, 64, 22}, "确 定", ""},
              {kChangeCancel, "透明标签2", "cancel", K::Label, {176, 64, 64, 22}, "取 消", ""},
          },
  };
  return design;
}

const WindowDesign& planCompleteDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "计划完成窗口",
      .title = "计划完成",
      .rect = {0, 0, 320, 150},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kCompleteText,
               "透明标签4",
               "completeText",
               K::Label,
               {24, 24, 260, 24},
               "该计划已完成",
               ""},
              {kBackToMain,
               "透明标签1",
               "backToMain",
               K::Label,
               {32, 72, 100, 22},
               "回到主界面",
               ""},
              {kExitProgramLabel,
               "透明标签2",
               "exitProgram",
               K::Label,
               {184, 72, 100, 22},
               "退出软件",
               ""},
          },
  };
  return design;
}

const WindowDesign& contentNoteDesign() {
  static const WindowDesign design{
      .designName = "内容窗口",
      .title = "刚完成的项目",
      .rect = {0, 0, 320, 88},
      .minimizeBox = false,
      .toolWindow = true,
      .controls = {{kNoteContent,
                    "编辑框1",
                    "content",
                    ControlKind::MultiLineEdit,
                    {4, 4, 296, 48},
                    "",
                    "",
                    false,
                    true}},
  };
  return design;
}

// ------------------------------------------------------------------ base

Window& RunWindowBase::create(const WindowDesign& design, Window* owner) {
  run_.retire(std::move(window_));
  window_ = run_.host().services.ui.createWindow(design, *this, owner);
  window_->setLayered(kTranslucentAlpha);
  return *window_;
}

void RunWindowBase::close() {
  if (isOpen()) window_->close();
}

// ------------------------------------------------------------------ run window

void RunWindow::open() {
  const RunState& s = run_.state();
  Window& w = create(runWindowDesign(), &run_.host().mainWindow);
  w.setText(kContentBox, s.content.empty() ? "无内容" : s.content);
  showLabels();
  w.setTimer(kCountdownTimer, kSecondMs);
  startEndTimer();
  if (s.options.forbid) w.setTimer(kForbidTimer, kForbidWatchMs);
  if (s.kind == RunKind::Timed && !s.startSound.empty()) {
    startSound_ = run_.host().services.sound.createPlayer();
    startSound_->play(s.startSound);
  }
  w.show();
  w.activate();
}

void RunWindow::showLabels() {
  const Duration& r = run_.state().remaining;
  window_->setText(kHoursValue, numberText(r.hours));
  window_->setText(kMinutesValue, numberText(r.minutes));
  window_->setText(kSecondsValue, numberText(r.seconds));
}

void RunWindow::startEndTimer() {
  baseMs_ = run_.host().services.clock.monotonicMs();
  stepsDone_ = 0;
  // A total of zero or less ends the item at once rather than never.
  const std::uint64_t total = totalMs(run_.state().remaining);
  window_->setTimer(kEndTimer, total == 0 ? 1 : total);
}

void RunWindow::changeRemaining(const Duration& remaining) {
  run_.state().remaining = remaining;
  if (isOpen()) startEndTimer();
}

void RunWindow::stopTimers() {
  if (!window_) return;
  for (TimerId id : {kCountdownTimer, kEndTimer, kTrayTimer, kForbidTimer})
    window_->setTimer(id, 0);
}

std::string RunWindow::trayTooltip() const {
  const RunState& s = run_.state();
  return "任务\r\n" + s.content + "\r\n剩余:" + numberText(s.remaining.hours) + "时" +
         numberText(s.remaining.minutes) + "分" + numberText(s.remaining.seconds) + "秒";
}

void RunWindow::onTimer(TimerId id) {
  switch (id) {
    case kCountdownTimer: {
      // One step a tick; a late tick catches up with the clock so the display
      // never lags the end by a second or more.
      const std::uint64_t elapsed = run_.host().services.clock.monotonicMs() - baseMs_;
      const std::uint64_t due = std::max(stepsDone_ + 1, elapsed / kSecondMs);
      for (; stepsDone_ < due; ++stepsDone_) countDownOneSecond(run_.state().remaining);
      showLabels();
      break;
    }
    case kEndTimer:
      window_->setTimer(kEndTimer, 0);
      run_.itemEnd();
      break;
    case kTrayTimer:
      window_->showTrayIcon(trayTooltip());
      break;
    case kForbidTimer:
      forbidTick();
      break;
    default:
      break;
  }
}

void RunWindow::forbidTick() {
  Services& s = run_.host().services;
  for (const auto& name : commaListEntries(run_.state().options.forbiddenList))
    endProcessesNamed(s.processes, name);
}

bool RunWindow::onCloseRequested() {
  const auto answer =
      run_.host().services.prompts.message(window_.get(), "你确定不坚持下去了吗？", "确定退出",
                                           MessageIcon::Question, MessageButtons::YesNo);
  if (answer != MessageAnswer::Yes) return false;
  closingByCode_ = true;
  return true;
}

void RunWindow::onClosed() {
  if (window_) window_->removeTrayIcon();
  if (startSound_) startSound_->stop();
  if (closingByCode_) {
    // Closed by the user: the run stops and the plan comes back on screen.
    closingByCode_ = false;
    run_.backToMain(true);
  }
}

void RunWindow::onClick(ControlId id) {
  if (id == kGiveUpLabel) {
    run_.giveUpDialog().open(*window_);
  } else if (id == kToTrayLabel) {
    window_->showTrayIcon(trayTooltip());
    window_->hide();
    window_->setTimer(kTrayTimer, kSecondMs);
  }
}

void RunWindow::onContextMenu(ControlId id) {
  if (id == 0 || id == kHoursValue || id == kMinutesValue || id == kSecondsValue ||
      id == kRemainingLabel)
    window_->popupMenu(kChangeTimeMenu);
}

void RunWindow::onMenu(MenuItemId id) {
  if (id == kShowRunWindow)
    showFromTray();
  else if (id == kGiveUpMenu)
    run_.giveUpDialog().open(*window_);
  else if (id == kChangeRemaining)
    run_.changeTime().open(*window_);
}

void RunWindow::showFromTray() {
  window_->show();
  window_->removeTrayIcon();
  window_->setTimer(kTrayTimer, 0);
}

void RunWindow::onTrayDoubleClick() { showFromTray(); }
void RunWindow::onTrayRightClick() { window_->popupMenu(kTrayMenu); }

// ------------------------------------------------------------------ item finished

ItemFinishedDialog::ItemFinishedDialog(RunController& run) : RunWindowBase(run) {}

void ItemFinishedDialog::open() {
  RunHost& host = run_.host();
  const RunState& s = run_.state();
  goingOn_ = false;
  Window& w = create(itemFinishedDesign(), &host.mainWindow);
  player_ = host.services.sound.createPlayer();
  run_.startEndSound(*player_);
  if (!s.content.empty()) run_.contentNote().open(host.mainWindow, w, 0);
  w.setText(kCountdownNumber, "10");
  w.setTimer(kLabelTimer, kSecondMs);
  w.setTimer(kAutoYesTimer, kAutoYesMs);
  if (s.options.media) {
    if (s.playSeconds > 0) w.setTimer(kPlayTimer, static_cast<std::uint64_t>(s.playSeconds) * 1000);
    if (s.playSeconds > 10) {
      w.setText(kCountdownNumber, std::to_string(s.playSeconds));
      w.setTimer(kAutoYesTimer, static_cast<std::uint64_t>(s.playSeconds) * 1000);
    }
  }
  host.services.ui.runModal(w);
}

void ItemFinishedDialog::onTimer(TimerId id) {
  Window& w = *window_;
  switch (id) {
    case kLabelTimer:
      w.setText(kCountdownNumber, std::to_string(integerValue(w.text(kCountdownNumber)) - 1));
      break;
    case kPlayTimer:
      run_.host().services.sound.stopMusic();
      w.setTimer(kPlayTimer, 0);
      break;
    case kAutoYesTimer:
      w.setTimer(kAutoYesTimer, 0);
      w.setEnabled(kYesButton, false);
      goOn();
      break;
    default:
      break;
  }
}

void ItemFinishedDialog::goOn() {
  goingOn_ = true;
  close();
  run_.nextItem();
}

void ItemFinishedDialog::onClick(ControlId id) {
  if (id == kYesButton)
    goOn();
  else if (id == kGiveUpButton)
    run_.giveUpDialog().open(*window_);
}

void ItemFinishedDialog::onClosed() {
  run_.contentNote().close();
  run_.host().services.sound.stopMusic();
  if (player_) player_->stop();
  if (!goingOn_) run_.backToMain(false);
}

// ------------------------------------------------------------------ give up

void GiveUpDialog::open(Window& owner) {
  Window& w = create(giveUpDesign(), &owner);
  run_.host().services.ui.runModal(w);
}

void GiveUpDialog::onClick(ControlId id) {
  if (id == kKeepGoing)
    close();
  else if (id == kConfirmGiveUp)
    run_.giveUp();
}

// ------------------------------------------------------------------ change time

void ChangeTimeDialog::open(Window& owner) {
  Window& w = create(changeTimeDesign(), &owner);
  run_.host().services.ui.runModal(w);
}

void ChangeTimeDialog::onClick(ControlId id) {
  if (id == kChangeOk) {
    const Window& w = *window_;
    // Taken as typed: no range check and no carrying.
    run_.runWindow().changeRemaining({numberValue(w.text(kNewHours)),
                                      numberValue(w.text(kNewMinutes)),
                                      numberValue(w.text(kNewSeconds))});
    close();
  } else if (id == kChangeCancel) {
    close();
  }
}

// ------------------------------------------------------------------ plan complete

PlanCompleteWindow::PlanCompleteWindow(RunController& run) : RunWindowBase(run) {}

void PlanCompleteWindow::open() {
  RunHost& host = run_.host();
  leavingByExit_ = false;
  Window& w = create(planCompleteDesign(), &host.mainWindow);
  player_ = host.services.sound.createPlayer();
  run_.startEndSound(*player_);
  if (!run_.state().content.empty()) run_.contentNote().open(w, w, 10);
  host.services.ui.runModal(w);
}

void PlanCompleteWindow::onMoved(Point) {
  if (run_.contentNote().isOpen()) run_.contentNote().follow(*window_, 10);
}

void PlanCompleteWindow::onClick(ControlId id) {
  RunHost& host = run_.host();
  if (id == kBackToMain) {
    close();
    if (run_.state().kind == RunKind::Timed) {
      if (host.refillTimedList) host.refillTimedList();
    } else {
      host.plan.refill(true);
      host.plan.applyResumeRule();
    }
  } else if (id == kExitProgramLabel) {
    leavingByExit_ = true;
    close();
    host.mainWindow.close();
  }
}

void PlanCompleteWindow::onClosed() {
  RunHost& host = run_.host();
  run_.contentNote().close();
  host.services.sound.stopMusic();
  if (player_) player_->stop();
  if (!leavingByExit_) run_.backToMain(false);
}

// ------------------------------------------------------------------ content note

void ContentNoteWindow::open(Window& owner, const Window& beside, int dx) {
  Window& w = create(contentNoteDesign(), &owner);
  w.setText(kNoteContent, run_.state().content);
  follow(beside, dx);
  w.show();
}

void ContentNoteWindow::follow(const Window& beside, int dx) {
  const Rect b = beside.bounds();
  window_->move({b.x + dx, b.y - kNoteAbove});
}

}  // namespace temvik

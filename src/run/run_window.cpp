#include "run/run_window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "run/change_time_dialog.h"
#include "run/end_actions.h"
#include "run/give_up_dialog.h"
#include "run/messages.h"
#include "run/run_controller.h"

namespace temvik {

using namespace run_ids;

namespace {

constexpr std::uint64_t kSecondMs = 1000;
constexpr std::uint64_t kForbidWatchMs = 125;

TimerId pointTimer(int k) { return static_cast<TimerId>(kPoint1Timer + k - 1); }

// A packed prompt value holds the delay in whole seconds above the three
// low decimal digits and the play seconds in them. Values below zero, which
// only a hand-edited file can hold, count as zero: off.
std::uint64_t pointDelayMs(std::int64_t packed) {
  return packed <= 0 ? 0 : static_cast<std::uint64_t>(packed / 1000) * kSecondMs;
}
std::uint64_t pointPlayMs(std::int64_t packed) {
  return packed <= 0 ? 0 : static_cast<std::uint64_t>(packed % 1000) * kSecondMs;
}

// Whole values print without a fraction.
std::string numberText(double v) {
  if (std::fabs(v - std::round(v)) <= kTolerance) return std::to_string(std::llround(v));
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", v);
  return buffer;
}

}  // namespace

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
              labelButton({kGiveUpLabel,
                           "透明标签5",
                           "giveUpLabel",
                           K::Label,
                           {16, 132, 64, 20},
                           "放 弃",
                           ""}),
              labelButton({kToTrayLabel,
                           "透明标签6",
                           "toTrayLabel",
                           K::Label,
                           {232, 132, 64, 20},
                           "到托盘",
                           ""}),
          },
      // No default and no cancel control: the window stays up while the user
      // works elsewhere, and a stray Enter or Esc must not touch the run.
      // Tab reaches 放 弃 and 到托盘; Enter or Space presses them.
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

void RunWindow::open() {
  const RunState& s = run_.state();
  Window& w = create(runWindowDesign(), &run_.host().mainWindow());
  w.setText(kContentBox, s.content.empty() ? "无内容" : s.content);
  showLabels();
  w.setTimer(kCountdownTimer, kSecondMs);
  startEndTimer();
  if (s.options.forbid) {
    forbidden_ = commaListEntries(s.options.forbiddenList);
    w.setTimer(kForbidTimer, kForbidWatchMs);
  }
  startPointTimer(1);
  if (s.kind == RunKind::Timed && !s.startSound.empty()) {
    startSound_ = run_.services().sound.createPlayer();
    startSound_->play(s.startSound);
  }
  w.show();
  w.activate();
  run_.keepAwakeWhileRunning();
}

void RunWindow::showLabels() {
  const Duration& r = run_.state().remaining;
  window_->setText(kHoursValue, numberText(r.hours));
  window_->setText(kMinutesValue, numberText(r.minutes));
  window_->setText(kSecondsValue, numberText(r.seconds));
}

void RunWindow::startEndTimer() {
  baseMs_ = run_.services().clock.monotonicMs();
  stepsDone_ = 0;
  // A total of zero or less ends the item at once rather than never.
  const std::uint64_t total = totalMs(run_.state().remaining);
  window_->setTimer(kEndTimer, total == 0 ? 1 : total);
}

void RunWindow::changeRemaining(const Duration& remaining) {
  run_.state().remaining = remaining;
  run_.history().remainingChanged();
  if (isOpen()) startEndTimer();
}

void RunWindow::stopTimers() {
  if (!window_) return;
  for (TimerId id : {kCountdownTimer, kEndTimer, kTrayTimer, kForbidTimer, kStopPlayTimer})
    window_->setTimer(id, 0);
  for (int k = 1; k <= kMaxPromptPoints; ++k) window_->setTimer(pointTimer(k), 0);
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
      const std::uint64_t elapsed = run_.services().clock.monotonicMs() - baseMs_;
      const std::uint64_t due = std::max(stepsDone_ + 1, elapsed / kSecondMs);
      for (; stepsDone_ < due; ++stepsDone_) countDownOneSecond(run_.state().remaining);
      showLabels();
      run_.history().tick();
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
    case kStopPlayTimer:
      window_->setTimer(kStopPlayTimer, 0);
      if (pointPlayer_) pointPlayer_->stop();
      break;
    default:
      if (id >= kPoint1Timer && id <= kPoint5Timer)
        promptPointDue(static_cast<int>(id - kPoint1Timer) + 1);
      break;
  }
}

void RunWindow::forbidTick() { endProcessesNamed(run_.services().processes, forbidden_); }

// Each prompt point's delay counts from the one before it; a delay of zero
// leaves its timer off and so ends the chain.
void RunWindow::startPointTimer(int k) {
  const auto& points = run_.state().options.promptPoints;
  if (k > kMaxPromptPoints || static_cast<std::size_t>(k) > points.size()) return;
  window_->setTimer(pointTimer(k), pointDelayMs(points[static_cast<std::size_t>(k) - 1].packed));
}

void RunWindow::promptPointDue(int k) {
  const auto& points = run_.state().options.promptPoints;
  if (static_cast<std::size_t>(k) > points.size()) return;
  const PromptPoint& point = points[static_cast<std::size_t>(k) - 1];
  // The sound before is cut off when the next point is due.
  window_->setTimer(kStopPlayTimer, 0);
  if (k >= 2) window_->setTimer(pointTimer(k - 1), 0);
  if (pointPlayer_)
    pointPlayer_->stop();
  else
    pointPlayer_ = run_.services().sound.createPlayer();
  // A file that cannot be opened plays nothing; the chain goes on.
  if (!point.sound.empty()) pointPlayer_->play(point.sound);
  startPointTimer(k + 1);
  window_->setTimer(kStopPlayTimer, pointPlayMs(point.packed));
  window_->setTimer(pointTimer(k), 0);  // each point sounds once
}

bool RunWindow::onCloseRequested() {
  if (run_.strictMode() && !passwordGiven_) {
    run_.withAdministrator(*window_, [this] {
      if (!isOpen()) return;
      passwordGiven_ = true;
      window_->requestClose();  // asks as a close without strict mode does
      passwordGiven_ = false;
    });
    return false;
  }
  const auto answer = show(run_.services().prompts, window_.get(), kAskGiveUp);
  if (answer != MessageAnswer::Yes) return false;
  closingByCode_ = true;
  return true;
}

void RunWindow::onClosed() {
  run_.keepAwakeWhileRunning();
  if (window_) window_->removeTrayIcon();
  if (startSound_) startSound_->stop();
  if (pointPlayer_) pointPlayer_->stop();
  if (closingByCode_) {
    // Closed by the user: the run stops and the plan comes back on screen.
    closingByCode_ = false;
    run_.backToMain(true);
  }
}

void RunWindow::openGiveUp() {
  run_.withAdministrator(*window_, [this] {
    if (isOpen()) run_.giveUpDialog().open(*window_);
  });
}

void RunWindow::onClick(ControlId id) {
  if (id == kGiveUpLabel) {
    openGiveUp();
  } else if (id == kToTrayLabel) {
    toTray();
  }
}

void RunWindow::toTray() {
  window_->showTrayIcon(trayTooltip());
  window_->hide();
  window_->setTimer(kTrayTimer, kSecondMs);
}

bool RunWindow::onMinimizing() {
  // Owned by the hidden main window, a minimised run window would have no
  // task-bar button to come back by: it goes to the tray instead.
  toTray();
  return true;
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
    openGiveUp();
  else if (id == kChangeRemaining)
    run_.withAdministrator(*window_, [this] {
      if (isOpen()) run_.changeTime().open(*window_);
    });
}

void RunWindow::showFromTray() {
  window_->show();
  window_->removeTrayIcon();
  window_->setTimer(kTrayTimer, 0);
}

void RunWindow::comeForward() {
  if (!isOpen()) return;
  if (!window_->isVisible()) showFromTray();
  window_->activate();
}

void RunWindow::onTrayDoubleClick() { showFromTray(); }
void RunWindow::onTrayRightClick() { window_->popupMenu(kTrayMenu); }

}  // namespace temvik

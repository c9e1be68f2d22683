// HeadlessWindow: making it, being blocked by a modal window, activating,
// closing, minimising and moving it, and its timers.

#include "platform/headless/headless_window.h"

#include <algorithm>
#include <vector>

#include "platform/headless/headless_ui.h"
#include "platform/headless/headless_window_internal.h"

namespace temvik::headless {

HeadlessWindow::HeadlessWindow(HeadlessUi& ui, const WindowDesign& design, WindowEvents& events,
                               Window* owner)
    : ui_(ui),
      design_(design),
      events_(events),
      owner_(owner),
      title_(design.title),
      bounds_(design.rect),
      minimizeBox_(design.minimizeBox) {
  for (const auto& c : design_.controls) {
    Control& ctl = controls_[c.id];
    ctl.design = &c;
    ctl.text = c.caption;
    ctl.tooltip = c.tooltip;
    ctl.checked = c.checked;
    ctl.shown = !c.hidden;
    ctl.rect = c.rect;
    if (c.kind == ControlKind::MonthCalendar) ctl.date = *calendarDay(ui_.clock_.now());
  }
  for (const auto& m : design_.menus)
    for (const auto& item : m.items)
      if (!item.isSeparator()) menus_[item.id] = {true, std::string(item.caption)};
}

HeadlessWindow::~HeadlessWindow() {
  auto& w = ui_.windows_;
  w.erase(std::remove(w.begin(), w.end(), this), w.end());
  if (ui_.active_ == this) ui_.active_ = nullptr;
}

bool HeadlessWindow::blocked() const {
  // A modal window elsewhere blocks this one, as the real thing disables it.
  for (HeadlessWindow* w : ui_.windows_)
    if (w != this && w->modal_ && w->open_ && w->owner_ == this) return true;
  return false;
}

void HeadlessWindow::activate() {
  if (!open_) return;
  ui_.active_ = this;
  events_.onActivated();
}

void HeadlessWindow::requestClose() {
  if (open_ && events_.onCloseRequested()) close();
}

void HeadlessWindow::close() {
  if (!open_) return;
  open_ = false;
  visible_ = false;
  timers_.clear();
  tray_.reset();
  if (ui_.active_ == this) ui_.active_ = nullptr;
  // Owned windows go with their owner, as native ones do.
  for (HeadlessWindow* w : std::vector<HeadlessWindow*>(ui_.windows_))
    if (w->owner_ == this && w->open_) w->close();
  events_.onClosed();
  if (modal_) {
    modal_ = false;
    if (auto* owner = static_cast<HeadlessWindow*>(owner_); owner && owner->open_)
      owner->activate();
  }
}

bool HeadlessWindow::minimize() {
  if (!isVisible() || !minimizeBox_) return false;
  if (events_.onMinimizing()) return false;
  minimized_ = true;
  return true;
}

void HeadlessWindow::move(Point topLeft) {
  bounds_.x = topLeft.x;
  bounds_.y = topLeft.y;
  events_.onMoved(topLeft);
}

// ---------------------------------------------------------------- timers

void HeadlessWindow::setTimer(TimerId id, std::uint64_t intervalMs) {
  if (intervalMs == 0) {
    timers_.erase(id);
    return;
  }
  timers_[id] = {intervalMs, ui_.clock_.monotonicMs() + intervalMs, ui_.nextTimerOrder()};
}

std::uint64_t HeadlessWindow::timerInterval(TimerId id) const {
  auto it = timers_.find(id);
  return it == timers_.end() ? 0 : it->second.interval;
}

}  // namespace temvik::headless

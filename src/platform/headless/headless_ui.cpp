// HeadlessUi: windows, modal windows, virtual time and posted functions.

#include "platform/headless/headless_ui.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/keyboard.h"

namespace temvik::headless {

std::unique_ptr<Window> HeadlessUi::createWindow(const WindowDesign& design, WindowEvents& events,
                                                 Window* owner) {
  auto w = std::make_unique<HeadlessWindow>(*this, design, events, owner);
  windows_.push_back(w.get());
  events.onCreated();
  HeadlessWindow& created = *w;
  created.focused_ = initialFocus(created.design_, [&created](ControlId id) {
    const auto& c = created.control(id);
    return c.enabled && c.shown;
  });
  return w;
}

void HeadlessUi::runModal(Window& window) {
  auto& w = static_cast<HeadlessWindow&>(window);
  w.modal_ = true;
  w.show();
  w.activate();
  auto it = modalHandlers_.find(w.design().designName);
  if (it != modalHandlers_.end()) it->second(w);
}

void HeadlessUi::onModal(std::string_view windowDesignName, ModalHandler handler) {
  modalHandlers_[std::string(windowDesignName)] = std::move(handler);
}

HeadlessWindow* HeadlessUi::find(std::string_view designName) const {
  for (HeadlessWindow* w : windows_)
    if (w->design().designName == designName && w->isOpen()) return w;
  return nullptr;
}

void HeadlessUi::systemTimeChanged() {
  // A handler may close windows: each is looked for again before it hears.
  const std::vector<HeadlessWindow*> all = windows_;
  for (HeadlessWindow* w : all)
    if (std::find(windows_.begin(), windows_.end(), w) != windows_.end() && w->isOpen())
      w->events().onSystemTimeChanged();
}

void HeadlessUi::sessionEnding() {
  const std::vector<HeadlessWindow*> all = windows_;
  for (HeadlessWindow* w : all)
    if (std::find(windows_.begin(), windows_.end(), w) != windows_.end() && w->isOpen())
      w->events().onSessionEnding();
}

void HeadlessUi::quit() {
  quit_ = true;
  posts_->close();
}

std::size_t HeadlessUi::drainPosts() {
  std::size_t ran = 0;
  while (const std::size_t round = posts_->runPending()) ran += round;
  return ran;
}

void HeadlessUi::advance(std::uint64_t ms) {
  const std::uint64_t end = clock_.nowMs_ + ms;
  for (;;) {
    drainPosts();
    HeadlessWindow* next = nullptr;
    TimerId nextId = 0;
    const HeadlessWindow::Timer* best = nullptr;
    for (HeadlessWindow* w : windows_) {
      for (const auto& [id, t] : w->timers_) {
        if (t.due > end) continue;
        if (!best || t.due < best->due || (t.due == best->due && t.order < best->order)) {
          best = &t;
          next = w;
          nextId = id;
        }
      }
    }
    if (!best) break;
    clock_.nowMs_ = std::max(clock_.nowMs_, best->due);
    auto& t = next->timers_[nextId];
    t.due += t.interval;
    t.order = nextTimerOrder();
    next->events_.onTimer(nextId);
  }
  // A nested advance (inside a message box) may have gone further already.
  clock_.nowMs_ = std::max(clock_.nowMs_, end);
}

}  // namespace temvik::headless

#pragma once

// HeadlessUi: the headless Ui, which makes HeadlessWindows and runs virtual
// time, timers and posted functions (the Win32 twin: win32_ui.{h,cpp}).

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_window.h"
#include "platform/headless/virtual_clock.h"
#include "platform/window.h"

namespace temvik::headless {

class HeadlessUi final : public Ui {
 public:
  explicit HeadlessUi(VirtualClock& clock) : clock_(clock) {}
  ~HeadlessUi() override { posts_->close(); }
  HeadlessUi(const HeadlessUi&) = delete;
  HeadlessUi& operator=(const HeadlessUi&) = delete;
  std::unique_ptr<Window> createWindow(const WindowDesign& design, WindowEvents& events,
                                       Window* owner) override;
  void runModal(Window& window) override;
  void quit() override;

  // Moves virtual time forward, firing every timer that falls due, in order
  // of due time, with the clock set to each due time as it fires. Posted
  // functions run first and again before each timer, as a message loop
  // takes posted messages before timers.
  void advance(std::uint64_t ms);
  // The system clock was set, or the computer woke: every open window
  // hears onSystemTimeChanged, as Windows tells every top-level window.
  void systemTimeChanged();
  // Windows ends the session: every open window hears onSessionEnding.
  void sessionEnding();
  // Runs the posted functions, and what they post in turn, until none is
  // left (posts from other threads included); returns how many ran.
  std::size_t drainPosts();
  // How many posted functions wait to run (posts from other threads included).
  [[nodiscard]] std::size_t pendingPosts() const { return posts_->size(); }

  // A modal window stays open when runModal returns, with its owner blocked
  // until it closes; the test then works it like any other window. A
  // handler registered for its design name runs as it opens.
  using ModalHandler = std::function<void(HeadlessWindow&)>;
  void onModal(std::string_view windowDesignName, ModalHandler handler);

  [[nodiscard]] bool quitRequested() const { return quit_; }
  [[nodiscard]] HeadlessWindow* find(std::string_view designName) const;
  [[nodiscard]] const std::vector<HeadlessWindow*>& windows() const { return windows_; }
  [[nodiscard]] HeadlessWindow* activeWindow() const { return active_; }
  std::uint64_t nextTimerOrder() { return ++timerOrder_; }
  [[nodiscard]] VirtualClock& clock() { return clock_; }

 private:
  friend class HeadlessWindow;
  [[nodiscard]] std::shared_ptr<PostQueue> postQueue() override { return posts_; }

  VirtualClock& clock_;
  std::shared_ptr<PostQueue> posts_ = std::make_shared<PostQueue>();
  std::vector<HeadlessWindow*> windows_;
  std::map<std::string, ModalHandler, std::less<>> modalHandlers_;
  HeadlessWindow* active_ = nullptr;
  std::uint64_t timerOrder_ = 0;
  bool quit_ = false;
};

}  // namespace temvik::headless

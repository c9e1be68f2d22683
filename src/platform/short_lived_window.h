#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/window.h"

namespace temvik {

// Closed windows kept until it is safe to destroy them: a window usually
// closes from one of its own handlers, which is still on the stack then.
class RetiredWindows {
 public:
  void keep(std::unique_ptr<Window> window) {
    if (window) kept_.push_back(std::move(window));
  }
  // Destroys the kept windows. Call it only where no handler of theirs can
  // be running, such as a click on a long-lived window.
  void release() { kept_.clear(); }
  [[nodiscard]] std::size_t size() const { return kept_.size(); }

 private:
  std::vector<std::unique_ptr<Window>> kept_;
};

// A window whose behaviour lives on while its native window comes and
// goes: every open creates a new native window, and the one before is
// retired, never destroyed under its own handlers.
class ShortLivedWindow : public WindowEvents {
 public:
  ShortLivedWindow(Ui& ui, RetiredWindows& retired) : ui_(ui), retired_(retired) {}
  ShortLivedWindow(const ShortLivedWindow&) = delete;
  ShortLivedWindow& operator=(const ShortLivedWindow&) = delete;

  [[nodiscard]] bool isOpen() const { return window_ && window_->isOpen(); }
  // Closes the window when it is open (onClosed runs).
  void close() {
    if (isOpen()) window_->close();
  }
  // The native window of the last open, open or closed; null before.
  [[nodiscard]] Window* window() const { return window_.get(); }
  // Brings the open window to the front; false when it is not open.
  bool bringToFront() {
    if (!isOpen()) return false;
    window_->show();
    window_->activate();
    return true;
  }

 protected:
  // Creates the native window afresh, hidden, retiring the previous one.
  Window& create(const WindowDesign& design, Window* owner) {
    retired_.keep(std::move(window_));
    window_ = ui_.createWindow(design, *this, owner);
    return *window_;
  }
  [[nodiscard]] Ui& ui() const { return ui_; }

  std::unique_ptr<Window> window_;

 private:
  Ui& ui_;
  RetiredWindows& retired_;
};

}  // namespace temvik

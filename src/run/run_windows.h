#pragma once

// The windows of a run: the run window that counts an item down, and the
// dialogs between items.

#include <memory>
#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/system.h"
#include "run/run_state.h"

namespace temvik {

class RunController;

// Owns one native window at a time; a closed one is kept until the run
// controller says it is safe to destroy (its handlers may still be running).
class RunWindowBase : public WindowEvents {
 public:
  explicit RunWindowBase(RunController& run) : run_(run) {}
  [[nodiscard]] bool isOpen() const { return window_ && window_->isOpen(); }
  void close();
  [[nodiscard]] Window* window() const { return window_.get(); }

 protected:
  // Creates the native window (layered), retiring the previous one.
  Window& create(const WindowDesign& design, Window* owner);
  RunController& run_;
  std::unique_ptr<Window> window_;
};

class RunWindow final : public RunWindowBase {
 public:
  using RunWindowBase::RunWindowBase;
  void open();
  // Sets a new remaining time from now on (the change-time dialog).
  void changeRemaining(const Duration& remaining);
  void stopTimers();
  [[nodiscard]] std::string trayTooltip() const;

  void onTimer(TimerId id) override;
  bool onCloseRequested() override;
  void onClosed() override;
  void onClick(ControlId id) override;
  void onContextMenu(ControlId id) override;
  void onMenu(MenuItemId id) override;
  void onTrayDoubleClick() override;
  void onTrayRightClick() override;

 private:
  void showLabels();
  void startEndTimer();
  void showFromTray();
  void forbidTick();

  std::uint64_t baseMs_ = 0;  // when the remaining time was last set
  std::uint64_t stepsDone_ = 0;
  bool closingByCode_ = false;
  std::unique_ptr<MediaPlayer> startSound_;  // a timed item's start sound
};

class ItemFinishedDialog final : public RunWindowBase {
 public:
  explicit ItemFinishedDialog(RunController& run);
  void open();

  void onTimer(TimerId id) override;
  void onClick(ControlId id) override;
  void onClosed() override;

 private:
  void goOn();
  bool goingOn_ = false;
  std::unique_ptr<MediaPlayer> player_;
};

class GiveUpDialog final : public RunWindowBase {
 public:
  using RunWindowBase::RunWindowBase;
  void open(Window& owner);
  void onClick(ControlId id) override;
};

class ChangeTimeDialog final : public RunWindowBase {
 public:
  using RunWindowBase::RunWindowBase;
  void open(Window& owner);
  void onClick(ControlId id) override;
};

class PlanCompleteWindow final : public RunWindowBase {
 public:
  explicit PlanCompleteWindow(RunController& run);
  void open();
  void onClick(ControlId id) override;
  void onMoved(Point topLeft) override;
  void onClosed() override;

 private:
  bool leavingByExit_ = false;
  std::unique_ptr<MediaPlayer> player_;
};

class ContentNoteWindow final : public RunWindowBase {
 public:
  using RunWindowBase::RunWindowBase;
  // Shows the content above `beside` (left + dx, top - 92).
  void open(Window& owner, const Window& beside, int dx);
  void follow(const Window& beside, int dx);
};

// The window designs.
const WindowDesign& runWindowDesign();
const WindowDesign& itemFinishedDesign();
const WindowDesign& giveUpDesign();
const WindowDesign& changeTimeDesign();
const WindowDesign& planCompleteDesign();
const WindowDesign& contentNoteDesign();

}  // namespace temvik

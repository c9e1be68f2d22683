#pragma once

#include <memory>
#include <string>

#include "platform/services.h"
#include "platform/window.h"

namespace temvik {

// The program's one permanent window: the two lists, the item editor, the
// menus and the timed-plan timer. Closing it ends the program.
class MainWindow {
 public:
  // Where the program reads its update page; empty: its own address.
  explicit MainWindow(Services& services, std::string updatePageAddress = {});
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates and shows the window and runs its start-up.
  void start();
  // Brings the program to the user, as a second start of it does: the run
  // window while a run is on (out of the tray when it sits there), else
  // this window; a box open on either comes forward instead.
  void comeForward();
  [[nodiscard]] Window& window();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// The main window's design: every control and menu with its place, caption
// and tooltip. The end-to-end tests check the real window against it.
const WindowDesign& mainWindowDesign();

}  // namespace temvik

#pragma once

#include <functional>
#include <utility>

#include "platform/services.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/settings.h"
#include "ui/main/administration.h"

namespace temvik {

// The program's settings as check items of the main window's menus; each
// shows what settings.ini holds, and a change is written at once (a write
// that fails is told and the mark stays as the file has it). 开机自动启动
// is no setting of the file: its mark shows whether the user's log-on entry
// starts this very program.
class ProgramOptions {
 public:
  // Strict mode is turned off only through the password, which `admin` asks for.
  ProgramOptions(Services& services, PlanStore& store, AppState& state, Window& window,
                 Administration& admin);

  // Runs after the settings were read or changed, so that what acts on
  // them follows at once.
  void onChanged(std::function<void()> applied) { applied_ = std::move(applied); }
  // Reads settings.ini at start-up; a file that cannot be read is told and
  // the defaults hold.
  void load();
  // Turns the setting of a menu item over; false for an item that is none.
  bool toggle(MenuItemId id);

 private:
  // Runs a change of the file and shows the marks as the file holds them.
  template <typename Change>
  void change(Change&& write);
  void showMarks();
  // The log-on entry names this program's file.
  [[nodiscard]] bool startsThisProgram() const;
  void toggleAutoStart();
  // On only with a password stored and the rights held; off only after the
  // password, while a password is stored.
  void toggleStrictMode();

  Services& services_;
  AppState& state_;
  Window& window_;
  Administration& admin_;
  Settings settings_;
  std::function<void()> applied_;
};

}  // namespace temvik

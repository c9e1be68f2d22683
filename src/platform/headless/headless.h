#pragma once

// In-memory backend for tests: windows whose whole state is readable, a
// virtual clock that fires timers in order, files in a map, and scripted
// answers for message boxes and file dialogs. Tests include this header
// only; it includes every part and bundles them in Headless. Each part
// sits in the file named for the same concern as its Win32 twin:
//
//   concern                     headless                         Win32
//   window: make, close, timers headless_window.{h,cpp}          win32_window.cpp (win32_ui.h)
//   keyboard and mouse          headless_input.cpp               win32_input.cpp
//   controls                    headless_controls.cpp            win32_controls.cpp
//   list boxes                  headless_lists.cpp               win32_lists.cpp
//   calendars and surfaces      headless_calendars_surfaces.cpp  win32_calendars_surfaces.cpp
//   menus and the tray icon     headless_menus_tray.cpp          win32_menus_tray.cpp
//   the Ui, loop, posts         headless_ui.{h,cpp}              win32_ui.{h,cpp}
//   clock                       virtual_clock.{h,cpp}            win32_clock.cpp
//   files                       memory_files.{h,cpp}             win32_files.cpp
//   message boxes, file dialogs scripted_prompts.{h,cpp}         win32_prompts.cpp
//   shell                       recording_shell.{h,cpp}          win32_system.cpp
//   processes                   fake_processes.{h,cpp}           win32_system.cpp
//   power actions, sleep        recording_power.{h,cpp}          win32_system.cpp
//   the log-on entry            recording_power.{h,cpp}          win32_system.cpp
//   sound                       fake_sound.{h,cpp}               win32_sound.cpp
//   network                     fake_network.{h,cpp}             win32_network.{h,cpp}
//   cryptography                fake_crypto.{h,cpp}              win32_crypto.cpp
//   other windows, the screen   fake_desktop.{h,cpp}             win32_desktop.{h,cpp}

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/fake_crypto.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/fake_network.h"
#include "platform/headless/fake_processes.h"
#include "platform/headless/fake_sound.h"
#include "platform/headless/headless_ui.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/memory_files.h"
#include "platform/headless/recording_power.h"
#include "platform/headless/recording_shell.h"
#include "platform/headless/scripted_prompts.h"
#include "platform/headless/virtual_clock.h"
#include "platform/services.h"

namespace temvik::headless {

// Everything a behaviour test needs, wired together. `journal` lists the
// calls to the shell, processes, power and sound in the order they came.
struct Headless {
  Headless();
  VirtualClock clock;
  HeadlessUi ui{clock};
  MemoryFiles files;
  ScriptedPrompts prompts;
  RecordingShell shell;
  FakeProcesses processes;
  RecordingPower power;
  FakeSound sound;
  // Shared with the services, so that a read the program abandoned may end
  // after the test.
  std::shared_ptr<FakeNetwork> sharedNetwork = std::make_shared<FakeNetwork>();
  FakeNetwork& network = *sharedNetwork;
  FakeCrypto crypto;
  FakeDesktop desktop;
  RecordingAutoStart autoStart;
  std::vector<std::string> journal;
  Services services{ui,    clock, files,         prompts, shell,   processes,
                    power, sound, sharedNetwork, crypto,  desktop, autoStart};
};

}  // namespace temvik::headless

// The program's entry point: the Win32 services, the main window, the loop.

#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "platform/services.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_single_copy.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_ui.h"
#include "ui/main/main_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // One copy per program folder, before anything reads or writes a plan
  // file: a second start brings the running copy forward and ends.
  temvik::Win32SingleCopy singleCopy;
  if (!singleCopy.claimFolder()) return 0;

  // The manifest makes the process per-monitor DPI aware: the Win32 backend
  // scales every window's design to the DPI of its monitor.
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES |
                   ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls);

  temvik::Win32Ui ui;
  temvik::Win32Clock clock;
  temvik::Win32Files files;
  temvik::Win32Prompts prompts;
  temvik::Win32Shell shell;
  temvik::Win32Processes processes;
  temvik::Win32Power power;
  temvik::Win32Sound sound;
  // Shared with the update check's reads, which may outlive this function.
  const auto network = std::make_shared<temvik::Win32Network>();
  temvik::Win32Crypto crypto;
  temvik::Win32Desktop desktop;
  temvik::Win32AutoStart autoStart;
  temvik::Services services{ui,    clock, files,   prompts, shell,   processes,
                            power, sound, network, crypto,  desktop, autoStart};

  // Tests point the update check at a server of their own.
  wchar_t page[2048];
  const DWORD pageLength = GetEnvironmentVariableW(L"TEMVIK_UPDATE_PAGE", page, 2048);
  temvik::MainWindow mainWindow(
      services, pageLength > 0 && pageLength < 2048 ? temvik::toUtf8(page) : std::string());
  singleCopy.listen([&mainWindow] { mainWindow.comeForward(); });
  mainWindow.start();
  // Ends on quit() or, should nobody call it, when the main window is gone.
  return ui.run(&mainWindow.window());
}

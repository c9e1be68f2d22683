// The program's entry point: the Win32 services, the main window, the loop.

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/services.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_single_copy.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_ui.h"
#include "ui/main/main_window.h"

namespace {

// The value of an environment variable, empty when it is not set.
std::wstring environmentValue(const wchar_t* name) {
  wchar_t value[2048];
  const DWORD length = GetEnvironmentVariableW(name, value, 2048);
  return length > 0 && length < 2048 ? std::wstring(value, length) : std::wstring();
}

// For the tests of the whole program: a power action goes up to its last
// step, the shutdown privilege, and is then written to a file instead of
// being asked of the system, which under wine would end every program of
// the wineserver, the test's too. One line per request: "<kind> <1 when the
// privilege is enabled>". Holding awake and the wake timer are the
// system's own.
class LoggedPower final : public temvik::Power {
 public:
  LoggedPower(std::wstring path, temvik::Power& system)
      : path_(std::move(path)), system_(system) {}
  void holdAwake(bool on) override { system_.holdAwake(on); }
  void wakeFor(std::optional<temvik::DateTime> start) override { system_.wakeFor(start); }
  void request(temvik::PowerAction action) override {
    const bool privileged = temvik::enableShutdownPrivilege();
    const std::string line =
        std::to_string(static_cast<int>(action)) + " " + (privileged ? "1" : "0") + "\r\n";
    const HANDLE file = CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
  }

 private:
  std::wstring path_;
  temvik::Power& system_;
};

}  // namespace

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
  temvik::Win32Power systemPower;
  LoggedPower loggedPower(environmentValue(L"TEMVIK_POWER_LOG"), systemPower);
  temvik::Power& power = environmentValue(L"TEMVIK_POWER_LOG").empty()
                             ? static_cast<temvik::Power&>(systemPower)
                             : loggedPower;
  temvik::Win32Sound sound;
  // Shared with the update check's reads, which may outlive this function.
  const auto network = std::make_shared<temvik::Win32Network>();
  temvik::Win32Crypto crypto;
  temvik::Win32Desktop desktop;
  temvik::Win32AutoStart autoStart;
  temvik::Services services{ui,    clock, files,   prompts, shell,   processes,
                            power, sound, network, crypto,  desktop, autoStart};

  // Tests point the update check at a server of their own.
  temvik::MainWindow mainWindow(services, temvik::toUtf8(environmentValue(L"TEMVIK_UPDATE_PAGE")));
  singleCopy.listen([&mainWindow] { mainWindow.comeForward(); });
  mainWindow.start();
  // Ends on quit() or, should nobody call it, when the main window is gone.
  return ui.run(&mainWindow.window());
}

#pragma once

// The real shell, process table, power actions, sleep and wake, the log-on
// entry and sound of the Win32 backend.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/system.h"

namespace temvik {

class Win32Shell final : public Shell {
 public:
  // The shell's "open" operation, shown normally; true when it started.
  bool open(const std::string& path) override;
  // A detached process (no console of its own); its handles are let go.
  bool run(const std::string& commandLine) override;
};

class Win32Processes final : public Processes {
 public:
  // One process snapshot, walked once.
  [[nodiscard]] std::vector<ProcessEntry> list() const override;
  [[nodiscard]] std::uint32_t currentId() const override;
  bool terminate(std::uint32_t id) override;
};

// Forced shutdown, restart and log-off. Under wine each of them ends every
// program of the wineserver, so nothing but the program itself calls request().
// The hold on sleep is the UI thread's execution state; the wake is one
// waitable timer of this object, which wakes the computer only while the
// program runs.
class Win32Power final : public Power {
 public:
  Win32Power() = default;
  ~Win32Power() override;
  Win32Power(const Win32Power&) = delete;
  Win32Power& operator=(const Win32Power&) = delete;

  void request(PowerAction action) override;
  void holdAwake(bool on) override;
  // Arms the timer kWakeLeadSeconds before the start (a resume takes a
  // while, and the scheduler catches up only a few seconds), or cancels it.
  void wakeFor(std::optional<DateTime> start) override;

  static constexpr std::int64_t kWakeLeadSeconds = 60;

  // --- native access, for tests
  [[nodiscard]] HANDLE wakeTimer() const { return timer_; }
  // When the armed timer fires, in UTC; nothing while it is not armed.
  [[nodiscard]] std::optional<FILETIME> wakeDue() const { return due_; }

 private:
  HANDLE timer_ = nullptr;
  std::optional<FILETIME> due_;
};

// The log-on entry: a value of the current user's Run key holding the
// command line, named `valueName`.
class Win32AutoStart final : public AutoStart {
 public:
  explicit Win32AutoStart(std::wstring valueName = L"Temvik") : name_(std::move(valueName)) {}
  [[nodiscard]] std::optional<std::string> command() const override;
  bool setCommand(const std::string& commandLine) override;
  bool remove() override;

  static constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

 private:
  std::wstring name_;
};

// Enables the shutdown privilege in the process's token, the first step of
// every power request; true when it is enabled.
bool enableShutdownPrivilege();

// One MCI device with an alias of its own, so that players never share one.
class Win32MediaPlayer final : public MediaPlayer {
 public:
  Win32MediaPlayer();
  ~Win32MediaPlayer() override;
  Win32MediaPlayer(const Win32MediaPlayer&) = delete;
  Win32MediaPlayer& operator=(const Win32MediaPlayer&) = delete;

  // Opens the file (MIDI and WAV by their types, anything else as MCI picks
  // by the extension) and plays it once from the start.
  bool play(const std::string& path) override;
  // Stops and closes the device.
  void stop() override;
  [[nodiscard]] const std::wstring& alias() const { return alias_; }

 private:
  std::wstring alias_;
  bool open_ = false;
};

// The music channel loops a sound file through MCI: a hidden message-only
// window hears the end of each pass and starts the next. Only a pass that
// ended successfully restarts: a device that fails (no sound hardware) would
// fail again at once, forever.
class Win32Sound final : public Sound {
 public:
  // Loops the end tune kept in the program, written once to a temporary file
  // on the first playMusicLoop() and deleted again by the destructor.
  Win32Sound();
  // Loops this file instead.
  explicit Win32Sound(std::wstring musicFile);
  ~Win32Sound() override;
  Win32Sound(const Win32Sound&) = delete;
  Win32Sound& operator=(const Win32Sound&) = delete;

  // Starts the loop from the beginning (again, when it runs already).
  void playMusicLoop() override;
  void stopMusic() override;
  // True from playMusicLoop() until stopMusic(), unless the file could not
  // be opened or played or a pass failed.
  [[nodiscard]] bool musicPlaying() const override { return playing_; }
  std::unique_ptr<MediaPlayer> createPlayer() override;

  // --- native access, for tests
  [[nodiscard]] HWND notifyWindow() const { return notify_; }
  [[nodiscard]] const std::wstring& musicAlias() const { return alias_; }
  // The file the loop plays; empty until the end tune has been written.
  [[nodiscard]] const std::wstring& musicFile() const { return file_; }
  // How many passes started since the last playMusicLoop().
  [[nodiscard]] int musicPasses() const { return passes_; }

 private:
  static LRESULT CALLBACK notifyProc(HWND, UINT, WPARAM, LPARAM);
  void passEnded(WPARAM how, LPARAM device);
  bool writeEndTune();
  void closeMusic();

  std::wstring file_;
  bool ownsFile_ = false;  // the end tune's temporary copy
  std::wstring alias_;
  HWND notify_ = nullptr;
  UINT device_ = 0;
  bool open_ = false;
  bool playing_ = false;
  int passes_ = 0;
};

}  // namespace temvik

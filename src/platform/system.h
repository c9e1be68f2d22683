#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date_time.h"

namespace temvik {

// Starting programs and documents.
class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a program or document with its default operation; returns at once.
  virtual bool open(const std::string& path) = 0;
  // Starts a command line without waiting for it.
  virtual bool run(const std::string& commandLine) = 0;
};

struct ProcessEntry {
  std::uint32_t id = 0;
  std::string exeName;  // "notepad.exe"
};

// The running processes.
class Processes {
 public:
  virtual ~Processes() = default;
  // One snapshot of every running process.
  [[nodiscard]] virtual std::vector<ProcessEntry> list() const = 0;
  [[nodiscard]] virtual std::uint32_t currentId() const = 0;
  virtual bool terminate(std::uint32_t id) = 0;
};

enum class PowerAction { ShutDown = 1, Restart = 2, LogOff = 3 };

// Forced shutdown, restart and log-off of the whole session, and the
// computer's sleep.
class Power {
 public:
  virtual ~Power() = default;
  virtual void request(PowerAction action) = 0;
  // While held, the computer does not go to sleep by itself (the display
  // still may); false lets it again.
  virtual void holdAwake(bool on) = 0;
  // Wakes a sleeping computer in time for a start at this local time, or
  // for none: nothing cancels the wake set before. One wake at a time.
  virtual void wakeFor(std::optional<DateTime> start) = 0;
};

// The user's entry that starts a program when they log on.
class AutoStart {
 public:
  virtual ~AutoStart() = default;
  // The command line the program's entry holds; nothing when there is none.
  [[nodiscard]] virtual std::optional<std::string> command() const = 0;
  // Writes the entry; false when the system refused.
  virtual bool setCommand(const std::string& commandLine) = 0;
  // Removes the entry (an absent one is no failure); false when refused.
  virtual bool remove() = 0;
};

// Plays one media file: open, play from the start, stop.
class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;
  // Opens the file and plays it from position 0; false when it cannot.
  virtual bool play(const std::string& path) = 0;
  virtual void stop() = 0;
};

// Sounds: the looping music channel with the built-in end tune, and media
// players for files.
class Sound {
 public:
  virtual ~Sound() = default;
  // Loops the default end tune until stopMusic().
  virtual void playMusicLoop() = 0;
  virtual void stopMusic() = 0;
  [[nodiscard]] virtual bool musicPlaying() const = 0;
  virtual std::unique_ptr<MediaPlayer> createPlayer() = 0;
};

}  // namespace temvik

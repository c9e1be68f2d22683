#pragma once

// FakeSound: the headless music loop and media players, which play nothing
// and remember what they were given (the Win32 twin: win32_sound.cpp).

#include <memory>
#include <string>
#include <vector>

#include "platform/system.h"

namespace temvik::headless {

class FakeSound final : public Sound {
 public:
  void playMusicLoop() override;
  void stopMusic() override { music_ = false; }
  [[nodiscard]] bool musicPlaying() const override { return music_; }
  std::unique_ptr<MediaPlayer> createPlayer() override;
  // Files the players are playing now.
  [[nodiscard]] std::vector<std::string> playing() const;
  int musicStarts = 0;
  std::vector<std::string>* journal = nullptr;

 private:
  friend class FakePlayer;
  bool music_ = false;
  std::vector<std::string*> players_;
};

}  // namespace temvik::headless

// FakeSound and its players.

#include "platform/headless/fake_sound.h"

#include <algorithm>

namespace temvik::headless {

class FakePlayer final : public MediaPlayer {
 public:
  explicit FakePlayer(FakeSound& sound) : sound_(sound) { sound_.players_.push_back(&file_); }
  ~FakePlayer() override {
    auto& p = sound_.players_;
    p.erase(std::remove(p.begin(), p.end(), &file_), p.end());
  }
  bool play(const std::string& path) override {
    file_ = path;
    if (sound_.journal) sound_.journal->push_back("play:" + path);
    return true;
  }
  void stop() override { file_.clear(); }

 private:
  FakeSound& sound_;
  std::string file_;
};

void FakeSound::playMusicLoop() {
  music_ = true;
  ++musicStarts;
  if (journal) journal->push_back("music");
}

std::unique_ptr<MediaPlayer> FakeSound::createPlayer() {
  return std::make_unique<FakePlayer>(*this);
}

std::vector<std::string> FakeSound::playing() const {
  std::vector<std::string> files;
  for (const std::string* f : players_)
    if (!f->empty()) files.push_back(*f);
  return files;
}

}  // namespace temvik::headless

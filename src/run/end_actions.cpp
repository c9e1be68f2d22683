#include "run/end_actions.h"

#include "store/text.h"

namespace temvik {

namespace {

bool endsWithIgnoreCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         equalsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string_view withoutExe(std::string_view name) {
  return endsWithIgnoreCase(name, ".exe") ? name.substr(0, name.size() - 4) : name;
}

}  // namespace

int endProcessesNamed(Processes& processes, const std::vector<std::string>& names) {
  std::vector<std::string_view> wanted;
  for (const auto& name : names)
    if (const std::string_view n = withoutExe(trimBlanks(name)); !n.empty()) wanted.push_back(n);
  if (wanted.empty()) return 0;  // no snapshot for a list that names nothing
  const std::uint32_t self = processes.currentId();
  const std::vector<ProcessEntry> running = processes.list();
  std::vector<bool> gone(running.size(), false);
  int ended = 0;
  for (const std::string_view n : wanted) {
    for (std::size_t i = 0; i < running.size(); ++i) {
      const ProcessEntry& p = running[i];
      if (gone[i] || p.id == self || !equalsIgnoreCase(withoutExe(p.exeName), n)) continue;
      gone[i] = true;  // a name listed twice asks once
      if (processes.terminate(p.id)) ++ended;
    }
  }
  return ended;
}

bool isPlayableSound(std::string_view path) {
  for (std::string_view ext : {".mp3", ".wav", ".mid", ".midi"})
    if (endsWithIgnoreCase(path, ext)) return true;
  return false;
}

void playMedia(MediaPlayer& player, Shell& shell, const std::string& path) {
  if (path.empty()) return;
  if (isPlayableSound(path))
    player.play(path);
  else
    shell.open(path);
}

void carryOutPower(Window& mainWindow, Power& power, PowerAction action) {
  mainWindow.close();
  power.request(action);
}

}  // namespace temvik

#include "ui/main/program_options.h"

#include <string>

#include "store/store_error.h"
#include "ui/main/main_window_ids.h"
#include "ui/main/messages.h"

namespace temvik {

using namespace main_ids;

namespace {

// The file a command line starts: the text in the double quotes it opens
// with, else the text up to the first blank.
std::string programOfCommand(const std::string& commandLine) {
  const std::size_t first = commandLine.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  if (commandLine[first] == '"') {
    const std::size_t close = commandLine.find('"', first + 1);
    return commandLine.substr(first + 1,
                              close == std::string::npos ? std::string::npos : close - first - 1);
  }
  return commandLine.substr(first, commandLine.find_first_of(" \t", first) - first);
}

}  // namespace

ProgramOptions::ProgramOptions(Services& services, PlanStore& store, AppState& state,
                               Window& window, Administration& admin)
    : services_(services), state_(state), window_(window), admin_(admin), settings_(store) {}

template <typename Change>
void ProgramOptions::change(Change&& write) {
  try {
    write();
  } catch (const StoreError& error) {
    reportStoreError(services_.prompts, &window_, error);
  }
  state_.settings = settings_.values();
  showMarks();
  if (applied_) applied_();
}

void ProgramOptions::load() {
  change([&] { settings_.load(); });
}

bool ProgramOptions::toggle(MenuItemId id) {
  const SettingsValues& v = settings_.values();
  switch (id) {
    case kStrictMode:
      toggleStrictMode();
      return true;
    case kPowerNotice:
      change([&] {
        settings_.setPowerNoticeSeconds(v.powerNoticeSeconds > 0 ? 0 : kDefaultPowerNoticeSeconds);
      });
      return true;
    case kStayAwake:
      change([&] { settings_.setStayAwake(!v.stayAwake); });
      return true;
    case kWakeForTimed:
      change([&] { settings_.setWakeForTimed(!v.wakeForTimed); });
      return true;
    case kStartWithWindows:
      toggleAutoStart();
      return true;
    default:
      return false;
  }
}

void ProgramOptions::toggleStrictMode() {
  if (!settings_.values().strictMode) {
    if (state_.password.empty() || !state_.rights) {
      show(services_.prompts, &window_, kStrictModeNeedsRights);
      return;
    }
    change([&] { settings_.setStrictMode(true); });
    return;
  }
  const auto turnOff = [this] {
    if (settings_.values().strictMode) change([&] { settings_.setStrictMode(false); });
  };
  // Without a password strict mode holds nothing back, and there is
  // nothing to ask for.
  if (!state_.strictMode()) {
    turnOff();
    return;
  }
  admin_.confirm(window_, turnOff);
}

void ProgramOptions::showMarks() {
  const SettingsValues& v = settings_.values();
  window_.setMenuChecked(kStrictMode, v.strictMode);
  window_.setMenuChecked(kPowerNotice, v.powerNoticeSeconds > 0);
  window_.setMenuChecked(kStayAwake, v.stayAwake);
  window_.setMenuChecked(kWakeForTimed, v.wakeForTimed);
  window_.setMenuChecked(kStartWithWindows, startsThisProgram());
}

bool ProgramOptions::startsThisProgram() const {
  const auto command = services_.autoStart.command();
  if (!command) return false;
  const std::string program = programOfCommand(*command);
  return !program.empty() && services_.files.sameFile(program, services_.files.programPath());
}

void ProgramOptions::toggleAutoStart() {
  // On when it starts another file (the program was moved): the entry is
  // written for this one.
  std::string quoted = "\"";
  quoted += services_.files.programPath();
  quoted += '"';
  const bool written =
      startsThisProgram() ? services_.autoStart.remove() : services_.autoStart.setCommand(quoted);
  if (!written) show(services_.prompts, &window_, kAutoStartNotChanged);
  window_.setMenuChecked(kStartWithWindows, startsThisProgram());
}

}  // namespace temvik

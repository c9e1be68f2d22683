#include "ui/main/program_options.h"

#include "store/store_error.h"
#include "ui/main/main_window_ids.h"
#include "ui/main/messages.h"

namespace temvik {

using namespace main_ids;

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
}

}  // namespace temvik

#include "ui/main/administration.h"

#include <utility>

#include "store/messages.h"
#include "ui/main/main_window_ids.h"
#include "ui/main/messages.h"

namespace temvik {

using namespace main_ids;

Administration::Administration(Services& services, Window& window, ItemEditor& editor,
                               PlanStore& store, AppState& state)
    : services_(services),
      window_(window),
      editor_(editor),
      store_(store),
      state_(state),
      passwordDialog_(services, closedDialogs_, state, *this),
      setPasswordDialog_(services, closedDialogs_, state, *this) {}

void Administration::askAtStartUp() {
  state_.rights = state_.password.empty();
  if (state_.rights) return;
  askingAtStartUp_ = true;
  passwordDialog_.open(window_, PasswordDialog::Purpose::ObtainRights);
}

void Administration::applyLockRules() {
  if (state_.password.empty()) window_.setMenuEnabled(kDeletePassword, false);
  if (state_.editLocked()) {
    editor_.applyEditLock();
    window_.setMenuEnabled(kDeletePassword, false);
  }
}

void Administration::confirm(Window& owner, std::function<void()> granted) {
  closedDialogs_.release();
  passwordDialog_.confirm(owner, std::move(granted));
}

void Administration::closeDialogs() {
  passwordDialog_.close();
  setPasswordDialog_.close();
}

void Administration::obtainRights() {
  closedDialogs_.release();
  askingAtStartUp_ = false;
  if (state_.rights) {
    show(services_.prompts, &window_, kRightsHeld);
    return;
  }
  passwordDialog_.open(window_, PasswordDialog::Purpose::ObtainRights);
}

void Administration::setPassword() {
  closedDialogs_.release();
  askingAtStartUp_ = false;
  if (!state_.password.empty())
    passwordDialog_.open(window_, PasswordDialog::Purpose::ChangePassword);
  else
    setPasswordDialog_.open(window_, true);
}

void Administration::deletePassword() {
  // The entry is disabled then; a command sent all the same changes nothing.
  if (!window_.isMenuEnabled(kDeletePassword)) return;
  if (state_.editLocked()) {
    show(services_.prompts, &window_, kEditLocked);
    return;
  }
  writePassword("");
  state_.password.clear();
  editor_.reset();
  window_.setMenuEnabled(kDeletePassword, false);
}

void Administration::rightsGranted() {
  editor_.reset();
  // Right at start-up: the rights are held as if no dialog had been needed.
  if (askingAtStartUp_) window_.setMenuEnabled(kDeletePassword, true);
  askingAtStartUp_ = false;
}

void Administration::changePasswordNext() {
  // Once the password dialog's modal loop is over, so that the new dialog
  // is the active window rather than the main window it returns to.
  services_.ui.post([this] { setPasswordDialog_.open(window_, false); });
}

void Administration::writePassword(const std::string& stored) {
  // Only the password: whatever the list's selection and marks.
  IniDocument items = store_.load(kItemFile);
  if (items.value(kPasswordSection, kPasswordKey) == stored) return;
  items.set(kPasswordSection, kPasswordKey, stored);
  store_.save(kItemFile, items);
}

void Administration::passwordTaken() { window_.setMenuEnabled(kDeletePassword, true); }

}  // namespace temvik

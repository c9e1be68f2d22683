#pragma once

#include <functional>
#include <string>

#include "platform/services.h"
#include "platform/short_lived_window.h"
#include "store/app_state.h"
#include "store/plan_store.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/password_host.h"
#include "ui/dialogs/set_password_dialog.h"
#include "ui/main/item_editor.h"

namespace temvik {

// The administrator password of the main window: asking for it at
// start-up, the menu "管理" and deleting it. The password lives in
// AppState in its stored form; every change of it is written to the item
// file at once, and memory follows the file only once the write succeeded.
class Administration final : public PasswordHost {
 public:
  Administration(Services& services, Window& window, ItemEditor& editor, PlanStore& store,
                 AppState& state);

  // With a password stored, asks for it (modal) for the rights; without
  // one, the rights are held. The caller applies applyLockRules once the
  // rest of its start-up is done (a plan import does the same).
  void askAtStartUp();
  // "删除密码" is offered only with a password stored and the rights held;
  // a stored password without the rights locks the editor.
  void applyLockRules();

  // Asks for the password over `owner` before an action that strict mode
  // guards; `granted` runs after the dialog, and only for the right one.
  void confirm(Window& owner, std::function<void()> granted);

  // Closes the password dialogs that are open (a timed item starts).
  void closeDialogs();

  // The menu "管理".
  void obtainRights();
  void setPassword();
  void deletePassword();

  // PasswordHost
  void rightsGranted() override;
  void changePasswordNext() override;
  void writePassword(const std::string& stored) override;
  void passwordTaken() override;

 private:
  Services& services_;
  Window& window_;
  ItemEditor& editor_;
  PlanStore& store_;
  AppState& state_;
  // The dialog at start-up grants "删除密码" with the rights; a later one does not.
  bool askingAtStartUp_ = false;
  // The dialogs' windows go before the main window that owns them.
  RetiredWindows closedDialogs_;
  PasswordDialog passwordDialog_;
  SetPasswordDialog setPasswordDialog_;
};

}  // namespace temvik

#pragma once

#include <functional>
#include <memory>

#include "platform/id_blocks.h"
#include "platform/services.h"
#include "platform/short_lived_window.h"
#include "store/app_state.h"
#include "ui/dialogs/password_host.h"

namespace temvik {

namespace password_ids {
enum PasswordControl : ControlId {
  kPasswordLabel = id_blocks::kPassword + 1,  // 标签1
  kPasswordEntry,                             // 编辑框1
  kCaseNote,                                  // 标签2
  kPasswordOk,                                // 超级按钮1
};
}  // namespace password_ids

// "请输入密码": asks for the stored password, letter case counting. The
// right one grants the rights, or lets one action through; a wrong one
// only says so. Either way the dialog closes; there is no limit on how
// often it is asked.
class PasswordDialog final : public ShortLivedWindow {
 public:
  enum class Purpose {
    ObtainRights,
    ChangePassword,  // the set-password dialog follows the right password
    Confirm,         // one action waits for the right password (confirm)
  };
  PasswordDialog(Services& services, RetiredWindows& retired, AppState& state, PasswordHost& host)
      : ShortLivedWindow(services.ui, retired), services_(services), state_(state), host_(host) {}

  // Opens a fresh dialog, modal to `owner`.
  void open(Window& owner, Purpose purpose);
  // Asks for the password before an action: `granted` runs once the right
  // one was given, from the message loop after the dialog closed. The
  // rights stay as they are; a wrong answer or a closed dialog runs
  // nothing. A dialog that is open already comes to the front and keeps
  // the action it was opened for.
  void confirm(Window& owner, std::function<void()> granted);

  void onClick(ControlId id) override;
  void onClosed() override;

 private:
  Services& services_;
  AppState& state_;
  PasswordHost& host_;
  Purpose purpose_ = Purpose::ObtainRights;
  std::function<void()> granted_;  // Purpose::Confirm
  // Gone with the dialog, so that an action posted after it is dropped.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

const WindowDesign& passwordDialogDesign();

}  // namespace temvik

#pragma once

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
// right one grants the rights; a wrong one only says so. Either way the
// dialog closes; there is no limit on how often it is asked.
class PasswordDialog final : public ShortLivedWindow {
 public:
  enum class Purpose {
    ObtainRights,
    ChangePassword,  // the set-password dialog follows the right password
  };
  PasswordDialog(Services& services, RetiredWindows& retired, AppState& state, PasswordHost& host)
      : ShortLivedWindow(services.ui, retired), services_(services), state_(state), host_(host) {}

  // Opens a fresh dialog, modal to `owner`.
  void open(Window& owner, Purpose purpose);

  void onClick(ControlId id) override;

 private:
  Services& services_;
  AppState& state_;
  PasswordHost& host_;
  Purpose purpose_ = Purpose::ObtainRights;
};

const WindowDesign& passwordDialogDesign();

}  // namespace temvik

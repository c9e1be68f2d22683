#pragma once

#include "platform/id_blocks.h"
#include "platform/services.h"
#include "platform/short_lived_window.h"
#include "store/app_state.h"
#include "ui/dialogs/password_host.h"

namespace temvik {

namespace password_ids {
enum SetPasswordControl : ControlId {
  kBindingNote = id_blocks::kSetPassword + 1,  // 标签4
  kOldLabel,                                   // 标签1
  kOldPassword,                                // 编辑框1
  kCaseHint,                                   // 标签3
  kNewLabel,                                   // 标签2
  kNewPassword,                                // 编辑框2
  kSetOk,                                      // 超级按钮1
  kSetCancel,                                  // 超级按钮2
};
}  // namespace password_ids

// "设置密码": takes a new password, after the old one when one is stored.
// Without a stored password the old-password row is hidden and the new one
// stands in its place. Every "确定" writes the password to the item file
// (a plain value of an earlier version goes as its hash); "修改成功" is said
// only once the new one is written.
class SetPasswordDialog final : public ShortLivedWindow {
 public:
  SetPasswordDialog(Services& services, RetiredWindows& retired, AppState& state,
                    PasswordHost& host)
      : ShortLivedWindow(services.ui, retired), services_(services), state_(state), host_(host) {}

  // Opens a fresh dialog over `owner`, modal or not; one that is open
  // already comes to the front instead.
  void open(Window& owner, bool modal);

  void onClick(ControlId id) override;

 private:
  void confirm();
  // Writes `stored`, then keeps it in memory; false (told) when the write failed.
  bool store(const std::string& stored);

  Services& services_;
  AppState& state_;
  PasswordHost& host_;
};

// With the old-password row, for a stored password; without it (hidden, the
// new-password row moved up to top 32), when none is stored.
const WindowDesign& setPasswordDesign(bool passwordStored);

}  // namespace temvik

#include "ui/dialogs/password_dialog.h"

#include <utility>

#include "store/password.h"
#include "ui/dialogs/messages.h"

namespace temvik {

using namespace password_ids;

const WindowDesign& passwordDialogDesign() {
  using K = ControlKind;
  static const WindowDesign design = [] {
    WindowDesign d{
        .designName = "密码窗口",
        .title = "请输入密码",
        .rect = {0, 0, 280, 128},
        .minimizeBox = false,
        .centered = true,
        .controls =
            {
                {kPasswordLabel, "标签1", "passwordLabel", K::Label, {16, 16, 40, 24}, "密码:", ""},
                {kPasswordEntry, "编辑框1", "password", K::Edit, {60, 16, 196, 24}, "", ""},
                {kCaseNote, "标签2", "caseNote", K::Label, {60, 52, 96, 16}, "(区分大小写)", ""},
                {kPasswordOk, "超级按钮1", "ok", K::Button, {180, 48, 76, 28}, "确定", ""},
            },
        // Enter in the box is 确定; there is nothing to cancel but the close box.
        .defaultControl = kPasswordOk,
        .cancelControl = 0,
    };
    d.controls[1].secret = true;
    return d;
  }();
  return design;
}

void PasswordDialog::open(Window& owner, Purpose purpose) {
  if (bringToFront()) return;
  purpose_ = purpose;
  Window& w = create(passwordDialogDesign(), &owner);
  services_.ui.runModal(w);
}

void PasswordDialog::confirm(Window& owner, std::function<void()> granted) {
  if (bringToFront()) return;
  granted_ = std::move(granted);
  open(owner, Purpose::Confirm);
}

void PasswordDialog::onClick(ControlId id) {
  if (id != kPasswordOk) return;
  const auto matches =
      passwordMatches(services_.crypto, state_.password, window_->text(kPasswordEntry));
  if (!matches) {
    show(services_.prompts, window_.get(), kCryptoFailed);
    close();
    return;
  }
  if (!*matches) {
    show(services_.prompts, window_.get(),
         purpose_ == Purpose::Confirm ? kWrongPasswordNothingDone : kWrongPassword);
    close();
    return;
  }
  if (purpose_ == Purpose::Confirm) {
    // After the dialog's modal loop, so that what the action opens is the
    // active window and no loop of this dialog is under it.
    services_.ui.post([granted = std::exchange(granted_, {}), alive = std::weak_ptr(alive_)] {
      if (alive.lock() && granted) granted();
    });
    close();
    return;
  }
  if (purpose_ == Purpose::ChangePassword) host_.changePasswordNext();
  state_.rights = true;
  host_.rightsGranted();
  close();
}

void PasswordDialog::onClosed() { granted_ = nullptr; }

}  // namespace temvik

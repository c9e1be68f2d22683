#include "ui/dialogs/set_password_dialog.h"

#include <optional>
#include <string>

#include "store/password.h"
#include "store/store_error.h"
#include "ui/dialogs/messages.h"

namespace temvik {

using namespace password_ids;

namespace {

constexpr int kMovedUpTop = 32;

WindowDesign makeDesign(bool passwordStored) {
  using K = ControlKind;
  WindowDesign d{
      .designName = "设置密码窗口",
      .title = "设置密码",
      .rect = {0, 0, 360, 168},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kBindingNote,
               "标签4",
               "bindingNote",
               K::Label,
               {16, 8, 200, 16},
               "注：密码只和非同步计划绑定",
               ""},
              {kOldLabel, "标签1", "oldLabel", K::Label, {16, 32, 60, 24}, "旧密码:", ""},
              {kOldPassword, "编辑框1", "oldPassword", K::Edit, {80, 32, 160, 24}, "", ""},
              {kCaseHint, "标签3", "caseHint", K::Label, {248, 36, 88, 16}, "(区分大小写)", ""},
              {kNewLabel, "标签2", "newLabel", K::Label, {16, 64, 60, 24}, "新密码：", ""},
              {kNewPassword, "编辑框2", "newPassword", K::Edit, {80, 64, 160, 24}, "", ""},
              {kSetOk, "超级按钮1", "ok", K::Button, {164, 100, 76, 28}, "确定", ""},
              {kSetCancel, "超级按钮2", "cancel", K::Button, {248, 100, 76, 28}, "取消", ""},
          },
      .defaultControl = kSetOk,
      .cancelControl = kSetCancel,
  };
  for (ControlDesign& c : d.controls) {
    if (c.id == kOldPassword || c.id == kNewPassword) c.secret = true;
    if (passwordStored) continue;
    if (c.id == kOldLabel || c.id == kOldPassword) c.hidden = true;
    if (c.id == kNewLabel || c.id == kNewPassword) c.rect.y = kMovedUpTop;
  }
  return d;
}

}  // namespace

const WindowDesign& setPasswordDesign(bool passwordStored) {
  static const WindowDesign withOld = makeDesign(true);
  static const WindowDesign withoutOld = makeDesign(false);
  return passwordStored ? withOld : withoutOld;
}

void SetPasswordDialog::open(Window& owner, bool modal) {
  if (bringToFront()) return;
  Window& w = create(setPasswordDesign(!state_.password.empty()), &owner);
  if (modal) {
    services_.ui.runModal(w);
  } else {
    w.show();
    w.activate();
  }
}

void SetPasswordDialog::onClick(ControlId id) {
  if (id == kSetOk) confirm();
  if (id == kSetCancel) close();
}

bool SetPasswordDialog::store(const std::string& stored) {
  try {
    host_.writePassword(stored);
  } catch (const StoreError& error) {
    reportStoreError(services_.prompts, window_.get(), error);
    return false;
  }
  state_.password = stored;
  return true;
}

void SetPasswordDialog::confirm() {
  Window& w = *window_;
  const std::string current = state_.password;
  const std::string typed = w.text(kNewPassword);
  if (!current.empty()) {
    const auto oldMatches = passwordMatches(services_.crypto, current, w.text(kOldPassword));
    if (!oldMatches) {
      show(services_.prompts, window_.get(), kCryptoFailed);
      return;
    }
    if (!*oldMatches) {
      show(services_.prompts, window_.get(), kWrongOldPassword);
      w.setText(kOldPassword, "");
      w.setText(kNewPassword, "");
    }
    if (!*oldMatches || typed.empty()) {
      if (*oldMatches) show(services_.prompts, window_.get(), kEmptyNewPassword);
      // The password stays, but a plain one of an earlier version is
      // written as its hash now. Should that fail, it stays as it was.
      if (!isPasswordHash(current)) {
        if (const auto hashed = hashPassword(services_.crypto, current)) store(*hashed);
      }
      return;
    }
  } else if (typed.empty()) {
    show(services_.prompts, window_.get(), kEmptyNewPassword);
    return;
  }
  const std::optional<std::string> hashed = hashPassword(services_.crypto, typed);
  if (!hashed) {
    show(services_.prompts, window_.get(), kCryptoFailed);
    return;
  }
  if (!store(*hashed)) return;  // told; the dialog stays open with what was typed
  show(services_.prompts, window_.get(), kPasswordChanged);
  state_.rights = true;
  host_.passwordTaken();
  close();
}

}  // namespace temvik

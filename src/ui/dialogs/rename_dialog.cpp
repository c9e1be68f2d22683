#include "ui/dialogs/rename_dialog.h"

#include "ui/dialogs/messages.h"

namespace temvik {

using namespace rename_ids;

const WindowDesign& renameDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "更名窗口",
      .title = "更名",
      .rect = {0, 0, 300, 120},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kNameLabel, "透明标签1", "nameLabel", K::Label, {16, 22, 56, 20}, "计划名:", ""},
              {kNameText, "编辑框1", "nameText", K::Edit, {76, 18, 196, 24}, "", ""},
              {kRenameOk, "超级按钮1", "ok", K::Button, {188, 52, 84, 28}, "确定", ""},
          },
      // Enter takes the name; Esc closes the dialog as its frame does.
      .defaultControl = kRenameOk,
      .cancelControl = 0,
      .escapeCloses = true,
  };
  return design;
}

void RenameDialog::open(Window& owner, PlanPart part) {
  target_ = part;
  Window& w = isOpen() ? *window_ : create(renameDesign(), &owner);
  w.setText(kNameText, host_.partName(part));
  w.show();
  w.activate();
  w.focusAllSelected(kNameText);
}

void RenameDialog::onClick(ControlId id) {
  if (id != kRenameOk) return;
  const std::string name = window_->text(kNameText);
  if (name.empty()) {
    show(services_.prompts, window_.get(), kEmptyPlanName);
    return;
  }
  bool renamed = false;
  host_.guardedByHost([&] {
    host_.renamePart(target_, name);
    renamed = true;
  });
  if (renamed) close();
}

void RenameDialog::onClosed() { target_ = PlanPart::Sequential; }

}  // namespace temvik

#include "ui/dialogs/program_chooser.h"

#include "store/comma_list.h"

namespace temvik {

using namespace chooser_ids;

const WindowDesign& programChooserDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "执行程序窗口",
      .title = "设置执行程序",
      .rect = {0, 0, 400, 150},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kProgramFrame,
               "分组框1",
               "programFrame",
               K::GroupBox,
               {8, 8, 368, 56},
               "添加程序",
               ""},
              {kProgramText, "编辑框1", "programText", K::Edit, {16, 28, 352, 24}, "", ""},
              {kAddProgram, "超级按钮1", "addProgram", K::Button, {208, 72, 76, 28}, "添加", ""},
              {kProgramOk, "超级按钮2", "ok", K::Button, {292, 72, 84, 28}, "确定", ""},
          },
      // No cancel button: Esc does nothing, the close box closes.
      .defaultControl = kProgramOk,
      .cancelControl = 0,
  };
  return design;
}

void ProgramChooser::open(Window& owner, std::string& list) {
  if (bringToFront()) return;  // asked again while it is open
  list_ = &list;
  dialog_ = FileDialog(FileDialog::Kind::Open, "");  // no filter: all files
  Window& w = create(programChooserDesign(), &owner);
  w.setText(kProgramText, list);
  w.show();
  w.activate();
}

void ProgramChooser::onClick(ControlId id) {
  if (id == kAddProgram) {
    // Whatever name the dialog holds afterwards is appended, confirmed or
    // not: after a cancel that is the name chosen before, or none.
    dialog_.run(services_.prompts, window_.get());
    // The dialog's loop runs the scheduler: a timed start closes the
    // chooser, and the list is then another item's.
    if (!isOpen()) return;
    const std::string text = window_->text(kProgramText) + dialog_.fileName() + ",";
    window_->setText(kProgramText, text);
    *list_ = text;
  } else if (id == kProgramOk) {
    *list_ = committedCommaList(window_->text(kProgramText));
    close();
  }
}

}  // namespace temvik

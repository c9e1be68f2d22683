#include "run/content_note_window.h"

#include "run/run_controller.h"

namespace temvik {

using namespace run_ids;

namespace {

constexpr int kNoteAbove = 92;

}  // namespace

const WindowDesign& contentNoteDesign() {
  static const WindowDesign design{
      .designName = "内容窗口",
      .title = "刚完成的项目",
      .rect = {0, 0, 320, 88},
      .minimizeBox = false,
      .toolWindow = true,
      .controls = {{kNoteContent,
                    "编辑框1",
                    "content",
                    ControlKind::MultiLineEdit,
                    {4, 4, 296, 48},
                    "",
                    "",
                    false,
                    true}},
      // It only shows the content: no default and no cancel control, it
      // closes with the window it stands beside.
  };
  return design;
}

void ContentNoteWindow::open(Window& owner, const Window& beside, int dx) {
  Window& w = create(contentNoteDesign(), &owner);
  w.setText(kNoteContent, run_.state().content);
  follow(beside, dx);
  w.show();
}

void ContentNoteWindow::follow(const Window& beside, int dx) {
  const Rect b = beside.bounds();
  window_->move({b.x + dx, b.y - kNoteAbove});
}

}  // namespace temvik

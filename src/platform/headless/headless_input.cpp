// HeadlessWindow's input: what a user does with the mouse and the keyboard
// to a window and its controls, by the keyboard rules of platform/keyboard.h.

#include <string_view>

#include "platform/headless/headless_window.h"
#include "platform/keyboard.h"

namespace temvik::headless {

bool HeadlessWindow::usable(ControlId id) const {
  const Control& c = control(id);
  return !blocked() && open_ && visible_ && c.enabled && c.shown;
}

bool HeadlessWindow::click(ControlId id) {
  if (!usable(id)) return false;
  // Buttons and check boxes take the focus as the mouse presses them; labels do not.
  const ControlKind kind = control(id).design->kind;
  if (kind == ControlKind::Button || kind == ControlKind::CheckBox) focused_ = id;
  return press(id);
}

bool HeadlessWindow::press(ControlId id) {
  if (!usable(id)) return false;
  Control& c = control(id);
  if (c.design->kind == ControlKind::CheckBox) c.checked = !c.checked;
  events_.onClick(id);
  return true;
}

bool HeadlessWindow::doubleClick(ControlId id) {
  if (!usable(id)) return false;
  events_.onDoubleClick(id);
  return true;
}

bool HeadlessWindow::type(ControlId id, std::string_view text) {
  if (!usable(id)) return false;
  focused_ = id;
  control(id).text = text;
  control(id).allSelected = false;
  events_.onTextTyped(id);
  return true;
}

bool HeadlessWindow::keyDown(ControlId id, int virtualKey) {
  if (!usable(id)) return false;
  events_.onKeyDown(id, virtualKey);
  return true;
}

bool HeadlessWindow::pressKey(int virtualKey, bool shift) {
  if (!open_ || !visible_ || blocked()) return false;
  const KeyAnswer answer =
      answerKey(design_, focused_, virtualKey, shift, [this](ControlId id) { return usable(id); });
  switch (answer.kind) {
    case KeyAnswer::Kind::Focus:
      focused_ = answer.control;
      break;
    case KeyAnswer::Kind::Press:
      press(answer.control);
      break;
    case KeyAnswer::Kind::Close:
      requestClose();
      break;
    case KeyAnswer::Kind::Nothing:
      if (focused_ == 0) events_.onKeyDown(0, virtualKey);
      break;
    case KeyAnswer::Kind::Control:
      controlKey(virtualKey);
      break;
  }
  return true;
}

void HeadlessWindow::controlKey(int virtualKey) {
  if (focused_ == 0) {
    events_.onKeyDown(0, virtualKey);  // the window itself has the keyboard
    return;
  }
  if (!usable(focused_)) return;
  Control& c = control(focused_);
  switch (c.design->kind) {
    case ControlKind::ListBox:
      // The Win32 backend reports a list's keys; other controls keep theirs.
      events_.onKeyDown(focused_, virtualKey);
      break;
    case ControlKind::DropDown: {
      // Up and Down move the choice a row while the box is closed, as a
      // combo box does.
      const int step = virtualKey == vk::kDown ? 1 : virtualKey == vk::kUp ? -1 : 0;
      const int row = c.selection < 0 ? 0 : c.selection + step;
      if (step != 0 && row >= 0 && row < static_cast<int>(c.rows.size())) chooseRow(focused_, row);
      break;
    }
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (virtualKey == vk::kSpace) press(focused_);
      break;
    case ControlKind::MultiLineEdit:
      if (virtualKey == vk::kReturn && !c.design->readOnly) {
        c.text += "\r\n";
        events_.onTextTyped(focused_);
      }
      break;
    default:
      break;
  }
}

bool HeadlessWindow::rightClick(ControlId id) {
  if (!open_ || !visible_ || (id != 0 && !usable(id))) return false;
  events_.onContextMenu(id);
  return true;
}

void HeadlessWindow::clickAtPointer() {
  if (pointerControl_ != 0) clickRow(pointerControl_, pointerRow_);
}

}  // namespace temvik::headless

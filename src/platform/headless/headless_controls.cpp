// HeadlessWindow's controls: finding one by id (and kind), and the calls
// every control takes.

#include <stdexcept>
#include <string>

#include "platform/headless/headless_window.h"

namespace temvik::headless {

HeadlessWindow::Control& HeadlessWindow::control(ControlId id) {
  auto it = controls_.find(id);
  if (it == controls_.end()) throw std::out_of_range("no control " + std::to_string(id));
  return it->second;
}

const HeadlessWindow::Control& HeadlessWindow::control(ControlId id) const {
  auto it = controls_.find(id);
  if (it == controls_.end()) throw std::out_of_range("no control " + std::to_string(id));
  return it->second;
}

HeadlessWindow::Control& HeadlessWindow::control(ControlId id, ControlKind kind) {
  Control& c = control(id);
  if (c.design->kind != kind)
    throw std::invalid_argument("control " + std::to_string(id) + " is of another kind");
  return c;
}

const HeadlessWindow::Control& HeadlessWindow::control(ControlId id, ControlKind kind) const {
  return const_cast<HeadlessWindow*>(this)->control(id, kind);
}

void HeadlessWindow::setText(ControlId id, std::string_view text) { control(id).text = text; }
std::string HeadlessWindow::text(ControlId id) const {
  const Control& c = control(id);
  // A drop-down shows its chosen row, as a combo box's text is.
  if (c.design->kind == ControlKind::DropDown)
    return c.selection < 0 ? "" : c.rows[static_cast<std::size_t>(c.selection)].first;
  return c.text;
}
void HeadlessWindow::setEnabled(ControlId id, bool on) {
  control(id).enabled = on;
  // A disabled control loses the focus, as a native one does.
  if (!on && focused_ == id) focused_ = 0;
}
bool HeadlessWindow::isEnabled(ControlId id) const { return control(id).enabled; }
void HeadlessWindow::setShown(ControlId id, bool on) {
  control(id).shown = on;
  if (!on && focused_ == id) focused_ = 0;
}
bool HeadlessWindow::isShown(ControlId id) const { return control(id).shown; }
void HeadlessWindow::setChecked(ControlId id, bool on) { control(id).checked = on; }
bool HeadlessWindow::isChecked(ControlId id) const { return control(id).checked; }
void HeadlessWindow::setTooltip(ControlId id, std::string_view t) { control(id).tooltip = t; }

void HeadlessWindow::moveControl(ControlId id, Rect rect) { control(id).rect = rect; }

Rect HeadlessWindow::controlRect(ControlId id) const { return control(id).rect; }

void HeadlessWindow::focus(ControlId id) {
  const Control& c = control(id);
  if (c.enabled && c.shown) focused_ = id;
}

void HeadlessWindow::focusAllSelected(ControlId id) {
  focus(id);
  if (focused_ == id) control(id).allSelected = true;
}

}  // namespace temvik::headless

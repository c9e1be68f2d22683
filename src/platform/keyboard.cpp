#include "platform/keyboard.h"

#include "platform/window.h"

namespace temvik {

ControlId nextTabStop(const WindowDesign& design, ControlId from, bool backwards,
                      const ControlUsable& usable) {
  const auto& controls = design.controls;
  const int n = static_cast<int>(controls.size());
  // From no control (or one the table does not hold) the walk starts just
  // before the first control, or just after the last one.
  int start = backwards ? n : -1;
  for (int i = 0; i < n; ++i)
    if (from != 0 && controls[static_cast<std::size_t>(i)].id == from) start = i;
  for (int step = 1; step <= n; ++step) {
    const int i = ((backwards ? start - step : start + step) % n + n) % n;
    const ControlDesign& c = controls[static_cast<std::size_t>(i)];
    if (c.tabStop() && usable(c.id)) return c.id;
  }
  return 0;
}

ControlId initialFocus(const WindowDesign& design, const ControlUsable& usable) {
  if (design.defaultControl == 0 && design.cancelControl == 0 && !design.escapeCloses) return 0;
  return nextTabStop(design, 0, false, usable);
}

KeyAnswer answerKey(const WindowDesign& design, ControlId focused, int virtualKey, bool shift,
                    const ControlUsable& usable) {
  using Kind = KeyAnswer::Kind;
  const ControlDesign* current = focused != 0 ? design.control(focused) : nullptr;
  const auto pressOrNothing = [](ControlId id) {
    return id != 0 ? KeyAnswer{Kind::Press, id} : KeyAnswer{Kind::Nothing, 0};
  };
  switch (virtualKey) {
    case vk::kTab: {
      const ControlId next = nextTabStop(design, focused, shift, usable);
      return next != 0 ? KeyAnswer{Kind::Focus, next} : KeyAnswer{Kind::Nothing, 0};
    }
    case vk::kReturn:
      if (current && current->kind == ControlKind::MultiLineEdit) return {Kind::Control, focused};
      if (current && current->pressable()) return {Kind::Press, focused};
      return pressOrNothing(design.defaultControl);
    case vk::kEscape:
      if (design.cancelControl == 0 && design.escapeCloses) return {Kind::Close, 0};
      return pressOrNothing(design.cancelControl);
    case vk::kSpace:
      if (current && current->kind == ControlKind::Label && current->actsAsButton)
        return {Kind::Press, focused};
      return {Kind::Control, focused};
    default:
      return {Kind::Control, focused};
  }
}

}  // namespace temvik

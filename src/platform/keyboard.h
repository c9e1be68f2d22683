#pragma once

// How a window answers the keys that move between its controls and press
// them. Every backend asks these rules and only carries out the answer, so
// the program behaves the same on each:
//
// * Tab and Shift+Tab move the focus to the next or previous tab stop in the
//   order of the window's control table, wrapping round, past controls that
//   are disabled or hidden. From no focus, Tab goes to the first, Shift+Tab
//   to the last.
// * Enter presses the focused button (a push button or a label that acts as
//   one); elsewhere it presses the window's default control. A multi-line
//   edit keeps Enter for its line breaks.
// * Esc presses the window's cancel control; a window that has none but says
//   escapeCloses is asked to close, as its close box does.
// * Space presses a focused label that acts as a button; push buttons and
//   check boxes take Space themselves.
// * Without a default or a cancel control Enter or Esc does nothing.
// Presses take the path of a click: a disabled or hidden control ignores them.

#include <functional>

#include "platform/window_design.h"

namespace temvik {

// Whether a control can take the focus and input now: enabled and shown.
using ControlUsable = std::function<bool(ControlId)>;

struct KeyAnswer {
  enum class Kind {
    Control,  // the focused control (or the window) gets the key as usual
    Nothing,  // the key is used up and nothing happens
    Focus,    // `control` takes the focus
    Press,    // `control` is pressed as if clicked
    Close,    // the window is asked to close, as by its close box
  };
  Kind kind = Kind::Control;
  ControlId control = 0;
};

// What the key `virtualKey` (Shift held or not; never with Ctrl or Alt) does
// in a window with this design while `focused` has the focus (0: no control).
[[nodiscard]] KeyAnswer answerKey(const WindowDesign& design, ControlId focused, int virtualKey,
                                  bool shift, const ControlUsable& usable);

// The usable tab stop after `from` (before it with `backwards`), wrapping;
// `from` itself when it is the only one; 0 when there is none.
[[nodiscard]] ControlId nextTabStop(const WindowDesign& design, ControlId from, bool backwards,
                                    const ControlUsable& usable);

// The control that has the focus when the window opens. A dialog (a window
// with a default or a cancel control) starts on its first usable tab stop;
// other windows start with no control focused, so a stray key press does
// nothing until the user picks a control.
[[nodiscard]] ControlId initialFocus(const WindowDesign& design, const ControlUsable& usable);

}  // namespace temvik

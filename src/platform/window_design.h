#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

namespace temvik {

// Identifies a control within its window; also its Win32 control id. > 0.
using ControlId = int;
// Identifies a menu item within its window; also its WM_COMMAND id. > 0.
using MenuItemId = int;
// Identifies a timer within its window. > 0.
using TimerId = int;

enum class ControlKind {
  Label,          // static text, transparent background, reports clicks
  Button,         // push button
  CheckBox,       // auto check box
  Edit,           // single-line edit box
  MultiLineEdit,  // multi-line edit box with vertical scrolling
  ListBox,        // rows of text, each with 64-bit data
  // A closed box showing the chosen row; it drops its rows down to choose
  // another. Takes the list calls (rows, data, selection) and reports the
  // user's choice as onRowSelected. Its rect is the closed box.
  DropDown,
  GroupBox,       // frame with a caption
  MonthCalendar,  // one month's days; the user picks a date (onChanged)
  Surface,        // shows a picture the program sets; reports presses with their point
};

// One control of a window's control table. `designName` is the name the
// control has in the window design (超级按钮5); `identifier` says what it is
// for (runFromStart).
struct ControlDesign {
  ControlId id = 0;
  std::string_view designName;
  std::string_view identifier;
  ControlKind kind = ControlKind::Label;
  Rect rect;  // client coordinates
  std::string_view caption;
  std::string_view tooltip;
  bool checked = false;     // check boxes: ticked in the design
  bool readOnly = false;    // edit boxes: shows text the user cannot change
  bool alignRight = false;  // labels: text flush right, as numbers stand
  // Labels: the label is one of the window's buttons. It takes the focus
  // with Tab, and Enter or Space on it presses it as a click does.
  bool actsAsButton = false;
  bool hidden = false;  // created hidden (Window::setShown shows it)
  bool secret = false;  // edit boxes: shows a mask for each character typed (passwords)
  // Labels: the character height of the text in design pixels, for large
  // figures; 0 is the UI font.
  int fontPx = 0;
  // The control this one lies over on purpose (a marker on a picture, a
  // view in its corner); it comes before it in the table, which keeps it
  // above. 0: the control covers no other.
  ControlId overlays = 0;

  // Whether Tab stops at the control: whatever the user works with does;
  // labels only when they act as buttons, group boxes never.
  [[nodiscard]] bool tabStop() const {
    switch (kind) {
      case ControlKind::Label:
        return actsAsButton;
      case ControlKind::GroupBox:
        return false;
      default:
        return true;
    }
  }
  // Whether Enter on the focused control presses it.
  [[nodiscard]] bool pressable() const {
    return kind == ControlKind::Button || (kind == ControlKind::Label && actsAsButton);
  }
};

// A label that is pressed like a button (see actsAsButton).
[[nodiscard]] inline ControlDesign labelButton(ControlDesign label) {
  label.actsAsButton = true;
  return label;
}

// A control that lies over `under` on purpose (see overlays).
[[nodiscard]] inline ControlDesign lyingOver(ControlId under, ControlDesign control) {
  control.overlays = under;
  return control;
}

struct MenuItemDesign {
  MenuItemId id = 0;  // 0 for a separator
  std::string_view caption;
  std::string_view designName;
  [[nodiscard]] bool isSeparator() const { return id == 0; }
};

// A top-level menu. Hidden menus are not on the menu bar; they serve as
// context menus (Window::popupMenu).
struct MenuDesign {
  std::string_view caption;
  std::string_view designName;
  bool hidden = false;
  std::vector<MenuItemDesign> items;
};

struct WindowDesign {
  std::string_view designName;
  std::string_view title;
  Rect rect;  // outer rectangle on the screen
  bool resizable = false;
  bool minimizeBox = true;
  bool toolWindow = false;  // no task-bar button, thin caption
  bool centered = false;    // placed in the middle of the screen, rect.x/y ignored
  bool borderless = false;  // no caption or frame
  // Stays above every window that is not topmost, other programs' too.
  bool topmost = false;
  // A picture kept in the program that fills the window; its pure white
  // parts are see-through, which gives the window its outline.
  std::string_view picture;
  // In the order Tab moves through them (see platform/keyboard.h).
  std::vector<ControlDesign> controls;
  std::vector<MenuDesign> menus;
  // Enter presses the default control, Esc the cancel control; 0: the key
  // does nothing. A window may name one control for both.
  ControlId defaultControl = 0;
  ControlId cancelControl = 0;
  // Without a cancel control, Esc asks the window to close as its close box
  // does (a dialog whose only way out is its frame).
  bool escapeCloses = false;

  [[nodiscard]] const ControlDesign* control(ControlId id) const {
    for (const auto& c : controls)
      if (c.id == id) return &c;
    return nullptr;
  }
};

}  // namespace temvik

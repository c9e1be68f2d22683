#pragma once

// HeadlessWindow: a window in memory whose whole state a test can read, and
// what a user does to it (the Win32 twin: Win32Window in win32_ui.h). Its
// members are defined one concern a file, as Win32Window's are:
//   headless_window.cpp               making, activating, closing, moving, timers
//   headless_input.cpp                clicks, typing, the keyboard rules
//   headless_controls.cpp             the calls every control takes
//   headless_lists.cpp                list boxes, drop-downs and the user's picks
//   headless_calendars_surfaces.cpp   month calendars and drawing surfaces
//   headless_menus_tray.cpp           menus, popup menus and the tray icon

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/window.h"

namespace temvik::headless {

class HeadlessUi;

class HeadlessWindow final : public Window {
 public:
  HeadlessWindow(HeadlessUi& ui, const WindowDesign& design, WindowEvents& events, Window* owner);
  ~HeadlessWindow() override;

  // Window
  void setTitle(std::string_view title) override { title_ = title; }
  [[nodiscard]] std::string title() const override { return title_; }
  void show() override { visible_ = true; }
  void hide() override { visible_ = false; }
  [[nodiscard]] bool isVisible() const override { return visible_ && open_; }
  void activate() override;
  void requestClose() override;
  void close() override;
  [[nodiscard]] bool isOpen() const override { return open_; }
  void move(Point topLeft) override;
  [[nodiscard]] Rect bounds() const override { return bounds_; }
  void setLayered(std::uint8_t alpha) override { alpha_ = alpha; }
  [[nodiscard]] int layeredAlpha() const override { return alpha_; }
  void setMinimizeBox(bool shown) override { minimizeBox_ = shown; }
  [[nodiscard]] bool hasMinimizeBox() const override { return minimizeBox_; }

  void setText(ControlId, std::string_view text) override;
  [[nodiscard]] std::string text(ControlId) const override;
  void setEnabled(ControlId, bool) override;
  [[nodiscard]] bool isEnabled(ControlId) const override;
  void setShown(ControlId, bool) override;
  [[nodiscard]] bool isShown(ControlId) const override;
  void moveControl(ControlId, Rect rect) override;
  [[nodiscard]] Rect controlRect(ControlId) const override;
  void setChecked(ControlId, bool) override;
  [[nodiscard]] bool isChecked(ControlId) const override;
  void setTooltip(ControlId, std::string_view) override;
  void focus(ControlId id) override;
  void focusAllSelected(ControlId id) override;
  // Whether the edit box's whole text is selected (until it is typed into).
  [[nodiscard]] bool allSelected(ControlId id) const { return control(id).allSelected; }

  void listClear(ControlId) override;
  int listAdd(ControlId, std::string_view text, std::int64_t data) override;
  void listSetRows(ControlId, const std::vector<std::string>& rows) override;
  void listRemove(ControlId, int row) override;
  [[nodiscard]] int listCount(ControlId) const override;
  [[nodiscard]] std::string listText(ControlId, int row) const override;
  void listSetText(ControlId, int row, std::string_view text) override;
  [[nodiscard]] std::int64_t listData(ControlId, int row) const override;
  void listSetData(ControlId, int row, std::int64_t data) override;
  [[nodiscard]] int listSelection(ControlId) const override;
  void listSelect(ControlId, int row) override;

  // A calendar starts on the virtual clock's date, as a real one on today.
  void calendarSetDate(ControlId, const DateTime& date) override;
  [[nodiscard]] DateTime calendarDate(ControlId) const override;
  void surfaceSetPicture(ControlId, Picture picture, PictureFit fit) override;
  void surfaceSetDrawing(ControlId, Drawing drawing) override;

  void setMenuEnabled(MenuItemId, bool) override;
  [[nodiscard]] bool isMenuEnabled(MenuItemId) const override;
  void setMenuCaption(MenuItemId, std::string_view) override;
  [[nodiscard]] std::string menuCaption(MenuItemId) const override;
  void setMenuChecked(MenuItemId, bool) override;
  [[nodiscard]] bool isMenuChecked(MenuItemId) const override;
  void popupMenu(std::string_view menuDesignName) override;

  void setTimer(TimerId, std::uint64_t intervalMs) override;
  [[nodiscard]] std::uint64_t timerInterval(TimerId) const override;

  void clickAtPointer() override;

  void showTrayIcon(std::string_view tooltip) override;
  void removeTrayIcon() override { tray_.reset(); }
  [[nodiscard]] bool hasTrayIcon() const override { return tray_.has_value(); }

  // --- what a user does (each refused, returning false, when the control
  // is disabled or hidden, as a real window would ignore it)
  bool click(ControlId id);
  bool doubleClick(ControlId id);
  bool type(ControlId id, std::string_view text);  // replaces the text, then onTextTyped
  bool keyDown(ControlId id, int virtualKey);
  // A key pressed while the window is active: it goes to the focused
  // control, or moves the focus or presses a control by the keyboard rules
  // (platform/keyboard.h). False when the window cannot take keys (closed,
  // hidden, or blocked by a modal window).
  bool pressKey(int virtualKey, bool shift = false);
  // The control with the keyboard focus, 0 for none.
  [[nodiscard]] ControlId focusedControl() const { return focused_; }
  // Left click on a list row: mouse down, selection moves, row selected, mouse up.
  bool clickRow(ControlId list, int row);
  bool rightClickRow(ControlId list, int row);  // pointer over `row` (-1: below the rows)
  bool doubleClickRow(ControlId list, int row);
  // The user chooses `row` of a drop-down (it takes the focus); onRowSelected
  // when that is another row than the chosen one.
  bool chooseRow(ControlId dropDown, int row);
  bool chooseMenu(MenuItemId id);
  // Right button released over a control (0: the window itself).
  bool rightClick(ControlId id);
  // The minimise box: false when the window's code took it over.
  bool minimize();
  [[nodiscard]] bool isMinimized() const { return minimized_; }
  bool trayDoubleClick();
  bool trayRightClick();
  // Selects `date` in a month calendar (refused for a date it cannot show);
  // onChanged when that is another date than the selected one.
  bool pickDate(ControlId calendar, const DateTime& date);
  // A button goes down on a surface at `at`, which must lie on the surface.
  bool pressSurface(ControlId surface, Point at, MouseButton button = MouseButton::Left);
  // What the surface shows, as last set.
  [[nodiscard]] const Picture& surfacePicture(ControlId surface) const;
  [[nodiscard]] PictureFit surfaceFit(ControlId surface) const;
  // The drawing the surface shows, as last set; empty while it shows a picture.
  [[nodiscard]] const Drawing& surfaceDrawing(ControlId surface) const;
  [[nodiscard]] std::string trayTooltip() const { return tray_.value_or(""); }
  // The hidden menu popped up last, or "" (cleared when read).
  std::string takePoppedMenu();
  [[nodiscard]] std::vector<std::string> listRows(ControlId list) const;
  [[nodiscard]] const WindowDesign& design() const { return design_; }
  [[nodiscard]] Window* owner() const { return owner_; }
  [[nodiscard]] WindowEvents& events() const { return events_; }
  [[nodiscard]] bool isModal() const { return modal_; }

 private:
  friend class HeadlessUi;
  struct Control {
    const ControlDesign* design = nullptr;
    std::string text;
    std::string tooltip;
    bool enabled = true;
    bool shown = true;
    bool checked = false;
    bool allSelected = false;
    std::vector<std::pair<std::string, std::int64_t>> rows;
    int selection = -1;
    DateTime date;    // month calendars
    Picture picture;  // surfaces
    PictureFit fit = PictureFit::Actual;
    Drawing drawing;
    Rect rect;
  };
  struct Timer {
    std::uint64_t interval = 0;
    std::uint64_t due = 0;
    std::uint64_t order = 0;  // start order, to fire equal due times in turn
  };
  Control& control(ControlId id);
  [[nodiscard]] const Control& control(ControlId id) const;
  // The control, which must be of `kind`.
  Control& control(ControlId id, ControlKind kind);
  [[nodiscard]] const Control& control(ControlId id, ControlKind kind) const;
  [[nodiscard]] bool usable(ControlId id) const;
  [[nodiscard]] bool blocked() const;
  // A click's effect without the mouse: what Enter, Esc and Space press.
  bool press(ControlId id);
  // A key the focused control handles itself, as its native kind would.
  void controlKey(int virtualKey);

  HeadlessUi& ui_;
  WindowDesign design_;
  WindowEvents& events_;
  Window* owner_;
  std::string title_;
  Rect bounds_;
  bool visible_ = false;
  bool open_ = true;
  bool modal_ = false;
  bool minimized_ = false;
  bool minimizeBox_ = true;
  int alpha_ = -1;
  ControlId focused_ = 0;
  std::map<ControlId, Control> controls_;
  std::map<MenuItemId, std::pair<bool, std::string>> menus_;  // enabled, caption
  std::set<MenuItemId> checkedMenus_;
  std::map<TimerId, Timer> timers_;
  std::string poppedMenu_;
  std::optional<std::string> tray_;
  // Where the pointer is: a list control and row, for clickAtPointer.
  ControlId pointerControl_ = 0;
  int pointerRow_ = -1;
};

}  // namespace temvik::headless

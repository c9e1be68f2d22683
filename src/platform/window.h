#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/date_time.h"
#include "platform/drawing.h"
#include "platform/geometry.h"
#include "platform/picture.h"
#include "platform/post_queue.h"
#include "platform/window_design.h"

namespace temvik {

// The translucent look of the program's windows: a constant alpha of 230
// of 255 (Window::setLayered).
inline constexpr std::uint8_t kLayeredAlpha = 230;

enum class MouseButton { Left, Right, Middle };

// Virtual key codes the program reacts to.
namespace vk {
inline constexpr int kTab = 9;
inline constexpr int kDelete = 46;
inline constexpr int kSpace = 32;
inline constexpr int kReturn = 13;
inline constexpr int kEscape = 27;
inline constexpr int kUp = 38;
inline constexpr int kDown = 40;
}  // namespace vk

// What a window's code hears. Every handler runs on the UI thread.
// Programmatic changes (setText, listSelect, setChecked, calendarSetDate)
// raise no event: the code that makes them calls what it means to call.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // The window and all its controls exist; it is not yet shown.
  virtual void onCreated() {}
  virtual void onActivated() {}
  // The user (or Window::requestClose) asks to close; false keeps it open.
  virtual bool onCloseRequested() { return true; }
  virtual void onClosed() {}
  virtual void onMoved(Point /*topLeft*/) {}
  // The user asks to minimise the window; true when the handler dealt with
  // it itself, and the window is not minimised.
  virtual bool onMinimizing() { return false; }

  virtual void onClick(ControlId) {}  // buttons, check boxes (after the tick changed), labels
  virtual void onDoubleClick(ControlId) {}
  virtual void onTextTyped(ControlId) {}    // the user changed an edit box's text
  virtual void onRowSelected(ControlId) {}  // the user selected a list row or chose a drop-down's
  virtual void onMouseDown(ControlId, MouseButton) {}  // list boxes: before the selection moves
  virtual void onMouseUp(ControlId, MouseButton) {}
  // Surfaces: a button went down at `at`, in the surface's own coordinates.
  virtual void onMouseDownAt(ControlId, MouseButton, Point /*at*/) {}
  // Month calendars: the user selected another date.
  virtual void onChanged(ControlId) {}
  // A key went down in a list box, or (ControlId 0) in the window while no
  // control has the focus and the keyboard rules did not use it to move the
  // focus or press a control. Auto-repeat reports each repetition.
  virtual void onKeyDown(ControlId, int /*virtualKey*/) {}
  virtual void onTimer(TimerId) {}
  virtual void onMenu(MenuItemId) {}
  // The right button was released over a control, or over the window (0).
  virtual void onContextMenu(ControlId) {}
  virtual void onTrayDoubleClick() {}
  virtual void onTrayRightClick() {}
  // The system clock was set, or the computer woke from sleep or
  // hibernation: the wall-clock time may have jumped. Every top-level
  // window hears it.
  virtual void onSystemTimeChanged() {}
  // Windows ends the session (shut down, restart, log off): the process
  // goes right after, without its windows closing first.
  virtual void onSessionEnding() {}
};

// A top-level window with the controls of its WindowDesign. Created through
// Ui::createWindow; destroying the object destroys the native window.
class Window {
 public:
  virtual ~Window() = default;

  // --- the window itself
  virtual void setTitle(std::string_view title) = 0;
  [[nodiscard]] virtual std::string title() const = 0;
  virtual void show() = 0;
  virtual void hide() = 0;
  [[nodiscard]] virtual bool isVisible() const = 0;
  virtual void activate() = 0;
  // Asks to close, as the close box does: onCloseRequested may refuse.
  virtual void requestClose() = 0;
  // Closes without asking (onClosed runs).
  virtual void close() = 0;
  [[nodiscard]] virtual bool isOpen() const = 0;
  // The outer rectangle in design pixels, as WindowDesign::rect is: at other
  // DPIs than 96 the backend converts.
  virtual void move(Point topLeft) = 0;
  [[nodiscard]] virtual Rect bounds() const = 0;
  // The translucent look: layered extended style with a constant alpha.
  virtual void setLayered(std::uint8_t alpha) = 0;
  [[nodiscard]] virtual int layeredAlpha() const = 0;  // -1 when not layered
  // The minimise box of the caption, taken away and given back.
  virtual void setMinimizeBox(bool shown) = 0;
  [[nodiscard]] virtual bool hasMinimizeBox() const = 0;

  // --- controls
  virtual void setText(ControlId, std::string_view text) = 0;
  [[nodiscard]] virtual std::string text(ControlId) const = 0;
  virtual void setEnabled(ControlId, bool) = 0;
  [[nodiscard]] virtual bool isEnabled(ControlId) const = 0;
  virtual void setShown(ControlId, bool) = 0;
  [[nodiscard]] virtual bool isShown(ControlId) const = 0;
  // Where a control is, in the window's client coordinates and design
  // pixels; moving it keeps it there at every DPI.
  virtual void moveControl(ControlId, Rect rect) = 0;
  [[nodiscard]] virtual Rect controlRect(ControlId) const = 0;
  virtual void setChecked(ControlId, bool) = 0;
  [[nodiscard]] virtual bool isChecked(ControlId) const = 0;
  virtual void setTooltip(ControlId, std::string_view) = 0;
  virtual void focus(ControlId) = 0;
  // Focuses an edit box with all of its text selected, so typing replaces it.
  virtual void focusAllSelected(ControlId) = 0;

  // --- list boxes and drop-downs (a drop-down's selection is its choice)
  virtual void listClear(ControlId) = 0;
  virtual int listAdd(ControlId, std::string_view text, std::int64_t data = 0) = 0;
  // Replaces every row (data 0) and clears the selection, drawn once: how
  // a long list is filled.
  virtual void listSetRows(ControlId, const std::vector<std::string>& rows) = 0;
  virtual void listRemove(ControlId, int row) = 0;
  [[nodiscard]] virtual int listCount(ControlId) const = 0;
  [[nodiscard]] virtual std::string listText(ControlId, int row) const = 0;
  virtual void listSetText(ControlId, int row, std::string_view text) = 0;
  [[nodiscard]] virtual std::int64_t listData(ControlId, int row) const = 0;
  virtual void listSetData(ControlId, int row, std::int64_t data) = 0;
  // -1 when no row is selected.
  [[nodiscard]] virtual int listSelection(ControlId) const = 0;
  virtual void listSelect(ControlId, int row) = 0;

  // --- month calendars: the selected date, at 00:00:00
  // The time of day is ignored; a date the calendar cannot show changes nothing.
  virtual void calendarSetDate(ControlId, const DateTime& date) = 0;
  [[nodiscard]] virtual DateTime calendarDate(ControlId) const = 0;

  // --- surfaces: the picture shown (an empty one clears it)
  virtual void surfaceSetPicture(ControlId, Picture picture, PictureFit fit) = 0;
  // The shapes drawn over the window colour, in place of a picture; a
  // picture set later takes its place again (an empty drawing clears it).
  virtual void surfaceSetDrawing(ControlId, Drawing drawing) = 0;

  // --- menus
  virtual void setMenuEnabled(MenuItemId, bool) = 0;
  [[nodiscard]] virtual bool isMenuEnabled(MenuItemId) const = 0;
  // A check mark beside the item, for a menu item that turns something on.
  virtual void setMenuChecked(MenuItemId, bool) = 0;
  [[nodiscard]] virtual bool isMenuChecked(MenuItemId) const = 0;
  virtual void setMenuCaption(MenuItemId, std::string_view) = 0;
  [[nodiscard]] virtual std::string menuCaption(MenuItemId) const = 0;
  // Pops the hidden top-level menu with this design name up at the pointer.
  // The chosen item arrives as onMenu.
  virtual void popupMenu(std::string_view menuDesignName) = 0;

  // --- timers: 0 stops; setting an interval restarts the count.
  virtual void setTimer(TimerId, std::uint64_t intervalMs) = 0;
  [[nodiscard]] virtual std::uint64_t timerInterval(TimerId) const = 0;

  // --- the window's icon in the notification area
  // Adds the icon, or updates its tooltip when it is there already.
  virtual void showTrayIcon(std::string_view tooltip) = 0;
  virtual void removeTrayIcon() = 0;
  [[nodiscard]] virtual bool hasTrayIcon() const = 0;

  // --- input
  // A left click at the pointer's position, as if the user made it: the
  // control under the pointer gets its mouse and selection events.
  virtual void clickAtPointer() = 0;
};

// Creates windows and runs them. Everything but post and poster belongs to
// the UI thread, the one that made the Ui.
class Ui {
 public:
  virtual ~Ui() = default;

  // Any thread: `fn` runs on the UI thread, from its message loop (the
  // program's, a modal window's or a message box's), after everything posted
  // before it and never inside this call. After quit() it is dropped and
  // post returns false; what was still waiting then is dropped too.
  bool post(std::function<void()> fn) { return postQueue()->post(std::move(fn)); }
  // The same for a worker that may outlive the Ui.
  [[nodiscard]] Poster poster() { return Poster(postQueue()); }

  // Creates the window hidden; onCreated runs before this returns.
  // `owner` keeps the window above its owner.
  virtual std::unique_ptr<Window> createWindow(const WindowDesign& design, WindowEvents& events,
                                               Window* owner) = 0;
  // Shows `window` modally (its owner disabled) and returns once it closed.
  virtual void runModal(Window& window) = 0;
  // Ends the program's message loop; posts are dropped from now on.
  virtual void quit() = 0;

 protected:
  [[nodiscard]] virtual std::shared_ptr<PostQueue> postQueue() = 0;
};

}  // namespace temvik

#pragma once

// The Win32 backend of the portable UI model: real top-level windows with
// child controls, menus, tooltips and timers.

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/dpi.h"
#include "platform/window.h"

namespace temvik {

struct Win32Options {
  // The longest native timer the backend arms at once. Longer intervals run
  // as several native timers and fire when the whole interval has passed.
  // Tests lower it to see the chunking work.
  std::uint64_t maxTimerChunkMs = USER_TIMER_MAXIMUM;
  // The one font of every control. Empty picks the first installed of
  // Microsoft YaHei UI, 微软雅黑, WenQuanYi Micro Hei and 宋体. 0 picks the
  // character height of 12 px (9 pt) at 96 DPI, which the window layouts are
  // made for; at other DPIs the font scales with the layout.
  std::wstring fontFace;
  int fontCharHeightPx = 0;
  // The DPI every window is laid out for. 0: each window takes its
  // monitor's. Tests set one to see the scaling on a screen without it.
  UINT dpi = 0;
  // The work area every window is fitted into. Null: its monitor's. Tests
  // point it at a rectangle they change, which wine cannot do to a monitor.
  const Rect* workArea = nullptr;
};

class Win32Window;

class Win32Ui final : public Ui {
 public:
  explicit Win32Ui(Win32Options options = {});
  ~Win32Ui() override;
  Win32Ui(const Win32Ui&) = delete;
  Win32Ui& operator=(const Win32Ui&) = delete;

  std::unique_ptr<Window> createWindow(const WindowDesign& design, WindowEvents& events,
                                       Window* owner) override;
  void runModal(Window& window) override;
  void quit() override;

  // The program's message loop. Returns the code given to PostQuitMessage,
  // or 0 when `untilClosed` (if any) is no longer open.
  int run(const Window* untilClosed = nullptr);

  // Hands one message from the thread's queue on, as every message loop of
  // the program does: the keys a window answers itself (Tab, Enter, Esc,
  // Space on a label button; see platform/keyboard.h) go to that window,
  // everything else is translated and dispatched.
  static void dispatch(const MSG& msg);

  // The controls' font for windows at `dpi`, made when first asked for; a
  // character height other than 0 (in design pixels) asks for that size.
  [[nodiscard]] HFONT font(UINT dpi = kDesignDpi, int charHeightPx = 0) const;
  // The program's icon at the small size (title bars, the notification area).
  [[nodiscard]] HICON smallIcon() const { return smallIcon_; }
  // The character height of the font at 96 DPI.
  [[nodiscard]] int fontCharHeightPx() const { return fontCharHeightPx_; }
  [[nodiscard]] const Win32Options& options() const { return options_; }

 private:
  [[nodiscard]] std::shared_ptr<PostQueue> postQueue() override { return posts_; }

  Win32Options options_;
  // Posted functions wait here; a message to postWindow_ (HWND_MESSAGE)
  // makes the UI thread run them from whichever loop it is in.
  std::shared_ptr<PostQueue> posts_;
  HWND postWindow_ = nullptr;
  std::wstring fontFace_;
  mutable std::map<std::pair<UINT, int>, HFONT> fonts_;  // by DPI and character height
  HICON smallIcon_ = nullptr;
  int fontCharHeightPx_ = 0;
};

// True when the program runs under wine rather than Windows.
[[nodiscard]] bool runningUnderWine();

// One top-level window. Every control has its ControlId as its child id, so
// GetDlgItem finds it. The window is laid out for the DPI of its monitor:
// the design's rectangles and the font scale by DPI / 96, when it is made and
// whenever its DPI changes. It opens inside its monitor's work area and comes
// back inside when that shrinks, laid out at a lower DPI where its design
// would not fit at the monitor's. bounds() and move() speak design pixels, as the
// design's rectangle does. Its members are defined one concern a file:
// win32_window.cpp says which file holds what.
class Win32Window final : public Window {
 public:
  Win32Window(const Win32Ui& ui, WindowEvents& events);
  // Destroys the native window without onClosed: the events object may be
  // half gone by then.
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // Creates the native window and its controls, then runs onCreated.
  bool create(const WindowDesign& design, HWND owner);

  void setTitle(std::string_view title) override;
  [[nodiscard]] std::string title() const override;
  void show() override;
  void hide() override;
  [[nodiscard]] bool isVisible() const override;
  void activate() override;
  void requestClose() override;
  void close() override;
  [[nodiscard]] bool isOpen() const override;
  void move(Point topLeft) override;
  [[nodiscard]] Rect bounds() const override;
  void setLayered(std::uint8_t alpha) override;
  [[nodiscard]] int layeredAlpha() const override;
  void setMinimizeBox(bool shown) override;
  [[nodiscard]] bool hasMinimizeBox() const override;

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
  void focus(ControlId) override;
  void focusAllSelected(ControlId) override;

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

  void calendarSetDate(ControlId, const DateTime& date) override;
  [[nodiscard]] DateTime calendarDate(ControlId) const override;
  // The picture is drawn from memory at every paint; the rest of the
  // surface in the window colour.
  void surfaceSetPicture(ControlId, Picture picture, PictureFit fit) override;
  // The drawing is painted with GDI at the window's DPI at every paint.
  void surfaceSetDrawing(ControlId, Drawing drawing) override;

  void setMenuEnabled(MenuItemId, bool) override;
  [[nodiscard]] bool isMenuEnabled(MenuItemId) const override;
  void setMenuChecked(MenuItemId, bool) override;
  [[nodiscard]] bool isMenuChecked(MenuItemId) const override;
  void setMenuCaption(MenuItemId, std::string_view) override;
  [[nodiscard]] std::string menuCaption(MenuItemId) const override;
  void popupMenu(std::string_view menuDesignName) override;

  void setTimer(TimerId, std::uint64_t intervalMs) override;
  [[nodiscard]] std::uint64_t timerInterval(TimerId) const override;

  // The icon sits in the notification area with id kTrayIconId and the
  // program's small icon; its tooltip keeps the first 127 UTF-16 units.
  // When the shell starts again ("TaskbarCreated") the icon comes back.
  void showTrayIcon(std::string_view tooltip) override;
  void removeTrayIcon() override;
  [[nodiscard]] bool hasTrayIcon() const override { return trayShown_; }

  void clickAtPointer() override;

  // --- native access, for the other Win32 pieces and for tests
  static constexpr UINT kTrayIconId = 1;
  // The tooltip as handed to the shell, or "" without an icon.
  [[nodiscard]] std::wstring trayTooltip() const { return trayTip_.value_or(L""); }
  [[nodiscard]] HWND hwnd() const { return hwnd_; }
  // The DPI the window and its controls are laid out for.
  [[nodiscard]] UINT dpi() const { return dpi_; }
  [[nodiscard]] HWND controlHwnd(ControlId id) const;
  [[nodiscard]] std::string tooltip(ControlId id) const;
  // The hidden top-level menu with this design name, or null.
  [[nodiscard]] HMENU popupMenuHandle(std::string_view menuDesignName) const;
  // While shown modally: the owner to enable again before this window goes,
  // so that the owner, not some other program, becomes active.
  void setModalOwner(HWND owner) { modalOwner_ = owner; }
  // The keyboard rules for a key message sent to one of the program's
  // windows or its controls; true when the window used the key up.
  static bool handleDialogKey(const MSG& msg);

 private:
  friend class Win32Ui;  // registers windowProc

  struct Control {
    ControlKind kind = ControlKind::Label;
    HWND hwnd = nullptr;
    std::wstring tip;
    DateTime date;    // month calendars: the date last seen selected
    Picture picture;  // surfaces
    PictureFit fit = PictureFit::Actual;
    Drawing drawing;
    // List boxes: the text of every row, as the list box shows it. Read
    // from here: asking the list box for thousands of rows is slow.
    std::vector<std::string> rows;
  };
  struct Timer {
    std::uint64_t intervalMs = 0;
    std::uint64_t startMs = 0;  // GetTickCount64 when the count began
  };
  struct Popup {
    std::string designName;
    std::string caption;
    HMENU menu = nullptr;
  };

  static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK listProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK surfaceProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK buttonProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT handleList(HWND list, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT handleSurface(HWND surface, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT handleButton(HWND button, UINT msg, WPARAM wp, LPARAM lp);
  bool handleKey(HWND target, int virtualKey);
  void focusByKeyboard(ControlId id);
  // A click's effect, sent as the control's own notification.
  void press(ControlId id);
  // The default look goes to the push button that has the focus, else to
  // the window's default button.
  void showDefaultLook(HWND focusTo);
  // The dotted frame round a focused label that acts as a button.
  void paintFocus(HDC dc) const;
  [[nodiscard]] RECT focusFrame(HWND label) const;
  [[nodiscard]] bool usable(ControlId id) const;
  void handleCommand(int id, int code, HWND from);
  void handleNotify(const NMHDR& from);
  void handleCalendarSelection(ControlId id, Control& calendar);
  void paintSurface(HWND surface, HDC dc) const;
  void paintDrawing(HDC dc, const Drawing& drawing) const;
  void handleTimer(TimerId id);
  void handleTray(UINT mouseMessage);
  bool handleContextMenu(LPARAM screenPoint);
  void paintPicture(HDC dc) const;
  void pushTrayIcon(DWORD firstTry);
  void deleteTrayIcon();
  void armTimer(TimerId id, std::uint64_t remainingMs);
  [[nodiscard]] std::uint64_t timerChunkMs() const;

  void createControl(const ControlDesign& c);
  // Where the window goes on the screen, at dpi_.
  [[nodiscard]] Rect screenRect(const WindowDesign& design) const;
  // Design points (bounds, move) to and from screen points, at dpi_.
  [[nodiscard]] Point toScreen(Point design) const;
  [[nodiscard]] Point toDesign(Point screen) const;
  // Takes on a new DPI: the window gets `suggested`, the controls their
  // design rectangles and the font at that DPI, then it is fitted.
  void applyDpi(UINT dpi, const RECT& suggested);
  // The controls at their design rectangles and the font, both at dpi_.
  void layOutControls();
  // Puts the window's top-left corner at `wanted` (screen pixels) or as
  // near as it can go with the whole window inside its monitor's work area,
  // laid out smaller than the monitor's DPI where it would not fit.
  void fitToWorkArea(Point wanted);
  [[nodiscard]] Point topLeftOnScreen() const;
  void createMenus(const WindowDesign& design);
  [[nodiscard]] const Control* find(ControlId id) const;
  // The control when it is of `kind`, or null.
  [[nodiscard]] Control* find(ControlId id, ControlKind kind);
  [[nodiscard]] HWND list(ControlId id) const;
  // The list box control, or null.
  [[nodiscard]] Control* listControl(ControlId id);
  [[nodiscard]] const Control* listControl(ControlId id) const;
  [[nodiscard]] HMENU menuOf(MenuItemId id) const;
  void redrawBehind(HWND control);
  void destroyNative();
  // The events object, or null once the window is gone or being created.
  [[nodiscard]] WindowEvents* events() const { return creating_ ? nullptr : events_; }

  const Win32Ui& ui_;
  WindowEvents* events_;
  WindowDesign design_;
  HWND hwnd_ = nullptr;
  HWND tooltipHwnd_ = nullptr;
  HWND modalOwner_ = nullptr;
  UINT monitorDpi_ = kDesignDpi;  // the DPI of the window's monitor
  // What the window and its controls are laid out for: the monitor's DPI,
  // or less where the window would not fit its work area.
  UINT dpi_ = kDesignDpi;
  bool fitting_ = false;
  HWND lastFocus_ = nullptr;  // the control to focus again on activation
  HMENU menuBar_ = nullptr;
  // The background of a window with a picture; its pure white is see-through.
  HBITMAP picture_ = nullptr;
  // The tooltip while the window wants its tray icon; whether the shell has it.
  std::optional<std::wstring> trayTip_;
  bool trayShown_ = false;
  bool open_ = false;
  bool creating_ = true;
  int quiet_ = 0;  // > 0 while the code changes controls: no events
  std::map<ControlId, Control> controls_;
  std::map<MenuItemId, HMENU> menuOfItem_;
  std::vector<Popup> popups_;
  std::map<TimerId, Timer> timers_;
  // Cleared by the destructor; a handler that deletes this window while it
  // runs leaves the message code a way to notice and touch nothing more.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace temvik

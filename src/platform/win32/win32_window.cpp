// Win32Window: creation, the layout for a DPI and the fit to the work area,
// the window procedure's dispatch, the window itself (title, showing,
// moving, bounds, transparency, the minimise box) and its timers. The rest
// of its members live beside it, one concern a file:
//   win32_input.cpp               keyboard rules, focus frame, default look, mouse
//   win32_controls.cpp            control creation and the calls every control takes
//   win32_lists.cpp               list boxes and their row texts
//   win32_calendars_surfaces.cpp  month calendars, drawing surfaces, the window's picture
//   win32_menus_tray.cpp          menus, popup menus and the tray icon
// What more than one of them needs is in win32_window_internal.h.

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/keyboard.h"
#include "platform/win32/native.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_ui.h"
#include "platform/win32/win32_window_internal.h"
#include "platform/window_fit.h"

namespace temvik {
namespace {

// The see-through colour of a window's picture.
constexpr COLORREF kSeeThrough = RGB(255, 255, 255);

// Sent to every top-level window when the shell's task bar (re)starts: the
// notification area then has lost every icon.
UINT taskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

// Loads a picture kept in the program by its name.
HBITMAP loadPicture(std::string_view name) {
  std::wstring resource = toUtf16(name);
  CharUpperBuffW(resource.data(), static_cast<DWORD>(resource.size()));  // as rc stores names
  return static_cast<HBITMAP>(
      LoadImageW(instance(), resource.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

Win32Window::Win32Window(const Win32Ui& ui, WindowEvents& events) : ui_(ui), events_(&events) {}

Win32Window::~Win32Window() {
  *alive_ = false;
  events_ = nullptr;
  destroyNative();
  for (const auto& popup : popups_) DestroyMenu(popup.menu);
  if (picture_) DeleteObject(picture_);
}

bool Win32Window::create(const WindowDesign& design, HWND owner) {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  if (design.minimizeBox) style |= WS_MINIMIZEBOX;
  if (design.resizable) style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
  if (design.borderless) style = WS_POPUP;
  DWORD exStyle = design.toolWindow ? WS_EX_TOOLWINDOW : 0;
  if (design.topmost) exStyle |= WS_EX_TOPMOST;
  if (!design.picture.empty()) picture_ = loadPicture(design.picture);
  if (picture_) exStyle |= WS_EX_LAYERED;

  // Laid out for the monitor it goes to; once it exists, Windows tells the
  // DPI it really has.
  const POINT at = design.centered ? POINT{0, 0} : POINT{design.rect.x, design.rect.y};
  monitorDpi_ = ui_.options().dpi
                    ? ui_.options().dpi
                    : monitorDpi(MonitorFromPoint(at, design.centered ? MONITOR_DEFAULTTOPRIMARY
                                                                      : MONITOR_DEFAULTTONEAREST));
  dpi_ = monitorDpi_;
  Rect r = screenRect(design);

  createMenus(design);
  HMENU bar = menuBar_;
  CreateWindowExW(exStyle, kWindowClass, toUtf16(design.title).c_str(), style, r.x, r.y, r.width,
                  r.height, owner, bar, instance(), this);
  if (!hwnd_) {
    if (bar) DestroyMenu(bar);
    menuBar_ = nullptr;
    return false;
  }
  open_ = true;
  design_ = design;
  if (!ui_.options().dpi && windowDpi(hwnd_) != monitorDpi_) {
    monitorDpi_ = dpi_ = windowDpi(hwnd_);
    r = screenRect(design);
    SetWindowPos(hwnd_, nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Before the controls are made, so that they are made for the scale that fits.
  fitToWorkArea({r.x, r.y});
  // The picture's white parts let what lies behind the window show through.
  if (picture_) SetLayeredWindowAttributes(hwnd_, kSeeThrough, 255, LWA_COLORKEY);
  // An elevated program hears the shell's restart only when it lets the message in.
  ChangeWindowMessageFilterEx(hwnd_, taskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
  for (const auto& c : design.controls) createControl(c);

  // Group boxes go to the bottom of the z-order, the largest lowest, so the
  // controls inside them paint over them and get the mouse.
  std::vector<HWND> groups;
  for (const auto& c : design.controls)
    if (c.kind == ControlKind::GroupBox) groups.push_back(controls_[c.id].hwnd);
  std::stable_sort(groups.begin(), groups.end(), [](HWND a, HWND b) {
    RECT ra{}, rb{};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return static_cast<long long>(ra.right - ra.left) * (ra.bottom - ra.top) <
           static_cast<long long>(rb.right - rb.left) * (rb.bottom - rb.top);
  });
  for (HWND g : groups)
    SetWindowPos(g, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  creating_ = false;
  if (events_) events_->onCreated();
  // Given to the control at the window's first activation.
  if (hwnd_)
    lastFocus_ = controlHwnd(initialFocus(design_, [this](ControlId id) { return usable(id); }));
  return true;
}

Rect Win32Window::screenRect(const WindowDesign& design) const {
  Rect r = {0, 0, scaleToDpi(design.rect.width, dpi_), scaleToDpi(design.rect.height, dpi_)};
  if (design.centered) {
    RECT work{};  // the primary monitor without the task bar
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    r.x = work.left + std::max(0, static_cast<int>(work.right - work.left) - r.width) / 2;
    r.y = work.top + std::max(0, static_cast<int>(work.bottom - work.top) - r.height) / 2;
  } else {
    const Point topLeft = toScreen({design.rect.x, design.rect.y});
    r.x = topLeft.x;
    r.y = topLeft.y;
  }
  return r;
}

namespace {

POINT monitorOrigin(POINT at) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &info)) return {0, 0};
  return {info.rcMonitor.left, info.rcMonitor.top};
}

}  // namespace

// A design point counts from the top-left corner of its monitor, which is
// the same point at every DPI.
Point Win32Window::toScreen(Point design) const {
  const POINT origin = monitorOrigin({design.x, design.y});
  return {origin.x + scaleToDpi(design.x - origin.x, dpi_),
          origin.y + scaleToDpi(design.y - origin.y, dpi_)};
}

Point Win32Window::toDesign(Point screen) const {
  const POINT origin = monitorOrigin({screen.x, screen.y});
  return {origin.x + scaleFromDpi(screen.x - origin.x, dpi_),
          origin.y + scaleFromDpi(screen.y - origin.y, dpi_)};
}

void Win32Window::applyDpi(UINT dpi, const RECT& suggested) {
  monitorDpi_ = dpi_ = dpi;
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  layOutControls();
  fitToWorkArea({suggested.left, suggested.top});
}

void Win32Window::layOutControls() {
  const auto font = reinterpret_cast<WPARAM>(ui_.font(dpi_));
  for (const ControlDesign& c : design_.controls) {
    const HWND h = controlHwnd(c.id);
    if (!h) continue;
    const Rect r = nativeControlRect(c.kind, c.rect, dpi_);
    SetWindowPos(h, nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(h, WM_SETFONT,
                 c.fontPx ? reinterpret_cast<WPARAM>(ui_.font(dpi_, c.fontPx)) : font, FALSE);
  }
  if (tooltipHwnd_) {
    SendMessageW(tooltipHwnd_, WM_SETFONT, font, FALSE);
    SendMessageW(tooltipHwnd_, TTM_SETMAXTIPWIDTH, 0, scaleToDpi(kTooltipWidthPx, dpi_));
  }
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Window::fitToWorkArea(Point wanted) {
  if (!hwnd_ || fitting_ || IsIconic(hwnd_) || IsZoomed(hwnd_)) return;
  RECT outer{}, client{};
  if (!GetWindowRect(hwnd_, &outer) || !GetClientRect(hwnd_, &client)) return;
  Rect work;
  if (ui_.options().workArea) {
    work = *ui_.options().workArea;
  } else {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& w = monitor.rcWork;
    work = {w.left, w.top, w.right - w.left, w.bottom - w.top};
  }
  const Point frame{(outer.right - outer.left) - client.right,
                    (outer.bottom - outer.top) - client.bottom};
  WindowFit fit = fitWindow({design_.rect.width, design_.rect.height}, wanted, frame, work,
                            static_cast<int>(monitorDpi_));
  // A window meant for the middle stays there at the size it now has.
  if (design_.centered && fit.dpi != static_cast<int>(dpi_)) {
    fit.rect.x = work.x + std::max(0, work.width - fit.rect.width) / 2;
    fit.rect.y = work.y + std::max(0, work.height - fit.rect.height) / 2;
  }
  fitting_ = true;
  const bool rescaled = fit.dpi != static_cast<int>(dpi_);
  dpi_ = static_cast<UINT>(fit.dpi);
  const Rect& r = fit.rect;
  if (r.x != outer.left || r.y != outer.top || r.width != outer.right - outer.left ||
      r.height != outer.bottom - outer.top)
    SetWindowPos(hwnd_, nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (rescaled) layOutControls();
  fitting_ = false;
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
    enableNonClientDpiScaling(hwnd);
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->handle(msg, wp, lp);
}

LRESULT Win32Window::handle(UINT msg, WPARAM wp, LPARAM lp) {
  const HWND hwnd = hwnd_;
  const auto alive = alive_;  // see alive_
  if (msg == taskbarCreatedMessage() && msg != 0) {
    if (trayTip_) pushTrayIcon(NIM_ADD);
    return 0;
  }
  switch (msg) {
    case kTrayMessage:
      if (wp == kTrayIconId) handleTray(LOWORD(lp));
      return 0;
    case WM_CONTEXTMENU:
      if (handleContextMenu(lp)) return 0;
      break;
    case WM_ERASEBKGND:
      if (!picture_) break;
      paintPicture(reinterpret_cast<HDC>(wp));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      const HDC dc = BeginPaint(hwnd, &ps);
      paintFocus(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      const auto from = reinterpret_cast<HWND>(lp);
      if (from) {
        handleCommand(id, HIWORD(wp), from);
      } else if (auto* e = events()) {
        e->onMenu(id);
      }
      return 0;
    }
    case WM_NOTIFY:
      // What the window answers stays DefWindowProc's (0) for every code.
      if (lp) handleNotify(*reinterpret_cast<const NMHDR*>(lp));
      break;
    case WM_CTLCOLORSTATIC: {
      const auto from = reinterpret_cast<HWND>(lp);
      const Control* c = find(GetDlgCtrlID(from));
      if (c && c->hwnd == from) {
        const auto dc = reinterpret_cast<HDC>(wp);
        if (c->kind == ControlKind::Label) {
          // Truly transparent: whatever lies behind shows through.
          SetBkMode(dc, TRANSPARENT);
          return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        if (c->kind == ControlKind::CheckBox || c->kind == ControlKind::GroupBox) {
          SetBkMode(dc, TRANSPARENT);
          return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
      }
      break;
    }
    case WM_TIMER:
      handleTimer(static_cast<TimerId>(wp));
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // Keys reach the window itself only while no control has the focus
      // (without any focus they come as WM_SYSKEYDOWN).
      if (auto* e = events()) e->onKeyDown(0, static_cast<int>(wp));
      if (!*alive || msg == WM_KEYDOWN) return 0;
      break;
    case WM_ACTIVATE: {
      if (LOWORD(wp) == WA_INACTIVE) {
        const HWND focused = GetFocus();
        if (focused && IsChild(hwnd, focused)) lastFocus_ = focused;
        break;
      }
      const LRESULT result = DefWindowProcW(hwnd, msg, wp, lp);
      if (lastFocus_ && IsChild(hwnd, lastFocus_) && IsWindowEnabled(lastFocus_) &&
          IsWindowVisible(lastFocus_))
        SetFocus(lastFocus_);
      if (auto* e = events()) e->onActivated();
      return result;
    }
    case WM_MOVE:
      if (auto* e = events()) e->onMoved({bounds().x, bounds().y});
      return 0;
    case WM_ENDSESSION:
      if (wp) {
        if (auto* e = events()) e->onSessionEnding();
      }
      return 0;
    case WM_TIMECHANGE:
      if (auto* e = events()) e->onSystemTimeChanged();
      return 0;
    case WM_POWERBROADCAST:
      // Woken by the user (both arrive then) or by the system itself.
      if (wp == PBT_APMRESUMEAUTOMATIC || wp == PBT_APMRESUMESUSPEND) {
        if (auto* e = events()) e->onSystemTimeChanged();
      }
      return TRUE;
    case WM_DPICHANGED:
      // Moved to a monitor of another DPI, or its DPI changed: Windows
      // suggests the rectangle, the controls and fonts follow.
      applyDpi(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_SETTINGCHANGE:
      // The task bar moved or grew: the window comes back inside.
      if (wp == SPI_SETWORKAREA) fitToWorkArea(topLeftOnScreen());
      break;
    case WM_DISPLAYCHANGE:
      // A monitor went, or the screen got smaller.
      fitToWorkArea(topLeftOnScreen());
      break;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_MINIMIZE) {
        auto* e = events();
        if (e && e->onMinimizing()) return 0;
      }
      break;
    case WM_CLOSE: {
      auto* e = events();
      const bool agreed = !e || e->onCloseRequested();
      if (*alive && agreed) destroyNative();
      return 0;
    }
    case WM_DESTROY:
      open_ = false;
      timers_.clear();
      deleteTrayIcon();
      if (auto* e = events()) e->onClosed();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      tooltipHwnd_ = nullptr;
      lastFocus_ = nullptr;
      menuBar_ = nullptr;  // destroyed with the window
      controls_.clear();
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32Window::handleCommand(int id, int code, HWND from) {
  if (quiet_ > 0) return;
  const Control* c = find(id);
  if (!c || c->hwnd != from) return;
  auto* e = events();
  if (!e) return;
  switch (c->kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) e->onClick(id);
      break;
    case ControlKind::Label:
      if (code == STN_CLICKED) e->onClick(id);
      if (code == STN_DBLCLK) e->onDoubleClick(id);
      break;
    case ControlKind::Edit:
    case ControlKind::MultiLineEdit:
      if (code == EN_CHANGE) e->onTextTyped(id);
      break;
    case ControlKind::ListBox:
      if (code == LBN_SELCHANGE) e->onRowSelected(id);
      if (code == LBN_DBLCLK) e->onDoubleClick(id);
      break;
    case ControlKind::DropDown:
      // Each row the user moves to, by key or in the dropped list; never
      // for CB_SETCURSEL.
      if (code == CBN_SELCHANGE) e->onRowSelected(id);
      break;
    case ControlKind::GroupBox:
    case ControlKind::MonthCalendar:
    case ControlKind::Surface:
      break;
  }
}

void Win32Window::handleNotify(const NMHDR& from) {
  // Routed by id, and only from the control that has that id.
  const auto it = controls_.find(static_cast<ControlId>(from.idFrom));
  if (!hwnd_ || it == controls_.end() || !it->second.hwnd || it->second.hwnd != from.hwndFrom)
    return;
  Control& c = it->second;
  switch (c.kind) {
    case ControlKind::MonthCalendar:
      if (from.code == MCN_SELCHANGE || from.code == MCN_SELECT)
        handleCalendarSelection(it->first, c);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------- timers

void Win32Window::setTimer(TimerId id, std::uint64_t intervalMs) {
  if (!hwnd_) return;
  if (intervalMs == 0) {
    KillTimer(hwnd_, static_cast<UINT_PTR>(id));
    timers_.erase(id);
    return;
  }
  timers_[id] = Timer{intervalMs, GetTickCount64()};
  armTimer(id, intervalMs);
}

std::uint64_t Win32Window::timerInterval(TimerId id) const {
  const auto it = timers_.find(id);
  return it == timers_.end() ? 0 : it->second.intervalMs;
}

std::uint64_t Win32Window::timerChunkMs() const {
  return std::clamp<std::uint64_t>(ui_.options().maxTimerChunkMs, USER_TIMER_MINIMUM,
                                   USER_TIMER_MAXIMUM);
}

void Win32Window::armTimer(TimerId id, std::uint64_t remainingMs) {
  SetTimer(hwnd_, static_cast<UINT_PTR>(id),
           static_cast<UINT>(std::min(remainingMs, timerChunkMs())), nullptr);
}

void Win32Window::handleTimer(TimerId id) {
  const auto it = timers_.find(id);
  if (it == timers_.end()) {
    KillTimer(hwnd_, static_cast<UINT_PTR>(id));
    return;
  }
  Timer& t = it->second;
  if (t.intervalMs > timerChunkMs()) {
    // A long interval runs in chunks: fire only once all of it has passed.
    const std::uint64_t now = GetTickCount64();
    const std::uint64_t due = t.startMs + t.intervalMs;
    if (now < due) {
      armTimer(id, due - now);
      return;
    }
    t.startMs = now;
    armTimer(id, t.intervalMs);
  }
  // Short intervals run as one periodic native timer.
  if (auto* e = events()) e->onTimer(id);
}

// ---------------------------------------------------------------- the window

void Win32Window::destroyNative() {
  if (!hwnd_) return;
  if (modalOwner_) {
    // Enabled before this window goes, so that the owner becomes active.
    EnableWindow(modalOwner_, TRUE);
    modalOwner_ = nullptr;
  }
  DestroyWindow(hwnd_);
}

void Win32Window::setTitle(std::string_view title) {
  if (hwnd_) SetWindowTextW(hwnd_, toUtf16(title).c_str());
}

std::string Win32Window::title() const { return hwnd_ ? toUtf8(windowText(hwnd_)) : ""; }

void Win32Window::show() {
  if (!hwnd_) return;
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
}

void Win32Window::hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

bool Win32Window::isVisible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void Win32Window::activate() {
  if (!hwnd_) return;
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  // A modal box open on the window (a dialog, a message box) keeps it
  // disabled: the box is what comes to the front.
  HWND target = hwnd_;
  if (!IsWindowEnabled(hwnd_)) {
    const HWND popup = GetLastActivePopup(hwnd_);
    if (popup && IsWindowVisible(popup) && IsWindowEnabled(popup)) target = popup;
  }
  if (!SetForegroundWindow(target)) SetActiveWindow(target);
}

void Win32Window::requestClose() {
  if (hwnd_) SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void Win32Window::close() { destroyNative(); }

bool Win32Window::isOpen() const { return hwnd_ && open_; }

void Win32Window::move(Point topLeft) {
  if (!hwnd_) return;
  const Point at = toScreen(topLeft);
  SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  fitToWorkArea(at);
}

Point Win32Window::topLeftOnScreen() const {
  RECT r{};
  if (!hwnd_ || !GetWindowRect(hwnd_, &r)) return {};
  return {r.left, r.top};
}

Rect Win32Window::bounds() const {
  RECT r{};
  if (!hwnd_ || !GetWindowRect(hwnd_, &r)) return {};
  const Point topLeft = toDesign({r.left, r.top});
  int width = r.right - r.left, height = r.bottom - r.top;
  RECT client{};
  if (dpi_ != monitorDpi_ && GetClientRect(hwnd_, &client)) {
    // Laid out smaller than its monitor: the frame kept the monitor's size.
    const auto beyond = [&](int frame) {
      return frameBeyondLayout(frame, static_cast<int>(dpi_), static_cast<int>(monitorDpi_));
    };
    width -= beyond(width - client.right);
    height -= beyond(height - client.bottom);
  }
  return {topLeft.x, topLeft.y, scaleFromDpi(width, dpi_), scaleFromDpi(height, dpi_)};
}

void Win32Window::setLayered(std::uint8_t alpha) {
  if (!hwnd_) return;
  const LONG_PTR ex = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  // A window with a picture keeps its see-through white.
  const DWORD flags = picture_ ? LWA_COLORKEY | LWA_ALPHA : LWA_ALPHA;
  SetLayeredWindowAttributes(hwnd_, kSeeThrough, alpha, flags);
}

int Win32Window::layeredAlpha() const {
  if (!hwnd_ || !(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_LAYERED)) return -1;
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(hwnd_, &key, &alpha, &flags)) return -1;
  return (flags & LWA_ALPHA) ? alpha : 255;
}

void Win32Window::setMinimizeBox(bool shown) {
  if (!hwnd_) return;
  const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  SetWindowLongPtrW(hwnd_, GWL_STYLE, shown ? style | WS_MINIMIZEBOX : style & ~WS_MINIMIZEBOX);
  // The caption is drawn afresh with its buttons as they now are.
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool Win32Window::hasMinimizeBox() const {
  return hwnd_ && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_MINIMIZEBOX) != 0;
}

}  // namespace temvik

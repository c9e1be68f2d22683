#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include "platform/keyboard.h"
#include "platform/win32/native.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_ui.h"
#include "platform/window_fit.h"

namespace temvik {
namespace {

constexpr UINT_PTR kListSubclassId = 1;
constexpr UINT_PTR kButtonSubclassId = 2;
constexpr int kTooltipWidthPx = 360;
// The see-through colour of a window's picture.
constexpr COLORREF kSeeThrough = RGB(255, 255, 255);

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

// Whether the (logical) left mouse button is held down right now.
bool leftButtonDown() {
  const int physical = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  return GetAsyncKeyState(physical) & 0x8000;
}

std::wstring windowText(HWND h) {
  const int length = GetWindowTextLengthW(h);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(h, text.data(), length + 1)));
  return text;
}

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

// A calendar's selection as a date at 00:00:00.
DateTime calendarSelection(HWND calendar) {
  SYSTEMTIME t{};
  if (!SendMessageW(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&t))) return {};
  return {t.wYear, t.wMonth, t.wDay, 0, 0, 0};
}

// Counts a stretch in which the code, not the user, changes controls.
class Quiet {
 public:
  explicit Quiet(int& depth) : depth_(depth) { ++depth_; }
  ~Quiet() { --depth_; }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;

 private:
  int& depth_;
};

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
    const Rect r = scaleToDpi(c.rect, dpi_);
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

void Win32Window::createMenus(const WindowDesign& design) {
  for (const auto& m : design.menus) {
    HMENU sub = CreatePopupMenu();
    for (const auto& item : m.items) {
      if (item.isSeparator()) {
        AppendMenuW(sub, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(sub, MF_STRING, static_cast<UINT_PTR>(item.id), toUtf16(item.caption).c_str());
        menuOfItem_[item.id] = sub;
      }
    }
    if (m.hidden) {
      popups_.push_back({std::string(m.designName), std::string(m.caption), sub});
    } else {
      if (!menuBar_) menuBar_ = CreateMenu();
      AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), toUtf16(m.caption).c_str());
    }
  }
}

void Win32Window::createControl(const ControlDesign& c) {
  const wchar_t* cls = L"STATIC";
  DWORD style = WS_CHILD | (c.hidden ? 0 : WS_VISIBLE);
  DWORD exStyle = 0;
  // Each tab stop is a group of its own: the keys that move the focus are
  // Tab and Shift+Tab only.
  if (c.tabStop()) style |= WS_TABSTOP | WS_GROUP;
  switch (c.kind) {
    case ControlKind::Label:
      style |= (c.alignRight ? SS_RIGHT : SS_LEFT) | SS_NOTIFY | SS_NOPREFIX;
      break;
    case ControlKind::Button:
      cls = L"BUTTON";
      style |= c.id == design_.defaultControl ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      break;
    case ControlKind::CheckBox:
      cls = L"BUTTON";
      style |= BS_AUTOCHECKBOX;
      break;
    case ControlKind::Edit:
      cls = L"EDIT";
      style |= ES_AUTOHSCROLL;
      if (c.readOnly) style |= ES_READONLY;
      if (c.secret) style |= ES_PASSWORD;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::MultiLineEdit:
      cls = L"EDIT";
      style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
      if (c.readOnly) style |= ES_READONLY;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::ListBox:
      cls = L"LISTBOX";
      // No integral height: the list keeps exactly its designed rectangle.
      style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER;
      break;
    case ControlKind::GroupBox:
      cls = L"BUTTON";
      // Never paints over the controls above it.
      style |= BS_GROUPBOX | WS_CLIPSIBLINGS;
      break;
    case ControlKind::MonthCalendar:
      cls = MONTHCAL_CLASSW;
      style |= WS_TABSTOP;
      break;
    case ControlKind::Surface:
      cls = kSurfaceClass;
      // Never paints over the controls above it (those before it in the table).
      style |= WS_CLIPSIBLINGS;
      break;
  }
  Quiet quiet(quiet_);
  const Rect r = scaleToDpi(c.rect, dpi_);
  HWND h = CreateWindowExW(exStyle, cls, toUtf16(c.caption).c_str(), style, r.x, r.y, r.width,
                           r.height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                           instance(), nullptr);
  if (!h) return;
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(ui_.font(dpi_, c.fontPx)), FALSE);
  if (c.kind == ControlKind::CheckBox && c.checked) SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
  if (c.kind == ControlKind::ListBox)
    SetWindowSubclass(h, &Win32Window::listProc, kListSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
  if (c.pressable())
    SetWindowSubclass(h, &Win32Window::buttonProc, kButtonSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
  controls_[c.id] = Control{c.kind, h, {}};
  if (c.kind == ControlKind::MonthCalendar) controls_[c.id].date = calendarSelection(h);
  // From here on the surface paints and reports through this window.
  if (c.kind == ControlKind::Surface)
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (!c.tooltip.empty()) setTooltip(c.id, c.tooltip);
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

void Win32Window::handleCalendarSelection(ControlId id, Control& calendar) {
  // One pick sends both notifications, and scrolling the months sends
  // MCN_SELCHANGE too: only a different date counts.
  const DateTime selected = calendarSelection(calendar.hwnd);
  if (selected == calendar.date) return;
  calendar.date = selected;
  if (quiet_ > 0) return;
  if (auto* e = events()) e->onChanged(id);
}

LRESULT CALLBACK Win32Window::surfaceProc(HWND surface, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(surface, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) SetWindowLongPtrW(surface, GWLP_USERDATA, 0);
  if (!self) return DefWindowProcW(surface, msg, wp, lp);
  return self->handleSurface(surface, msg, wp, lp);
}

LRESULT Win32Window::handleSurface(HWND surface, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel: no flicker
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = BeginPaint(surface, &paint);
      paintSurface(surface, dc);
      EndPaint(surface, &paint);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      if (auto* e = events()) {
        const Point at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        e->onMouseDownAt(GetDlgCtrlID(surface),
                         msg == WM_LBUTTONDOWN ? MouseButton::Left : MouseButton::Right, at);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(surface, msg, wp, lp);
}

void Win32Window::paintSurface(HWND surface, HDC dc) const {
  RECT client{};
  GetClientRect(surface, &client);
  const Control* c = find(GetDlgCtrlID(surface));
  if (c && c->hwnd == surface && !c->picture.empty()) {
    const Picture& p = c->picture;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = p.width;
    info.bmiHeader.biHeight = -p.height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const bool stretch = c->fit == PictureFit::Stretch;
    const int width = stretch ? client.right : p.width;
    const int height = stretch ? client.bottom : p.height;
    // Pixels are copied, never blended.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, width, height, 0, 0, p.width, p.height, p.pixels.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    ExcludeClipRect(dc, 0, 0, width, height);
  }
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
}

LRESULT CALLBACK Win32Window::listProc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                       DWORD_PTR self) {
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(list, &Win32Window::listProc, kListSubclassId);
    return DefSubclassProc(list, msg, wp, lp);
  }
  return reinterpret_cast<Win32Window*>(self)->handleList(list, msg, wp, lp);
}

LRESULT Win32Window::handleList(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
  const auto alive = alive_;
  const int id = GetDlgCtrlID(list);
  // A handler may close or even delete this window.
  const auto gone = [&] { return !*alive || !IsWindow(list); };
  switch (msg) {
    case WM_LBUTTONDOWN: {
      // Before the list moves its selection.
      if (auto* e = events()) {
        e->onMouseDown(id, MouseButton::Left);
        if (gone()) return 0;
      }
      const LRESULT result = DefSubclassProc(list, msg, wp, lp);
      // The list now holds the mouse until the button goes up. That may be
      // over already: the release went to a box the handler opened, or the
      // press came from clickAtPointer. Then finish the click here, or the
      // list would never report its new selection.
      MSG queued;
      if (!gone() && GetCapture() == list && !leftButtonDown() &&
          !PeekMessageW(&queued, list, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE))
        SendMessageW(list, WM_LBUTTONUP, 0, lp);
      return result;
    }
    case WM_RBUTTONDOWN:
      if (auto* e = events()) {
        e->onMouseDown(id, MouseButton::Right);
        if (gone()) return 0;
      }
      break;
    case WM_KEYDOWN:
      if (auto* e = events()) {
        e->onKeyDown(id, static_cast<int>(wp));
        if (gone()) return 0;
      }
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      const LRESULT result = DefSubclassProc(list, msg, wp, lp);
      if (gone()) return result;
      if (auto* e = events())
        e->onMouseUp(id, msg == WM_LBUTTONUP ? MouseButton::Left : MouseButton::Right);
      return result;
    }
    default:
      break;
  }
  return DefSubclassProc(list, msg, wp, lp);
}

LRESULT CALLBACK Win32Window::buttonProc(HWND button, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                         DWORD_PTR self) {
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(button, &Win32Window::buttonProc, kButtonSubclassId);
    return DefSubclassProc(button, msg, wp, lp);
  }
  return reinterpret_cast<Win32Window*>(self)->handleButton(button, msg, wp, lp);
}

// Push buttons and labels that act as buttons: the default look follows the
// focus, and a focused label shows a dotted frame, as a button does.
LRESULT Win32Window::handleButton(HWND button, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS) {
    const LRESULT result = DefSubclassProc(button, msg, wp, lp);
    showDefaultLook(msg == WM_SETFOCUS ? button : reinterpret_cast<HWND>(wp));
    // A label's focus frame lies round it, on the window (paintFocus).
    const Control* c = find(GetDlgCtrlID(button));
    if (c && c->hwnd == button && c->kind == ControlKind::Label) {
      RECT r = focusFrame(button);
      RedrawWindow(hwnd_, &r, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    return result;
  }
  return DefSubclassProc(button, msg, wp, lp);
}

RECT Win32Window::focusFrame(HWND label) const {
  RECT client{};
  GetClientRect(label, &client);
  const HDC dc = GetDC(label);
  const HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  RECT text = client;
  const std::wstring caption = windowText(label);
  DrawTextW(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  ReleaseDC(label, dc);
  text.right = std::min(text.right, client.right);
  text.bottom = std::min(text.bottom, client.bottom);
  if (GetWindowLongPtrW(label, GWL_STYLE) & SS_RIGHT)
    OffsetRect(&text, client.right - text.right, 0);
  // Round the text with a little room, in the window's client coordinates.
  MapWindowPoints(label, hwnd_, reinterpret_cast<POINT*>(&text), 2);
  InflateRect(&text, scaleToDpi(3, dpi_), scaleToDpi(2, dpi_));
  return text;
}

void Win32Window::paintFocus(HDC dc) const {
  const HWND focused = GetFocus();
  const Control* c = focused && IsChild(hwnd_, focused) ? find(GetDlgCtrlID(focused)) : nullptr;
  if (!c || c->hwnd != focused || c->kind != ControlKind::Label) return;
  // Only once the keyboard was used, as buttons show their focus.
  if (SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) return;
  const RECT r = focusFrame(focused);
  // Drawn over, not inverted: painting it twice leaves it as it is.
  const HPEN pen = CreatePen(PS_DOT, 1, GetSysColor(COLOR_WINDOWTEXT));
  const HGDIOBJ oldPen = SelectObject(dc, pen);
  const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetBkMode(dc, TRANSPARENT);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void Win32Window::showDefaultLook(HWND focusTo) {
  if (!hwnd_) return;
  HWND chosen = nullptr;
  const Control* focused =
      focusTo && IsChild(hwnd_, focusTo) ? find(GetDlgCtrlID(focusTo)) : nullptr;
  if (focused && focused->hwnd == focusTo && focused->kind == ControlKind::Button) {
    chosen = focusTo;
  } else if (const Control* d = find(design_.defaultControl); d && d->kind == ControlKind::Button) {
    chosen = d->hwnd;
  }
  for (const auto& [id, c] : controls_) {
    if (c.kind != ControlKind::Button || !c.hwnd) continue;
    const bool isDefault = (GetWindowLongPtrW(c.hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    if (isDefault != (c.hwnd == chosen))
      SendMessageW(c.hwnd, BM_SETSTYLE, c.hwnd == chosen ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

// ---------------------------------------------------------------- keyboard

bool Win32Window::handleDialogKey(const MSG& msg) {
  // A key goes to the active window as WM_SYSKEYDOWN without Alt (bit 29)
  // when no window has the focus, for instance after the focused control
  // was disabled.
  const bool keyDown = msg.message == WM_KEYDOWN ||
                       (msg.message == WM_SYSKEYDOWN && !(msg.lParam & (LPARAM{1} << 29)));
  if (!keyDown || !msg.hwnd) return false;
  const auto key = static_cast<int>(msg.wParam);
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE && key != VK_SPACE) return false;
  // Ctrl+Tab and the like stay with the control.
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
  const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  wchar_t cls[std::size(kWindowClass) + 1]{};
  if (!root || !GetClassNameW(root, cls, static_cast<int>(std::size(cls))) ||
      wcscmp(cls, kWindowClass) != 0)
    return false;
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(root, GWLP_USERDATA));
  // A window that a modal one blocks takes no keys.
  if (!self || self->creating_ || !self->events_ || !IsWindowEnabled(root)) return false;
  return self->handleKey(msg.hwnd, key);
}

bool Win32Window::handleKey(HWND target, int virtualKey) {
  // The control the key was sent to (the one with the focus), 0 for the window.
  ControlId focused = 0;
  HWND child = target;
  while (child && child != hwnd_ && GetAncestor(child, GA_PARENT) != hwnd_)
    child = GetAncestor(child, GA_PARENT);
  if (child && child != hwnd_) {
    const Control* c = find(GetDlgCtrlID(child));
    if (c && c->hwnd == child) focused = GetDlgCtrlID(child);
  }
  const KeyAnswer answer = answerKey(design_, focused, virtualKey, GetKeyState(VK_SHIFT) < 0,
                                     [this](ControlId id) { return usable(id); });
  switch (answer.kind) {
    case KeyAnswer::Kind::Control:
      return false;
    case KeyAnswer::Kind::Nothing:
      // A window without a focused control still hears the key.
      if (focused == 0)
        if (auto* e = events()) e->onKeyDown(0, virtualKey);
      return true;
    case KeyAnswer::Kind::Focus:
      focusByKeyboard(answer.control);
      return true;
    case KeyAnswer::Kind::Press:
      // The handler may close the window: nothing touches it afterwards.
      press(answer.control);
      return true;
    case KeyAnswer::Kind::Close:
      PostMessageW(hwnd_, WM_CLOSE, 0, 0);
      return true;
  }
  return false;
}

void Win32Window::focusByKeyboard(ControlId id) {
  const Control* c = find(id);
  if (!c) return;
  // From now on the window shows where the focus is.
  SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  SetFocus(c->hwnd);
  // An edit box reached by Tab has its text selected, ready to be typed over.
  if (c->kind == ControlKind::Edit || c->kind == ControlKind::MultiLineEdit)
    SendMessageW(c->hwnd, EM_SETSEL, 0, -1);
}

void Win32Window::press(ControlId id) {
  const Control* c = find(id);
  if (!c || !usable(id) || !IsWindowVisible(c->hwnd)) return;
  const HWND from = c->hwnd;
  const auto command = [&](WORD code) {
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(from));
  };
  switch (c->kind) {
    case ControlKind::Button:
      command(BN_CLICKED);
      break;
    case ControlKind::CheckBox:
      SendMessageW(from, BM_SETCHECK, isChecked(id) ? BST_UNCHECKED : BST_CHECKED, 0);
      command(BN_CLICKED);
      break;
    case ControlKind::Label:
      command(STN_CLICKED);
      break;
    default:
      break;
  }
}

bool Win32Window::usable(ControlId id) const { return isEnabled(id) && isShown(id); }

void Win32Window::handleTray(UINT mouseMessage) {
  auto* e = events();
  if (!e) return;
  if (mouseMessage == WM_LBUTTONDBLCLK) {
    e->onTrayDoubleClick();
  } else if (mouseMessage == WM_RBUTTONUP) {
    // A menu popped up for a window that is not in the foreground would
    // stay open when the user clicks elsewhere.
    SetForegroundWindow(hwnd_);
    e->onTrayRightClick();
  }
}

bool Win32Window::handleContextMenu(LPARAM screenPoint) {
  auto* e = events();
  if (!e) return false;
  const POINT screen{static_cast<short>(LOWORD(screenPoint)),
                     static_cast<short>(HIWORD(screenPoint))};
  ControlId id = 0;
  if (screen.x != -1 || screen.y != -1) {  // (-1, -1): from the keyboard, for the window
    POINT at = screen;
    ScreenToClient(hwnd_, &at);
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (!PtInRect(&client, at)) return false;  // the title bar keeps its system menu
    const HWND child = ChildWindowFromPointEx(hwnd_, at, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    const Control* c = child && child != hwnd_ ? find(GetDlgCtrlID(child)) : nullptr;
    // Clicks go through a group box to the window, as the mouse does.
    if (c && c->hwnd == child && c->kind != ControlKind::GroupBox) id = GetDlgCtrlID(child);
  }
  e->onContextMenu(id);
  return true;
}

void Win32Window::paintPicture(HDC dc) const {
  RECT client{};
  GetClientRect(hwnd_, &client);
  BITMAP size{};
  GetObjectW(picture_, sizeof(size), &size);
  const HDC memory = CreateCompatibleDC(dc);
  const HGDIOBJ old = SelectObject(memory, picture_);
  // Pixels are copied, never blended: the white stays exactly the key colour.
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, size.bmWidth, size.bmHeight,
             SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
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

// ---------------------------------------------------------------- controls

const Win32Window::Control* Win32Window::find(ControlId id) const {
  if (!hwnd_) return nullptr;
  const auto it = controls_.find(id);
  return it == controls_.end() || !it->second.hwnd ? nullptr : &it->second;
}

HWND Win32Window::controlHwnd(ControlId id) const {
  const Control* c = find(id);
  return c ? c->hwnd : nullptr;
}

HWND Win32Window::list(ControlId id) const {
  const Control* c = listControl(id);
  return c ? c->hwnd : nullptr;
}

const Win32Window::Control* Win32Window::listControl(ControlId id) const {
  const Control* c = find(id);
  return c && c->kind == ControlKind::ListBox ? c : nullptr;
}

Win32Window::Control* Win32Window::listControl(ControlId id) {
  return find(id, ControlKind::ListBox);
}

void Win32Window::redrawBehind(HWND control) {
  // A transparent label does not erase its old text: the window repaints
  // what lies behind it, then the label on top.
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  RedrawWindow(hwnd_, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Window::setText(ControlId id, std::string_view text) {
  const Control* c = find(id);
  if (!c) return;
  {
    Quiet quiet(quiet_);
    SetWindowTextW(c->hwnd, toUtf16(text).c_str());
  }
  if (c->kind == ControlKind::Label) redrawBehind(c->hwnd);
}

std::string Win32Window::text(ControlId id) const {
  const Control* c = find(id);
  return c ? toUtf8(windowText(c->hwnd)) : "";
}

void Win32Window::setEnabled(ControlId id, bool enabled) {
  if (const Control* c = find(id)) EnableWindow(c->hwnd, enabled);
}

bool Win32Window::isEnabled(ControlId id) const {
  const Control* c = find(id);
  return c && IsWindowEnabled(c->hwnd);
}

void Win32Window::setShown(ControlId id, bool shown) {
  if (const Control* c = find(id)) ShowWindow(c->hwnd, shown ? SW_SHOWNA : SW_HIDE);
}

void Win32Window::moveControl(ControlId id, Rect rect) {
  const Control* c = find(id);
  if (!c) return;
  // Kept in the design, which every later layout for a DPI starts from.
  for (ControlDesign& d : design_.controls)
    if (d.id == id) d.rect = rect;
  const Rect r = scaleToDpi(rect, dpi_);
  SetWindowPos(c->hwnd, nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Win32Window::controlRect(ControlId id) const {
  for (const ControlDesign& d : design_.controls)
    if (d.id == id) return d.rect;
  return {};
}

bool Win32Window::isShown(ControlId id) const {
  const Control* c = find(id);
  return c && (GetWindowLongPtrW(c->hwnd, GWL_STYLE) & WS_VISIBLE);
}

void Win32Window::setChecked(ControlId id, bool checked) {
  const Control* c = find(id);
  if (!c) return;
  Quiet quiet(quiet_);
  SendMessageW(c->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32Window::isChecked(ControlId id) const {
  const Control* c = find(id);
  return c && SendMessageW(c->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Window::setTooltip(ControlId id, std::string_view text) {
  if (!find(id)) return;
  Control& c = controls_[id];
  if (!tooltipHwnd_) {
    tooltipHwnd_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance(), nullptr);
    if (!tooltipHwnd_) return;
    SendMessageW(tooltipHwnd_, TTM_SETMAXTIPWIDTH, 0, scaleToDpi(kTooltipWidthPx, dpi_));
    SendMessageW(tooltipHwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(ui_.font(dpi_)), FALSE);
  }
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every comctl32 version
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
  const bool had = !c.tip.empty();
  c.tip = toUtf16(text);
  if (c.tip.empty()) {
    if (had) SendMessageW(tooltipHwnd_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  tool.lpszText = c.tip.data();  // the tooltip keeps its own copy
  SendMessageW(tooltipHwnd_, had ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
               reinterpret_cast<LPARAM>(&tool));
}

std::string Win32Window::tooltip(ControlId id) const {
  const Control* c = find(id);
  if (!c || !tooltipHwnd_ || c->tip.empty()) return "";
  std::wstring buffer(1024, L'\0');
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(c->hwnd);
  tool.lpszText = buffer.data();
  SendMessageW(tooltipHwnd_, TTM_GETTEXTW, buffer.size(), reinterpret_cast<LPARAM>(&tool));
  buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
  return toUtf8(buffer);
}

void Win32Window::focus(ControlId id) {
  if (const Control* c = find(id)) SetFocus(c->hwnd);
}

void Win32Window::focusAllSelected(ControlId id) {
  if (const Control* c = find(id)) {
    SetFocus(c->hwnd);
    SendMessageW(c->hwnd, EM_SETSEL, 0, -1);
  }
}

// ---------------------------------------------------------------- list boxes

void Win32Window::listClear(ControlId id) {
  Control* c = listControl(id);
  if (!c) return;
  Quiet quiet(quiet_);
  SendMessageW(c->hwnd, LB_RESETCONTENT, 0, 0);
  c->rows.clear();
}

int Win32Window::listAdd(ControlId id, std::string_view text, std::int64_t data) {
  Control* c = listControl(id);
  if (!c) return -1;
  Quiet quiet(quiet_);
  const auto row =
      SendMessageW(c->hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toUtf16(text).c_str()));
  if (row < 0) return -1;
  c->rows.insert(c->rows.begin() + std::min(static_cast<std::ptrdiff_t>(row),
                                            static_cast<std::ptrdiff_t>(c->rows.size())),
                 std::string(text));
  // LPARAM is 64 bits wide on x64: the row keeps the whole value.
  SendMessageW(c->hwnd, LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(data));
  return static_cast<int>(row);
}

void Win32Window::listSetRows(ControlId id, const std::vector<std::string>& rows) {
  Control* c = listControl(id);
  if (!c) return;
  const HWND l = c->hwnd;
  Quiet quiet(quiet_);
  // Drawn once at the end rather than once a row: a list of thousands of
  // rows fills in a blink.
  SendMessageW(l, WM_SETREDRAW, FALSE, 0);
  SendMessageW(l, LB_RESETCONTENT, 0, 0);
  c->rows.clear();
  std::size_t chars = 0;
  std::vector<std::wstring> wide;
  wide.reserve(rows.size());
  for (const auto& row : rows) {
    wide.push_back(toUtf16(row));
    chars += wide.back().size() + 1;
  }
  SendMessageW(l, LB_INITSTORAGE, wide.size(), chars * sizeof(wchar_t));
  c->rows.reserve(rows.size());
  // The rows go straight to the list box: what the program adds to it
  // handles the mouse and the keys only, and under wine every message that
  // passes through it costs about 0.15 ms (1.5 s for 10,000 rows).
  RemoveWindowSubclass(l, &Win32Window::listProc, kListSubclassId);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (SendMessageW(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide[i].c_str())) < 0) break;
    c->rows.push_back(rows[i]);
  }
  SetWindowSubclass(l, &Win32Window::listProc, kListSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(l, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(l, nullptr, TRUE);
}

void Win32Window::listRemove(ControlId id, int row) {
  Control* c = listControl(id);
  if (!c || row < 0) return;
  Quiet quiet(quiet_);
  if (SendMessageW(c->hwnd, LB_DELETESTRING, static_cast<WPARAM>(row), 0) >= 0 &&
      static_cast<std::size_t>(row) < c->rows.size())
    c->rows.erase(c->rows.begin() + row);
}

int Win32Window::listCount(ControlId id) const {
  const Control* c = listControl(id);
  return c ? static_cast<int>(c->rows.size()) : 0;
}

std::string Win32Window::listText(ControlId id, int row) const {
  const Control* c = listControl(id);
  if (!c || row < 0 || row >= static_cast<int>(c->rows.size())) return "";
  return c->rows[static_cast<std::size_t>(row)];
}

void Win32Window::listSetText(ControlId id, int row, std::string_view text) {
  Control* c = listControl(id);
  if (!c || row < 0 || row >= static_cast<int>(c->rows.size())) return;
  const HWND l = c->hwnd;
  Quiet quiet(quiet_);
  const auto w = static_cast<WPARAM>(row);
  const LRESULT data = SendMessageW(l, LB_GETITEMDATA, w, 0);
  const bool selected = SendMessageW(l, LB_GETCURSEL, 0, 0) == row;
  const LRESULT top = SendMessageW(l, LB_GETTOPINDEX, 0, 0);
  SendMessageW(l, WM_SETREDRAW, FALSE, 0);
  SendMessageW(l, LB_DELETESTRING, w, 0);
  SendMessageW(l, LB_INSERTSTRING, w, reinterpret_cast<LPARAM>(toUtf16(text).c_str()));
  c->rows[static_cast<std::size_t>(row)] = std::string(text);
  SendMessageW(l, LB_SETITEMDATA, w, data);
  if (selected) SendMessageW(l, LB_SETCURSEL, w, 0);
  SendMessageW(l, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
  SendMessageW(l, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(l, nullptr, TRUE);
}

std::int64_t Win32Window::listData(ControlId id, int row) const {
  const HWND l = list(id);
  if (!l || row < 0 || row >= listCount(id)) return 0;
  return static_cast<std::int64_t>(SendMessageW(l, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
}

void Win32Window::listSetData(ControlId id, int row, std::int64_t data) {
  const HWND l = list(id);
  if (!l || row < 0 || row >= listCount(id)) return;
  SendMessageW(l, LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(data));
}

int Win32Window::listSelection(ControlId id) const {
  const HWND l = list(id);
  if (!l) return -1;
  const auto row = SendMessageW(l, LB_GETCURSEL, 0, 0);
  return row < 0 ? -1 : static_cast<int>(row);
}

void Win32Window::listSelect(ControlId id, int row) {
  const HWND l = list(id);
  if (!l) return;
  Quiet quiet(quiet_);
  // LB_SETCURSEL sends no LBN_SELCHANGE; -1 clears the selection.
  SendMessageW(l, LB_SETCURSEL, static_cast<WPARAM>(row < 0 ? -1 : row), 0);
}

// ---------------------------------------------------------------- calendars and surfaces

Win32Window::Control* Win32Window::find(ControlId id, ControlKind kind) {
  if (!hwnd_) return nullptr;
  const auto it = controls_.find(id);
  return it == controls_.end() || !it->second.hwnd || it->second.kind != kind ? nullptr
                                                                              : &it->second;
}

void Win32Window::calendarSetDate(ControlId id, const DateTime& date) {
  Control* c = find(id, ControlKind::MonthCalendar);
  if (!c || date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 ||
      date.day < 1 || date.day > 31)
    return;
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(date.year);
  t.wMonth = static_cast<WORD>(date.month);
  t.wDay = static_cast<WORD>(date.day);
  Quiet quiet(quiet_);
  // Refuses a day the month does not have; sends no notification.
  SendMessageW(c->hwnd, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&t));
  c->date = calendarSelection(c->hwnd);
}

DateTime Win32Window::calendarDate(ControlId id) const {
  const Control* c = find(id);
  return c && c->kind == ControlKind::MonthCalendar ? calendarSelection(c->hwnd) : DateTime{};
}

void Win32Window::surfaceSetPicture(ControlId id, Picture picture, PictureFit fit) {
  Control* c = find(id, ControlKind::Surface);
  if (!c) return;
  c->picture = std::move(picture);
  c->fit = fit;
  InvalidateRect(c->hwnd, nullptr, FALSE);
}

// ---------------------------------------------------------------- menus

HMENU Win32Window::menuOf(MenuItemId id) const {
  if (!hwnd_) return nullptr;
  const auto it = menuOfItem_.find(id);
  return it == menuOfItem_.end() ? nullptr : it->second;
}

void Win32Window::setMenuEnabled(MenuItemId id, bool enabled) {
  if (HMENU m = menuOf(id))
    EnableMenuItem(m, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool Win32Window::isMenuEnabled(MenuItemId id) const {
  HMENU m = menuOf(id);
  if (!m) return false;
  const UINT state = GetMenuState(m, static_cast<UINT>(id), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void Win32Window::setMenuCaption(MenuItemId id, std::string_view caption) {
  HMENU m = menuOf(id);
  if (!m) return;
  std::wstring text = toUtf16(caption);
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = text.data();
  SetMenuItemInfoW(m, static_cast<UINT>(id), FALSE, &info);
}

std::string Win32Window::menuCaption(MenuItemId id) const {
  HMENU m = menuOf(id);
  if (!m) return "";
  const int length = GetMenuStringW(m, static_cast<UINT>(id), nullptr, 0, MF_BYCOMMAND);
  if (length <= 0) return "";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(
      GetMenuStringW(m, static_cast<UINT>(id), text.data(), length + 1, MF_BYCOMMAND)));
  return toUtf8(text);
}

HMENU Win32Window::popupMenuHandle(std::string_view name) const {
  for (const auto& p : popups_)
    if (p.designName == name) return p.menu;
  for (const auto& p : popups_)
    if (p.caption == name) return p.menu;
  return nullptr;
}

void Win32Window::popupMenu(std::string_view menuDesignName) {
  HMENU m = popupMenuHandle(menuDesignName);
  if (!m || !hwnd_) return;
  POINT at{};
  GetCursorPos(&at);
  // The chosen item arrives as WM_COMMAND, hence onMenu.
  TrackPopupMenu(m, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
  // Lets a menu opened from the tray icon close properly the next time.
  if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);
}

// ---------------------------------------------------------------- the tray icon

void Win32Window::showTrayIcon(std::string_view tooltip) {
  if (!hwnd_) return;
  const NOTIFYICONDATAW size{};
  trayTip_ = truncatedUtf16(toUtf16(tooltip), std::size(size.szTip) - 1);
  pushTrayIcon(trayShown_ ? NIM_MODIFY : NIM_ADD);
}

void Win32Window::pushTrayIcon(DWORD firstTry) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = hwnd_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = ui_.smallIcon();
  std::copy(trayTip_->begin(), trayTip_->end(), data.szTip);
  // The shell may have lost the icon (it restarted) or may hold it already
  // (a second TaskbarCreated): the other operation then does it.
  const DWORD secondTry = firstTry == NIM_ADD ? NIM_MODIFY : NIM_ADD;
  trayShown_ = Shell_NotifyIconW(firstTry, &data) || Shell_NotifyIconW(secondTry, &data);
}

void Win32Window::removeTrayIcon() { deleteTrayIcon(); }

void Win32Window::deleteTrayIcon() {
  if (trayTip_ && hwnd_) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd_;
    data.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
  }
  trayTip_.reset();
  trayShown_ = false;
}

// ---------------------------------------------------------------- input

void Win32Window::clickAtPointer() {
  POINT at{};
  GetCursorPos(&at);
  const HWND target = WindowFromPoint(at);
  if (target && GetWindowThreadProcessId(target, nullptr) == GetCurrentThreadId()) {
    // One of this program's controls: the click is handled before this
    // returns, so a list's new selection is there for the caller (queued
    // input would come only after a release that is already queued).
    ScreenToClient(target, &at);
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
    // A list finishes the click itself (handleList); other controls wait.
    if (IsWindow(target) && GetCapture() == target) SendMessageW(target, WM_LBUTTONUP, 0, where);
    return;
  }
  INPUT input[2]{};
  input[0].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].type = INPUT_MOUSE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

}  // namespace temvik

// Win32Window's controls: making each kind from its design row, finding
// one by id, and the calls every control takes (text, enabled, shown,
// checked, tooltip, focus, moving it).

#include <windows.h>

#include <commctrl.h>

#include "platform/win32/native.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_ui.h"
#include "platform/win32/win32_window_internal.h"

namespace temvik {

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
    case ControlKind::DropDown:
      cls = L"COMBOBOX";
      style |= CBS_DROPDOWNLIST | WS_VSCROLL;
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
  const Rect r = nativeControlRect(c.kind, c.rect, dpi_);
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

const Win32Window::Control* Win32Window::find(ControlId id) const {
  if (!hwnd_) return nullptr;
  const auto it = controls_.find(id);
  return it == controls_.end() || !it->second.hwnd ? nullptr : &it->second;
}

HWND Win32Window::controlHwnd(ControlId id) const {
  const Control* c = find(id);
  return c ? c->hwnd : nullptr;
}

Win32Window::Control* Win32Window::find(ControlId id, ControlKind kind) {
  if (!hwnd_) return nullptr;
  const auto it = controls_.find(id);
  return it == controls_.end() || !it->second.hwnd || it->second.kind != kind ? nullptr
                                                                              : &it->second;
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
  const Rect r = nativeControlRect(c->kind, rect, dpi_);
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

}  // namespace temvik

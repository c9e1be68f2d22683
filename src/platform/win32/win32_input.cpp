// Win32Window's input: the keyboard rules for Tab, Enter, Esc and Space
// (platform/keyboard.h), pressing a control, the dotted focus frame of a
// label button and the default look that follows the focus, the context
// menu's control, and a click where the pointer is.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "platform/keyboard.h"
#include "platform/win32/native.h"
#include "platform/win32/win32_ui.h"
#include "platform/win32/win32_window_internal.h"

namespace temvik {

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
  // An open drop-down takes Enter and Esc to close its list.
  if (const Control* c = find(focused); c && c->kind == ControlKind::DropDown &&
                                        (virtualKey == VK_RETURN || virtualKey == VK_ESCAPE) &&
                                        SendMessageW(c->hwnd, CB_GETDROPPEDSTATE, 0, 0))
    return false;
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

// ---------------------------------------------------------------- focus frame and default look

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

// ---------------------------------------------------------------- mouse

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

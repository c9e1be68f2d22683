// Win32Window's month calendars (the date, and a pick reported only when it
// changes it), drawing surfaces (their picture, their presses) and the
// window's own background picture.

#include <windows.h>

#include <commctrl.h>

#include <utility>

#include "platform/win32/win32_ui.h"
#include "platform/win32/win32_window_internal.h"

namespace temvik {

// ---------------------------------------------------------------- calendars

void Win32Window::handleCalendarSelection(ControlId id, Control& calendar) {
  // One pick sends both notifications, and scrolling the months sends
  // MCN_SELCHANGE too: only a different date counts.
  const DateTime selected = calendarSelection(calendar.hwnd);
  if (selected == calendar.date) return;
  calendar.date = selected;
  if (quiet_ > 0) return;
  if (auto* e = events()) e->onChanged(id);
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

// ---------------------------------------------------------------- surfaces

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
      // A disabled surface takes no press, however the press was sent.
      if (auto* e = events(); e && IsWindowEnabled(surface)) {
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

void Win32Window::surfaceSetPicture(ControlId id, Picture picture, PictureFit fit) {
  Control* c = find(id, ControlKind::Surface);
  if (!c) return;
  c->picture = std::move(picture);
  c->fit = fit;
  InvalidateRect(c->hwnd, nullptr, FALSE);
}

// ---------------------------------------------------------------- the window's picture

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

}  // namespace temvik

// Win32Window's month calendars (the date, and a pick reported only when it
// changes it), drawing surfaces (their picture or drawing, their presses)
// and the window's own background picture.

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <variant>

#include "platform/win32/dpi.h"
#include "platform/win32/wide.h"
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
  if (c && c->hwnd == surface && !c->drawing.empty()) {
    // Drawn whole in memory first, then copied at once: no flicker.
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap =
        CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom));
    const HGDIOBJ old = SelectObject(memory, bitmap);
    FillRect(memory, &client, GetSysColorBrush(COLOR_WINDOW));
    paintDrawing(memory, c->drawing);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return;
  }
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

void Win32Window::paintDrawing(HDC dc, const Drawing& drawing) const {
  const int dpi = static_cast<int>(dpi_);
  const auto at = [dpi](Point p) { return POINT{atDpi(p.x, dpi), atDpi(p.y, dpi)}; };
  const auto area = [dpi](Rect r) {
    const Rect s = scaleToDpi(r, static_cast<UINT>(dpi));
    return RECT{s.x, s.y, s.x + s.width, s.y + s.height};
  };
  const int thickness = std::max(1, atDpi(1, dpi));
  SetBkMode(dc, TRANSPARENT);
  const HGDIOBJ oldFont = SelectObject(dc, ui_.font(dpi_));
  for (const Drawing::Shape& shape : drawing.shapes) {
    if (const auto* box = std::get_if<Drawing::Box>(&shape)) {
      const RECT r = area(box->rect);
      if (box->fill == Drawing::Fill::Solid) {
        const HBRUSH brush = CreateSolidBrush(colorRef(box->color));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
      } else {
        // Diagonal lines in the colour over the window colour, framed.
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        const HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, colorRef(box->color));
        FillRect(dc, &r, hatch);
        DeleteObject(hatch);
        const HBRUSH frame = CreateSolidBrush(colorRef(box->color));
        for (int i = 0; i < thickness && r.right - r.left > 2 * i && r.bottom - r.top > 2 * i;
             ++i) {
          const RECT inner{r.left + i, r.top + i, r.right - i, r.bottom - i};
          FrameRect(dc, &inner, frame);
        }
        DeleteObject(frame);
      }
    } else if (const auto* line = std::get_if<Drawing::Line>(&shape)) {
      const POINT a = at(line->from), b = at(line->to);
      if (a.x == b.x || a.y == b.y) {
        // Straight lines as whole pixels, ends included.
        const RECT r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + thickness,
                     std::max(a.y, b.y) + thickness};
        const HBRUSH brush = CreateSolidBrush(colorRef(line->color));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
      } else {
        const HPEN pen = CreatePen(PS_SOLID, thickness, colorRef(line->color));
        const HGDIOBJ oldPen = SelectObject(dc, pen);
        MoveToEx(dc, a.x, a.y, nullptr);
        LineTo(dc, b.x, b.y);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
      }
    } else if (const auto* text = std::get_if<Drawing::Text>(&shape)) {
      RECT r = area(text->rect);
      const UINT align = text->align == Drawing::Align::Center  ? DT_CENTER
                         : text->align == Drawing::Align::Right ? DT_RIGHT
                                                                : DT_LEFT;
      SetTextColor(dc, colorRef(text->color));
      const std::wstring words = toUtf16(text->text);
      DrawTextW(dc, words.c_str(), static_cast<int>(words.size()), &r,
                align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
  }
  SelectObject(dc, oldFont);
}

void Win32Window::surfaceSetPicture(ControlId id, Picture picture, PictureFit fit) {
  Control* c = find(id, ControlKind::Surface);
  if (!c) return;
  c->picture = std::move(picture);
  c->fit = fit;
  c->drawing = {};
  InvalidateRect(c->hwnd, nullptr, FALSE);
}

void Win32Window::surfaceSetDrawing(ControlId id, Drawing drawing) {
  Control* c = find(id, ControlKind::Surface);
  if (!c) return;
  c->drawing = std::move(drawing);
  c->picture = {};
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

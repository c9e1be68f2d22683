#include "caption_fit.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <gtest/gtest.h>
#include <iterator>

#include "driver.h"
#include "platform/window_fit.h"

namespace temvik::e2e {
namespace {

int CALLBACK noteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// The first installed of the faces the program's Win32 backend tries.
std::wstring programUiFace(HDC dc) {
  for (const wchar_t* face : {L"Microsoft YaHei UI", L"微软雅黑", L"WenQuanYi Micro Hei"}) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, &noteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    if (found) return face;
  }
  return L"宋体";
}

std::wstring lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

std::wstring className(HWND h) {
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  return lower(name);
}

std::wstring text(HWND h) {
  std::wstring t(512, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXT, t.size(), reinterpret_cast<LPARAM>(t.data()), SMTO_NORMAL,
                           5000, &got))
    got = 0;
  t.resize(got);
  return t;
}

}  // namespace

UINT screenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return static_cast<UINT>(dpi);
}

int atDpi(int designPx, UINT dpi) { return temvik::atDpi(designPx, static_cast<int>(dpi)); }

UiFont::UiFont(UINT dpi) : dc_(CreateCompatibleDC(nullptr)) {
  face_ = programUiFace(dc_);
  font_ = CreateFontW(-atDpi(12, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, face_.c_str());
  old_ = SelectObject(dc_, font_);
  GetTextMetricsW(dc_, &metrics_);
}

UiFont::~UiFont() {
  SelectObject(dc_, old_);
  DeleteObject(font_);
  DeleteDC(dc_);
}

SIZE UiFont::extent(const std::wstring& t) const {
  SIZE size{};
  GetTextExtentPoint32W(dc_, t.c_str(), static_cast<int>(t.size()), &size);
  return size;
}

int UiFont::charWidth(wchar_t c) const {
  INT width = 0;
  GetCharWidth32W(dc_, c, c, &width);
  return width;
}

std::vector<CaptionFit> measureCaptions(HWND window, const UiFont& font, UINT dpi) {
  std::vector<CaptionFit> fits;
  for (HWND h = GetWindow(window, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    const std::wstring caption = text(h);
    const std::wstring cls = className(h);
    const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    if (cls == L"combobox" && (style & WS_VISIBLE)) {
      // Every row a drop-down can show in its closed box, beside its button.
      RECT client{};
      GetClientRect(h, &client);
      const int room = client.right - atDpi(17, dpi) - 2 * atDpi(4, dpi);
      DWORD_PTR rows = 0;
      SendMessageTimeoutW(h, CB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &rows);
      for (DWORD_PTR row = 0; row < rows; ++row) {
        wchar_t t[256]{};
        DWORD_PTR length = 0;
        SendMessageTimeoutW(h, CB_GETLBTEXTLEN, row, 0, SMTO_NORMAL, 5000, &length);
        if (length >= std::size(t)) continue;
        SendMessageW(h, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(t));
        fits.push_back({"ComboBox " + std::to_string(GetDlgCtrlID(h)), narrow(t),
                        static_cast<int>(font.extent(t).cx), room});
      }
      continue;
    }
    if (caption.empty() || !(style & WS_VISIBLE)) continue;
    RECT client{};
    GetClientRect(h, &client);
    int room = client.right;
    if (cls == L"static") {
      // A label tall enough for several lines wraps its text into them.
      room *= std::max(1, static_cast<int>(client.bottom / font.lineHeight()));
    } else if (cls == L"button") {
      switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
          room -= 2 * atDpi(3, dpi);
          break;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
          room -= atDpi(12, dpi) + 1 + font.charWidth(L'0') / 2;
          break;
        case BS_GROUPBOX:
          room -= 2 * atDpi(8, dpi);
          break;
        default:
          continue;
      }
    } else if (cls == L"edit") {
      if (style & ES_MULTILINE) continue;  // wraps its text
      DWORD_PTR margins = 0;
      SendMessageTimeoutW(h, EM_GETMARGINS, 0, 0, SMTO_NORMAL, 5000, &margins);
      room -= LOWORD(margins) + HIWORD(margins);
    } else if (cls != L"static") {
      continue;
    }
    fits.push_back({narrow(cls) + " " + std::to_string(GetDlgCtrlID(h)), narrow(caption),
                    static_cast<int>(font.extent(caption).cx), room});
  }
  return fits;
}

std::string captionsThatDoNotFit(const std::vector<CaptionFit>& fits) {
  std::string out;
  for (const auto& f : fits)
    if (!f.fits())
      out += f.control + " \"" + f.caption + "\": needs " + std::to_string(f.textWidth) +
             " px, has " + std::to_string(f.room) + " px\n";
  return out;
}

namespace {

// `captioned`: the window's design gives a caption to some control (a note
// that is one edit box has none to measure).
void expectCaptionsFitAt(HWND window, UINT dpi, bool captioned = true) {
  const UiFont font(dpi);
  const auto fits = measureCaptions(window, font, dpi);
  if (captioned) {
    EXPECT_FALSE(fits.empty()) << "no captions found";
  }
  EXPECT_EQ(captionsThatDoNotFit(fits), "") << "at " << dpi << " DPI in " << narrow(font.face());
}

Rect rectOf(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

bool inside(const RECT& r, const RECT& area) {
  return r.left >= area.left && r.top >= area.top && r.right <= area.right &&
         r.bottom <= area.bottom;
}

std::string describe(const RECT& r) {
  char text[96];
  std::snprintf(text, sizeof text, "(%ld, %ld) to (%ld, %ld)", static_cast<long>(r.left),
                static_cast<long>(r.top), static_cast<long>(r.right), static_cast<long>(r.bottom));
  return text;
}

}  // namespace

void expectCaptionsFit(HWND window, const char* what) {
  SCOPED_TRACE(what);
  ASSERT_NE(window, nullptr);
  expectCaptionsFitAt(window, screenDpi());
}

UINT layoutDpi(HWND window, const WindowDesign& design) {
  RECT outer{}, client{};
  if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client)) return 0;
  const int dpi = static_cast<int>(screenDpi());
  const Rect r = rectOf(outer);
  const int frameX = r.width - client.right, frameY = r.height - client.bottom;
  for (int layout = dpi; 2 * layout >= dpi; --layout) {
    if (r.width ==
            temvik::atDpi(design.rect.width, layout) + frameBeyondLayout(frameX, layout, dpi) &&
        r.height ==
            temvik::atDpi(design.rect.height, layout) + frameBeyondLayout(frameY, layout, dpi))
      return static_cast<UINT>(layout);
  }
  return 0;
}

UINT expectWindowFits(HWND window, const WindowDesign& design, const char* what) {
  SCOPED_TRACE(what);
  EXPECT_NE(window, nullptr);
  if (!window) return 0;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  EXPECT_TRUE(GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT& work = monitor.rcWork;
  RECT outer{};
  GetWindowRect(window, &outer);
  EXPECT_TRUE(inside(outer, work))
      << "the window at " << describe(outer) << " is not inside the work area " << describe(work);
  // Every control the user works with; a group box only frames others and
  // may reach past the window's edge by design.
  for (HWND h = GetWindow(window, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (!IsWindowVisible(h) || (className(h) == L"button" &&
                                (GetWindowLongPtrW(h, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX))
      continue;
    RECT r{};
    GetWindowRect(h, &r);
    EXPECT_TRUE(inside(r, work)) << narrow(className(h)) << " " << GetDlgCtrlID(h) << " at "
                                 << describe(r) << " is off the screen " << describe(work);
  }

  const UINT dpi = screenDpi();
  const UINT layout = layoutDpi(window, design);
  EXPECT_NE(layout, 0u) << "the window is " << describe(outer) << ", no scale of its design";
  const bool fitsAtScreenDpi =
      temvik::atDpi(design.rect.width, static_cast<int>(dpi)) <= work.right - work.left &&
      temvik::atDpi(design.rect.height, static_cast<int>(dpi)) <= work.bottom - work.top;
  if (fitsAtScreenDpi) {
    EXPECT_EQ(layout, dpi) << "laid out smaller than it needs";
  }
  const bool captioned = std::any_of(design.controls.begin(), design.controls.end(),
                                     [](const ControlDesign& c) { return !c.caption.empty(); });
  if (layout != 0) expectCaptionsFitAt(window, layout, captioned);
  return layout;
}

}  // namespace temvik::e2e

#include "caption_fit.h"

#include <cwctype>
#include <gtest/gtest.h>

#include "driver.h"

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

int atDpi(int designPx, UINT dpi) { return MulDiv(designPx, static_cast<int>(dpi), 96); }

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
    if (caption.empty() || !(style & WS_VISIBLE)) continue;
    RECT client{};
    GetClientRect(h, &client);
    int room = client.right;
    if (cls == L"button") {
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

void expectCaptionsFit(HWND window, const char* what) {
  SCOPED_TRACE(what);
  ASSERT_NE(window, nullptr);
  const UINT dpi = screenDpi();
  const UiFont font(dpi);
  const auto fits = measureCaptions(window, font, dpi);
  EXPECT_FALSE(fits.empty()) << "no captions found";
  EXPECT_EQ(captionsThatDoNotFit(fits), "") << "at " << dpi << " DPI in " << narrow(font.face());
}

}  // namespace temvik::e2e

#include "platform/win32/win32_desktop.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/win32/wide.h"

namespace temvik {

namespace {

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM into) {
  reinterpret_cast<std::vector<HWND>*>(into)->push_back(hwnd);
  return TRUE;
}

// A BITMAPINFO with room for every colour entry or mask GetDIBits may add.
struct DibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

// True when every pixel of the rows (32 bits each) is the same colour.
bool uniform(const std::vector<std::uint8_t>& bmp) {
  const Picture p = pictureFromBmp(bmp);
  if (p.empty()) return true;
  const Pixel first = p.pixels.front();
  return std::all_of(p.pixels.begin(), p.pixels.end(), [&](Pixel x) { return x == first; });
}

// Device contexts and a bitmap for `width` × `height`, released in reverse.
class MemoryBitmap {
 public:
  MemoryBitmap(int width, int height) {
    screen_ = GetDC(nullptr);
    if (!screen_) return;
    dc_ = CreateCompatibleDC(screen_);
    bitmap_ = CreateCompatibleBitmap(screen_, width, height);
    if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~MemoryBitmap() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
    if (screen_) ReleaseDC(nullptr, screen_);
  }
  MemoryBitmap(const MemoryBitmap&) = delete;
  MemoryBitmap& operator=(const MemoryBitmap&) = delete;

  [[nodiscard]] bool ok() const { return old_ != nullptr; }
  [[nodiscard]] HDC dc() const { return dc_; }
  [[nodiscard]] HDC screen() const { return screen_; }
  // The rows as a BMP file; the bitmap is deselected while GetDIBits reads it.
  [[nodiscard]] std::optional<std::vector<std::uint8_t>> file() {
    SelectObject(dc_, old_);
    auto bytes = bitmapFile(dc_, bitmap_);
    SelectObject(dc_, bitmap_);
    return bytes;
  }

 private:
  HDC screen_ = nullptr;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> bitmapFile(HDC dc, HBITMAP bitmap) {
  BITMAP bm{};
  if (!GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
    return std::nullopt;
  DibInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  if (!GetDIBits(dc, bitmap, 0, static_cast<UINT>(bm.bmHeight), nullptr,
                 reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
    return std::nullopt;
  // The bitmap's own depth, uncompressed; a palette depth would need a
  // colour table the file's layout has no room for.
  const WORD depth = bm.bmBitsPixel >= 16 ? bm.bmBitsPixel : 32;
  info.header.biBitCount = depth;
  info.header.biCompression = BI_RGB;
  info.header.biHeight = std::abs(info.header.biHeight);
  info.header.biSizeImage =
      static_cast<DWORD>(bmpRowBytes(info.header.biWidth, depth) * info.header.biHeight);
  std::vector<std::uint8_t> rows(info.header.biSizeImage);
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(bm.bmHeight), rows.data(),
                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != bm.bmHeight)
    return std::nullopt;
  BmpInfo out;
  out.width = info.header.biWidth;
  out.height = info.header.biHeight;
  out.bitCount = depth;
  out.imageSize = info.header.biSizeImage;
  out.xPelsPerMeter = info.header.biXPelsPerMeter;
  out.yPelsPerMeter = info.header.biYPelsPerMeter;
  out.colorsUsed = 0;
  out.colorsImportant = 0;
  return bmpFile(out, rows);
}

std::vector<TopLevelWindow> Win32Desktop::topLevelWindows() const {
  std::vector<HWND> handles;
  EnumWindows(&collectWindow, reinterpret_cast<LPARAM>(&handles));
  std::vector<TopLevelWindow> all;
  all.reserve(handles.size());
  for (HWND h : handles) {
    TopLevelWindow w;
    w.handle = reinterpret_cast<std::intptr_t>(h);
    w.visible = IsWindowVisible(h) != FALSE;
    const int length = GetWindowTextLengthW(h);
    if (length > 0) {
      std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
      const int got = GetWindowTextW(h, title.data(), length + 1);
      title.resize(static_cast<std::size_t>(std::max(got, 0)));
      w.title = toUtf8(title);
    }
    all.push_back(std::move(w));
  }
  return all;
}

std::optional<std::vector<std::uint8_t>> Win32Desktop::captureWindow(std::int64_t handle) {
  const auto hwnd = reinterpret_cast<HWND>(static_cast<std::intptr_t>(handle));
  if (!hwnd || !IsWindow(hwnd)) return std::nullopt;
  RECT r{};
  if (!GetWindowRect(hwnd, &r)) return std::nullopt;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return std::nullopt;
  MemoryBitmap memory(width, height);
  if (!memory.ok()) return std::nullopt;
  if (PrintWindow(hwnd, memory.dc(), 0)) {
    auto printed = memory.file();
    if (printed && !uniform(*printed)) return printed;
  }
  // What the window shows on the screen.
  if (!BitBlt(memory.dc(), 0, 0, width, height, memory.screen(), r.left, r.top,
              SRCCOPY | CAPTUREBLT))
    return std::nullopt;
  return memory.file();
}

Point Win32Desktop::cursorPosition() const {
  POINT p{};
  if (!GetCursorPos(&p)) return {};
  return {p.x, p.y};
}

Picture Win32Desktop::magnify(Rect source, int width, int height, Point cursorAt) {
  if (width <= 0 || height <= 0) return {};
  const HWND desktop = GetDesktopWindow();
  const HDC screen = GetDC(desktop);
  if (!screen) return {};
  const HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top, as a Picture's
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP dib = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  Picture out;
  if (dib && bits) {
    const HGDIOBJ old = SelectObject(dc, dib);
    PatBlt(dc, 0, 0, width, height, BLACKNESS);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, width, height, screen, source.x, source.y, source.width, source.height,
               SRCCOPY);
    CURSORINFO cursor{};
    cursor.cbSize = sizeof(cursor);
    if (GetCursorInfo(&cursor) && (cursor.flags & CURSOR_SHOWING) && cursor.hCursor)
      DrawIcon(dc, cursorAt.x, cursorAt.y, cursor.hCursor);
    GdiFlush();
    out = Picture(width, height);
    std::memcpy(out.pixels.data(), bits, out.pixels.size() * sizeof(Pixel));
    for (Pixel& p : out.pixels) p |= 0xFF000000u;
    SelectObject(dc, old);
  }
  if (dib) DeleteObject(dib);
  if (dc) DeleteDC(dc);
  ReleaseDC(desktop, screen);
  return out;
}

}  // namespace temvik

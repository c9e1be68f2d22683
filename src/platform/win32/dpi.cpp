#include "platform/win32/dpi.h"

namespace temvik {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using EnableNonClientDpiScalingFn = BOOL(WINAPI*)(HWND);
// MONITOR_DPI_TYPE 0: the effective DPI, the one windows are drawn at.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;

template <typename Fn>
Fn lookUp(const wchar_t* module, const char* name) {
  HMODULE m = GetModuleHandleW(module);
  if (!m) m = LoadLibraryW(module);  // shcore is not loaded by itself
  if (!m) return nullptr;
  // The documented way to reach a function the import table cannot name.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

struct DpiFunctions {
  GetDpiForWindowFn forWindow = lookUp<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  EnableNonClientDpiScalingFn nonClient =
      lookUp<EnableNonClientDpiScalingFn>(L"user32.dll", "EnableNonClientDpiScaling");
  GetDpiForMonitorFn forMonitor = lookUp<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
};

const DpiFunctions& functions() {
  static const DpiFunctions f;
  return f;
}

}  // namespace

int scaleToDpi(int designPx, UINT dpi) {
  return atDpi(designPx, static_cast<int>(dpi));
}

int scaleFromDpi(int px, UINT dpi) {
  return dpi == 0 ? px : MulDiv(px, static_cast<int>(kDesignDpi), static_cast<int>(dpi));
}

Rect scaleToDpi(const Rect& design, UINT dpi) {
  return {scaleToDpi(design.x, dpi), scaleToDpi(design.y, dpi), scaleToDpi(design.width, dpi),
          scaleToDpi(design.height, dpi)};
}

UINT systemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

UINT monitorDpi(HMONITOR monitor) {
  UINT x = 0, y = 0;
  if (monitor && functions().forMonitor &&
      SUCCEEDED(functions().forMonitor(monitor, kEffectiveDpi, &x, &y)) && y > 0)
    return y;
  return systemDpi();
}

UINT windowDpi(HWND window) {
  if (functions().forWindow) {
    if (const UINT dpi = functions().forWindow(window)) return dpi;
  }
  return monitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

void enableNonClientDpiScaling(HWND window) {
  if (functions().nonClient) functions().nonClient(window);
}

}  // namespace temvik

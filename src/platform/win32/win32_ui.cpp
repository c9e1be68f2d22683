#include "platform/win32/win32_ui.h"

#include <commctrl.h>

#include "platform/win32/dpi.h"
#include "platform/win32/native.h"

namespace temvik {

namespace {

int CALLBACK noteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// The first of the faces that is installed: the clear modern Chinese UI
// faces first, 宋体 (which every Chinese Windows has) last.
std::wstring chineseUiFace(const std::wstring& preferred) {
  if (!preferred.empty()) return preferred;
  const HDC dc = GetDC(nullptr);
  std::wstring chosen = L"宋体";
  for (const wchar_t* face : {L"Microsoft YaHei UI", L"微软雅黑", L"WenQuanYi Micro Hei"}) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, &noteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      chosen = face;
      break;
    }
  }
  ReleaseDC(nullptr, dc);
  return chosen;
}

// The message-only window's procedure: a wake-up runs what was posted.
LRESULT CALLBACK postWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kPostWakeMessage) {
    if (auto* posts = reinterpret_cast<PostQueue*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
      posts->runPending();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

bool runningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

Win32Ui::Win32Ui(Win32Options options) : options_(std::move(options)) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Win32Window::windowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kAppIconId));
  if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  // Shared: it lives as long as the program, as the class that uses it does.
  smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  if (!smallIcon_) smallIcon_ = wc.hIcon;
  wc.hIconSm = smallIcon_;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kWindowClass;
  // A second Ui in one process (tests) finds the class already there.
  RegisterClassExW(&wc);

  INITCOMMONCONTROLSEX common{};
  common.dwSize = sizeof(common);
  common.dwICC = ICC_DATE_CLASSES;  // the month calendar
  InitCommonControlsEx(&common);

  WNDCLASSEXW surface{};
  surface.cbSize = sizeof(surface);
  surface.lpfnWndProc = &Win32Window::surfaceProc;
  surface.hInstance = instance;
  surface.hCursor = wc.hCursor;
  surface.lpszClassName = kSurfaceClass;  // paints all of itself: no background brush
  RegisterClassExW(&surface);

  WNDCLASSEXW posts{};
  posts.cbSize = sizeof(posts);
  posts.lpfnWndProc = &postWindowProc;
  posts.hInstance = instance;
  posts.lpszClassName = kPostWindowClass;
  RegisterClassExW(&posts);
  postWindow_ = CreateWindowExW(0, kPostWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr);
  const HWND target = postWindow_;
  // One wake-up message at a time, however many functions wait.
  posts_ = std::make_shared<PostQueue>(
      [target] { return target && PostMessageW(target, kPostWakeMessage, 0, 0); });
  if (postWindow_)
    SetWindowLongPtrW(postWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(posts_.get()));

  fontCharHeightPx_ = options_.fontCharHeightPx > 0 ? options_.fontCharHeightPx : 12;
  fontFace_ = chineseUiFace(options_.fontFace);
}

Win32Ui::~Win32Ui() {
  // Closed first: no thread posts a wake-up to the window once it is gone.
  posts_->close();
  if (postWindow_) DestroyWindow(postWindow_);
  for (const auto& [dpi, font] : fonts_) DeleteObject(font);
}

HFONT Win32Ui::font(UINT dpi, int charHeightPx) const {
  if (charHeightPx <= 0) charHeightPx = fontCharHeightPx_;
  HFONT& font = fonts_[{dpi, charHeightPx}];
  if (!font)
    font = CreateFontW(-scaleToDpi(charHeightPx, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, fontFace_.c_str());
  return font;
}

std::unique_ptr<Window> Win32Ui::createWindow(const WindowDesign& design, WindowEvents& events,
                                              Window* owner) {
  HWND ownerHwnd = nullptr;
  if (auto* w = dynamic_cast<Win32Window*>(owner)) ownerHwnd = w->hwnd();
  auto window = std::make_unique<Win32Window>(*this, events);
  window->create(design, ownerHwnd);
  return window;
}

void Win32Ui::runModal(Window& window) {
  auto* w = dynamic_cast<Win32Window*>(&window);
  if (!w || !w->hwnd()) return;
  const HWND hwnd = w->hwnd();
  const HWND owner = GetWindow(hwnd, GW_OWNER);
  // An owner that is already disabled (by an outer modal window) stays so.
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) {
    EnableWindow(owner, FALSE);
    w->setModalOwner(owner);
  }
  w->show();

  // Deleting the Window object destroys its native window, so while `hwnd`
  // is a window, `w` is alive.
  MSG msg{};
  while (IsWindow(hwnd)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
      break;
    }
    dispatch(msg);
  }

  if (disableOwner) {
    if (IsWindow(hwnd)) w->setModalOwner(nullptr);
    EnableWindow(owner, TRUE);
    if (IsWindowVisible(owner) && GetActiveWindow() != owner) SetActiveWindow(owner);
  }
}

void Win32Ui::quit() {
  posts_->close();
  PostQuitMessage(0);
}

int Win32Ui::run(const Window* untilClosed) {
  HWND watched = nullptr;
  if (auto* w = dynamic_cast<const Win32Window*>(untilClosed)) {
    watched = w->hwnd();
    if (!watched) return 0;
  }
  MSG msg{};
  for (;;) {
    if (watched && !IsWindow(watched)) return 0;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return -1;
    dispatch(msg);
  }
}

void Win32Ui::dispatch(const MSG& msg) {
  if (Win32Window::handleDialogKey(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace temvik

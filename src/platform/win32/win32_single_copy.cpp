#include "platform/win32/win32_single_copy.h"

#include <cstdint>
#include <cwchar>
#include <utility>

#include "platform/win32/file_identity.h"
#include "platform/win32/win32_services.h"

namespace temvik {
namespace {

constexpr wchar_t kWindowClass[] = L"TemvikFolderCopy";
// How long a later copy looks for the first copy's window: both may have
// been started at the same moment, and the first makes it only after its
// mutex.
constexpr ULONGLONG kFirstCopyWaitMs = 2000;
constexpr DWORD kPollMs = 20;

UINT comeForwardMessage() {
  static const UINT message = RegisterWindowMessageW(L"Temvik.ComeForward");
  return message;
}

// The folder that holds the exe, in full and in its long form.
std::wstring programFolder() {
  std::wstring path = longFullPath(Win32Files().programPath());
  const std::size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) return path;
  // A drive's root keeps its separator: "C:" alone is the current folder.
  path.resize(slash == 2 && path[1] == L':' ? slash + 1 : slash);
  return path;
}

std::wstring folderIdentity(const std::wstring& folder) {
  if (const auto id = fileIdentity(folder)) {
    wchar_t text[32];
    std::swprintf(text, 32, L"V%08lX-%08lX%08lX", static_cast<unsigned long>((*id)[0]),
                  static_cast<unsigned long>((*id)[1]), static_cast<unsigned long>((*id)[2]));
    return text;
  }
  std::wstring upper = folder;
  if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  return L"P" + upper;
}

}  // namespace

Win32SingleCopy::Win32SingleCopy() : identity_(folderIdentity(programFolder())) {}

Win32SingleCopy::~Win32SingleCopy() {
  if (window_) DestroyWindow(window_);
  if (mutex_) CloseHandle(mutex_);
}

std::wstring Win32SingleCopy::mutexName() const {
  // A backslash would name a namespace; no path holds "/" after
  // GetFullPathNameW, so the swap keeps names apart.
  std::wstring name = L"Local\\Temvik-" + identity_;
  for (std::size_t i = 6; i < name.size(); ++i)
    if (name[i] == L'\\') name[i] = L'/';
  if (name.size() < MAX_PATH) return name;
  // Too long for a name: the identity's 64-bit FNV-1a hash instead.
  std::uint64_t hash = 14695981039346656037ULL;
  for (const wchar_t c : identity_) {
    hash ^= static_cast<std::uint16_t>(c);
    hash *= 1099511628211ULL;
  }
  wchar_t text[24];
  std::swprintf(text, 24, L"H%016llX", static_cast<unsigned long long>(hash));
  return L"Local\\Temvik-" + std::wstring(text);
}

bool Win32SingleCopy::askFirstCopy() const {
  const HWND first = FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, identity_.c_str());
  if (!first) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(first, &process);
  // The user started this copy, so it may hand the foreground on.
  if (process) AllowSetForegroundWindow(process);
  PostMessageW(first, comeForwardMessage(), 0, 0);
  return true;
}

bool Win32SingleCopy::claimFolder() {
  const std::wstring name = mutexName();
  const ULONGLONG deadline = GetTickCount64() + kFirstCopyWaitMs;
  for (;;) {
    mutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (mutex_ && error != ERROR_ALREADY_EXISTS) return true;
    // Denied: a copy of the same folder runs with other rights. Any other
    // failure says nothing of another copy, and the program runs.
    if (!mutex_ && error != ERROR_ACCESS_DENIED) return true;
    if (mutex_) {
      // Not kept: should the first copy be ending, the next try is first.
      CloseHandle(mutex_);
      mutex_ = nullptr;
    }
    if (askFirstCopy() || GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
}

void Win32SingleCopy::listen(std::function<void()> comeForward) {
  comeForward_ = std::move(comeForward);
  if (window_) return;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kWindowClass;
  RegisterClassExW(&wc);
  comeForwardMessage();  // registered before any copy can post it
  window_ = CreateWindowExW(0, kWindowClass, identity_.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE,
                            nullptr, instance, this);
  // A copy started without elevation may still ask an elevated one.
  if (window_) ChangeWindowMessageFilterEx(window_, comeForwardMessage(), MSGFLT_ALLOW, nullptr);
}

LRESULT CALLBACK Win32SingleCopy::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (msg == comeForwardMessage() && msg != 0) {
    auto* self = reinterpret_cast<Win32SingleCopy*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->comeForward_) self->comeForward_();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace temvik

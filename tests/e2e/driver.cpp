// winsock2.h goes before windows.h, which driver.h brings in.
#include <winsock2.h>
// clang-format off
#include "driver.h"
// clang-format on

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "store/gbk.h"

#ifndef TEMVIK_EXE_PATH
#define TEMVIK_EXE_PATH ""
#endif

namespace temvik::e2e {
namespace {

constexpr UINT kSendTimeoutMs = 10000;
constexpr wchar_t kMainTitlePrefix[] = L"Temvikv1.0";

LRESULT send(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0, UINT timeoutMs = kSendTimeoutMs) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, timeoutMs, &result)) return -1;
  return static_cast<LRESULT>(result);
}

std::string lastError(std::string_view what) {
  return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

void removeTree(const std::wstring& dir) {
  WIN32_FIND_DATAW found{};
  const HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = dir + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(h, &found));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

// Where this process last moved the pointer; button events are sent there.
POINT pointerTarget{-1, -1};

// A mouse event that carries its place on the screen. The pointer is moved
// only by such events, never by SetCursorPos: under wine a SetCursorPos
// from this process warps the X pointer, and the program's X connection can
// turn the late motion event of that warp into a move back to the old place,
// after a later move of ours.
INPUT mouseInput(DWORD flags, POINT at) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  // Normalised 0..65535, rounded up so that it maps back onto the same pixel.
  in.mi.dx = static_cast<LONG>((at.x * 65536LL + width - 1) / width);
  in.mi.dy = static_cast<LONG>((at.y * 65536LL + height - 1) / height);
  return in;
}

INPUT mouseInput(DWORD flags) {
  POINT at = pointerTarget;
  if (at.x < 0) GetCursorPos(&at);
  return mouseInput(flags, at);
}

// An IdleHelper's instance is this program started with this argument: it
// waits before any test runs, until it is ended.
constexpr std::wstring_view kIdleArgument = L"--temvik-idle";
const bool kIsIdleHelper = [] {
  if (std::wstring_view(GetCommandLineW()).find(kIdleArgument) != std::wstring_view::npos)
    Sleep(INFINITE);
  return false;
}();

// A DocumentOpener's instance is this program started with this argument and
// a path: it writes the path, UTF-8, into the file the opener reads (beside
// itself) and ends before any test runs.
constexpr std::wstring_view kOpenedArgument = L"--temvik-opened";
constexpr std::wstring_view kOpenedFile = L"opened.txt";
const bool kIsDocumentOpener = [] {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3 || argv[1] != kOpenedArgument) {
    if (argv) LocalFree(argv);
    return false;
  }
  std::wstring record(argv[0]);
  record.resize(record.find_last_of(L'\\') + 1);
  record += kOpenedFile;
  const std::string path = narrow(argv[2]);
  LocalFree(argv);
  const HANDLE file =
      CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (file != INVALID_HANDLE_VALUE) {
    WriteFile(file, path.data(), static_cast<DWORD>(path.size()), &written, nullptr);
    CloseHandle(file);
  }
  ExitProcess(0);
}();

// Starts `exe` in the folder `dir` as a user starts a program. wine now
// and then fails a start with ERROR_INTERNAL_ERROR before the program runs
// a single instruction of its own; such a start is retried.
bool startProgram(const std::wstring& exe, const std::wstring& dir, PROCESS_INFORMATION& info,
                  std::string& error) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + exe + L"\"";
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       dir.c_str(), &startup, &info))
      return true;
    if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == 3) {
      error = lastError("CreateProcessW " + narrow(exe));
      return false;
    }
    std::fprintf(stderr, "note: CreateProcessW failed with ERROR_INTERNAL_ERROR, starting again\n");
  }
}

}  // namespace

std::optional<DWORD> runToExit(const std::wstring& exe, const std::wstring& dir, Millis timeout) {
  PROCESS_INFORMATION info{};
  std::string error;
  if (!startProgram(exe, dir, info, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return std::nullopt;
  }
  CloseHandle(info.hThread);
  std::optional<DWORD> code;
  if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
    DWORD exit = 0;
    if (GetExitCodeProcess(info.hProcess, &exit)) code = exit;
  } else {
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, 5000);
  }
  CloseHandle(info.hProcess);
  return code;
}

struct LocalHttpServer::State {
  SOCKET listener = INVALID_SOCKET;
  std::thread thread;
  mutable std::mutex mutex;
  std::condition_variable released;
  bool held = false;
  bool stopping = false;
  enum class Way { Whole, Trickle, CutShort };
  struct Page {
    std::string body;
    Way way = Way::Whole;
  };
  std::map<std::string, Page> pages;
  std::map<std::string, int> requests;

  static bool sendAll(SOCKET client, std::string_view bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
      const int n = ::send(client, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
      if (n <= 0) return false;
      sent += static_cast<std::size_t>(n);
    }
    return true;
  }

  void answer(SOCKET client) {
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
      const int got = ::recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) return;
      request.append(buffer, static_cast<std::size_t>(got));
    }
    // "GET /path HTTP/1.1"
    const std::size_t from = request.find(' ') + 1;
    const std::string path = request.substr(from, request.find(' ', from) - from);
    std::optional<Page> page;
    {
      std::unique_lock lock(mutex);
      ++requests[path];
      released.wait(lock, [&] { return !held || stopping; });
      if (const auto found = pages.find(path); found != pages.end()) page = found->second;
    }
    std::string response = page ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n";
    response += "Content-Length: " + std::to_string(page ? page->body.size() : 0) +
                "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n\r\n";
    if (!page || page->way == Way::Whole) {
      if (page) response += page->body;
      sendAll(client, response);
    } else if (page->way == Way::CutShort) {
      sendAll(client, response + page->body.substr(0, page->body.size() / 2));
    } else if (sendAll(client, response)) {
      // Bounded by the body's length; ends early once the reader is gone.
      for (const char c : page->body) {
        if (!sendAll(client, std::string_view(&c, 1))) break;
        std::unique_lock lock(mutex);
        if (released.wait_for(lock, std::chrono::milliseconds(100), [&] { return stopping; }))
          break;
      }
    }
    ::shutdown(client, SD_SEND);
  }
};

LocalHttpServer::LocalHttpServer() : state_(std::make_unique<State>()) {
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return;
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  at.sin_port = 0;  // any free port
  int length = sizeof at;
  if (bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || listen(s, 8) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&at), &length) != 0) {
    closesocket(s);
    return;
  }
  state_->listener = s;
  port_ = ntohs(at.sin_port);
  state_->thread = std::thread([state = state_.get()] {
    for (;;) {
      const SOCKET client = accept(state->listener, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;  // closed: the server stops
      state->answer(client);
      closesocket(client);
    }
  });
}

LocalHttpServer::~LocalHttpServer() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
  }
  state_->released.notify_all();
  if (state_->listener != INVALID_SOCKET) closesocket(state_->listener);
  if (state_->thread.joinable()) state_->thread.join();
  if (port_ != 0) WSACleanup();
}

std::string LocalHttpServer::address(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void LocalHttpServer::serve(const std::string& path, std::string body) {
  std::lock_guard lock(state_->mutex);
  state_->pages[path] = {std::move(body), State::Way::Whole};
}

void LocalHttpServer::trickle(const std::string& path, std::string body) {
  std::lock_guard lock(state_->mutex);
  state_->pages[path] = {std::move(body), State::Way::Trickle};
}

void LocalHttpServer::cutShort(const std::string& path, std::string body) {
  std::lock_guard lock(state_->mutex);
  state_->pages[path] = {std::move(body), State::Way::CutShort};
}

std::string LocalHttpServer::refusingAddress(std::string_view path) {
  // A port the system just gave out and took back: nothing listens there.
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return {};
  unsigned short port = 0;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s != INVALID_SOCKET) {
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof at;
    if (bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&at), &length) == 0)
      port = ntohs(at.sin_port);
    closesocket(s);
  }
  WSACleanup();
  return port == 0 ? std::string() : "http://127.0.0.1:" + std::to_string(port) + std::string(path);
}

void LocalHttpServer::hold(bool held) {
  {
    std::lock_guard lock(state_->mutex);
    state_->held = held;
  }
  state_->released.notify_all();
}

int LocalHttpServer::requests(const std::string& path) const {
  std::lock_guard lock(state_->mutex);
  const auto n = state_->requests.find(path);
  return n == state_->requests.end() ? 0 : n->second;
}

IdleHelper::IdleHelper(const PlanFolder& folder, std::string_view exeName)
    : path_(folder.path(exeName)) {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  copied_ = n > 0 && n < MAX_PATH && CopyFileW(self, path_.c_str(), FALSE);
}

IdleHelper::~IdleHelper() {
  for (HANDLE process : processes_) {
    TerminateProcess(process, 1);
    CloseHandle(process);
  }
}

bool IdleHelper::start() {
  std::wstring commandLine = L"\"" + path_ + L"\" " + std::wstring(kIdleArgument);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  // As for the program itself: wine now and then fails a start with
  // ERROR_INTERNAL_ERROR before the process runs; such a start is retried.
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                       nullptr, nullptr, &si, &pi))
      break;
    if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == 3) return false;
    std::fprintf(stderr, "note: CreateProcessW failed with ERROR_INTERNAL_ERROR, starting again\n");
  }
  CloseHandle(pi.hThread);
  processes_.push_back(pi.hProcess);
  return true;
}

bool IdleHelper::endsWithin(Millis timeout) const {
  return !processes_.empty() &&
         WaitForSingleObject(processes_.back(), static_cast<DWORD>(timeout.count())) ==
             WAIT_OBJECT_0;
}

bool IdleHelper::running() const {
  return !processes_.empty() && WaitForSingleObject(processes_.back(), 0) == WAIT_TIMEOUT;
}

namespace {

// HKEY_CLASSES_ROOT\<key>'s default value, or nothing when the key is absent.
std::optional<std::wstring> classDefault(const std::wstring& key) {
  wchar_t value[512] = {};
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(value);
}

bool setClassDefault(const std::wstring& key, const std::wstring& value) {
  HKEY k = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const LONG set =
      RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
  return set == ERROR_SUCCESS;
}

}  // namespace

DocumentOpener::DocumentOpener(const PlanFolder& folder, std::wstring_view extension)
    : folder_(folder),
      extension_(extension),
      progId_(L"TemvikE2eOpener" + std::to_wstring(GetCurrentProcessId())),
      previous_(classDefault(extension_)) {
  const std::wstring opener = folder.path("document_opener.exe");
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  ok_ = n > 0 && n < MAX_PATH && CopyFileW(self, opener.c_str(), FALSE) &&
        setClassDefault(progId_ + L"\\shell\\open\\command",
                        L"\"" + opener + L"\" " + std::wstring(kOpenedArgument) + L" \"%1\"") &&
        setClassDefault(extension_, progId_);
}

DocumentOpener::~DocumentOpener() {
  if (previous_)
    setClassDefault(extension_, *previous_);
  else
    RegDeleteTreeW(HKEY_CLASSES_ROOT, extension_.c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, progId_.c_str());
}

std::optional<std::string> DocumentOpener::opened() const {
  return folder_.readBytes(narrow(kOpenedFile));
}

std::wstring widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

bool waitFor(const std::function<bool()>& condition, Millis timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    Sleep(5);  // a polling interval, not a wait for something to happen
  }
}

std::wstring windowsPath(std::string_view path) {
  std::wstring w = widen(path);
  if (!w.empty() && w[0] == L'/') w = L"Z:" + w;  // wine maps the Unix root to Z:
  for (auto& c : w)
    if (c == L'/') c = L'\\';
  return w;
}

std::wstring temvikExePath() {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD n = GetEnvironmentVariableW(L"TEMVIK_EXE", buffer, MAX_PATH * 2);
  if (n > 0 && n < MAX_PATH * 2) return windowsPath(narrow(std::wstring_view(buffer, n)));
  return windowsPath(TEMVIK_EXE_PATH);
}

std::string windowText(HWND hwnd) {
  const LRESULT length = send(hwnd, WM_GETTEXTLENGTH);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got < 0 ? 0 : static_cast<size_t>(got));
  return narrow(text);
}

std::string windowClass(HWND hwnd) {
  wchar_t name[256] = {};
  const int n = GetClassNameW(hwnd, name, 256);
  return narrow(std::wstring_view(name, n > 0 ? static_cast<size_t>(n) : 0));
}

// ---------------------------------------------------------------- PlanFolder

PlanFolder::PlanFolder() {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1] = {};
  if (!GetTempPathW(MAX_PATH + 1, temp)) {
    error_ = lastError("GetTempPathW");
    return;
  }
  for (int attempt = 0;; ++attempt) {
    dir_ = std::wstring(temp) + L"temvik-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount64() % 100000) + L"-" + std::to_wstring(counter++);
    if (CreateDirectoryW(dir_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 100) {
      error_ = lastError("CreateDirectoryW " + narrow(dir_));
      dir_.clear();
      return;
    }
  }
  exe_ = dir_ + L"\\temvik.exe";
  const std::wstring source = temvikExePath();
  if (!CopyFileW(source.c_str(), exe_.c_str(), FALSE))
    error_ = lastError("copying " + narrow(source) + " to " + narrow(exe_));
}

PlanFolder::PlanFolder(std::wstring existingDir)
    : dir_(std::move(existingDir)), exe_(dir_ + L"\\temvik.exe"), owned_(false) {
  if (GetFileAttributesW(exe_.c_str()) == INVALID_FILE_ATTRIBUTES)
    error_ = lastError("no program at " + narrow(exe_));
}

PlanFolder::~PlanFolder() {
  if (owned_ && !dir_.empty()) removeTree(dir_);
}

std::wstring PlanFolder::path(std::string_view fileName) const {
  return dir_ + L"\\" + widen(fileName);
}

bool PlanFolder::writeIni(std::string_view fileName, std::string_view utf8Text) {
  std::string text;
  for (size_t i = 0; i < utf8Text.size(); ++i) {
    if (utf8Text[i] == '\n' && (i == 0 || utf8Text[i - 1] != '\r')) text += '\r';
    text += utf8Text[i];
  }
  return writeBytes(fileName, utf8ToGbk(text));
}

bool PlanFolder::writeBytes(std::string_view fileName, std::string_view bytes) {
  const HANDLE h = CreateFileW(path(fileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

std::optional<std::string> PlanFolder::readBytes(std::string_view fileName) const {
  const HANDLE h = CreateFileW(path(fileName).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(h);
  return bytes;
}

std::string PlanFolder::readText(std::string_view fileName) const {
  const auto bytes = readBytes(fileName);
  return bytes ? gbkToUtf8(*bytes) : std::string();
}

bool PlanFolder::exists(std::string_view fileName) const {
  return GetFileAttributesW(path(fileName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ---------------------------------------------------------------- MessageBoxWindow

bool MessageBoxWindow::hasButton(int id) const { return GetDlgItem(hwnd, id) != nullptr; }

bool MessageBoxWindow::press(int id) const {
  const HWND button = GetDlgItem(hwnd, id);
  if (!button) return false;
  // Posted: the box's own loop handles it and ends the box.
  PostMessageW(button, BM_CLICK, 0, 0);
  return waitFor([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); });
}

bool MessageBoxWindow::clickButton(int id) const {
  const HWND button = GetDlgItem(hwnd, id);
  RECT r{};
  if (!button || !GetWindowRect(button, &r)) return false;
  if (!App::movePointer({(r.left + r.right) / 2, (r.top + r.bottom) / 2})) return false;
  App::mouseDown(Button::Left);
  App::mouseUp(Button::Left);
  return waitFor([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); });
}

// ---------------------------------------------------------------- App

App::App(const PlanFolder& folder, Millis timeout) {
  if (!folder.ok()) {
    error_ = "no program folder: " + folder.error();
    return;
  }
  // The pointer away from where the window will be: a window that appears
  // under the pointer gets an X enter event, and a late one moves wine's
  // pointer back to where the X pointer was when the window appeared.
  movePointer({GetSystemMetrics(SM_CXSCREEN) - 8, GetSystemMetrics(SM_CYSCREEN) - 8});

  PROCESS_INFORMATION info{};
  if (!startProgram(folder.exe(), folder.dir(), info, error_)) return;
  process_ = info.hProcess;
  CloseHandle(info.hThread);
  pid_ = info.dwProcessId;

  // The window shows during start-up; the lists are filled after. Start-up
  // is over once the program waits for input with its title set.
  HWND found = nullptr;
  const bool appeared = waitFor(
      [&] {
        if (!running()) return true;
        for (HWND w : topLevelWindows()) {
          const std::string cls = windowClass(w);
          if (cls == "#32770" || cls == "#32768" || !IsWindowVisible(w)) continue;
          wchar_t title[64] = {};
          GetWindowTextW(w, title, 64);
          if (std::wstring_view(title).starts_with(kMainTitlePrefix)) {
            found = w;
            return true;
          }
        }
        return false;
      },
      timeout);
  if (!running()) {
    error_ = "temvik.exe ended during start-up with exit code " + std::to_string(exitCode());
    return;
  }
  if (!appeared || !found) {
    error_ = "no main window within " + std::to_string(timeout.count()) + " ms";
    return;
  }
  WaitForInputIdle(process_, static_cast<DWORD>(timeout.count()));
  hwnd_ = found;
  if (!waitFor([&] { return title().starts_with("Temvikv1.0 -- "); }, timeout) || !sync()) {
    error_ = "main window did not finish start-up (title \"" + title() + "\")";
    return;
  }
  if (auto box = messageBox()) {
    error_ = "a message box opened at start-up: " + box->title + " / " + box->text;
  }
}

App::~App() {
  // Closed as a user would; killed only when that does not end it.
  if (running() && hwnd_) {
    close();
    waitForExit(5s);
  }
  kill();
  if (process_) CloseHandle(process_);
}

bool App::running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD App::exitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

bool App::sync(Millis timeout) const {
  DWORD_PTR result = 0;
  return hwnd_ && SendMessageTimeoutW(hwnd_, WM_NULL, 0, 0, SMTO_NORMAL,
                                      static_cast<UINT>(timeout.count()), &result) != 0;
}

std::vector<HWND> App::topLevelWindows() const {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{pid_, {}};
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == s->pid) s->found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string App::title() const { return hwnd_ ? windowText(hwnd_) : std::string(); }

Rect App::windowRect() const {
  RECT r{};
  if (!hwnd_ || !GetWindowRect(hwnd_, &r)) return {};
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

HWND App::control(int id) const { return hwnd_ ? GetDlgItem(hwnd_, id) : nullptr; }

std::string App::text(int id) const {
  const HWND c = control(id);
  return c ? windowText(c) : std::string();
}

std::string App::className(int id) const {
  const HWND c = control(id);
  return c ? windowClass(c) : std::string();
}

LONG_PTR App::style(int id) const {
  const HWND c = control(id);
  return c ? GetWindowLongPtrW(c, GWL_STYLE) : 0;
}

bool App::enabled(int id) const {
  const HWND c = control(id);
  return c && IsWindowEnabled(c);
}

bool App::visible(int id) const {
  const HWND c = control(id);
  return c && IsWindowVisible(c);
}

bool App::checked(int id) const {
  const HWND c = control(id);
  return c && send(c, BM_GETCHECK) == BST_CHECKED;
}

Rect App::clientRect(int id) const {
  const HWND c = control(id);
  RECT r{};
  if (!c || !GetWindowRect(c, &r)) return {};
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  ScreenToClient(hwnd_, &corners[0]);
  ScreenToClient(hwnd_, &corners[1]);
  return {corners[0].x, corners[0].y, corners[1].x - corners[0].x, corners[1].y - corners[0].y};
}

std::vector<std::string> App::rows(int listId) const {
  std::vector<std::string> out;
  const HWND list = control(listId);
  if (!list) return out;
  const LRESULT count = send(list, LB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i));
    std::wstring text(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
    const LRESULT got =
        send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : static_cast<size_t>(got));
    out.push_back(narrow(text));
  }
  return out;
}

int App::selection(int listId) const {
  const HWND list = control(listId);
  if (!list) return -2;
  const LRESULT row = send(list, LB_GETCURSEL);
  return row < 0 ? -1 : static_cast<int>(row);
}

std::optional<int> App::layeredAlpha() const {
  if (!hwnd_ || !(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_LAYERED)) return std::nullopt;
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(hwnd_, &key, &alpha, &flags)) return std::nullopt;
  return (flags & LWA_ALPHA) ? static_cast<int>(alpha) : 255;
}

void typeInto(HWND edit, std::string_view utf8) {
  if (!edit) return;
  send(edit, EM_SETSEL, 0, -1);
  send(edit, WM_CLEAR);
  for (wchar_t unit : widen(utf8)) send(edit, WM_CHAR, unit, 1);
}

void App::type(int id, std::string_view utf8) const { typeInto(control(id), utf8); }

bool App::click(int id, Millis timeout) const {
  const HWND c = control(id);
  if (!c) return false;
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(c, BM_CLICK, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout.count()),
                             &result) != 0;
}

void App::clickAsync(int id) const {
  if (const HWND c = control(id)) PostMessageW(c, BM_CLICK, 0, 0);
}

bool App::pointAtRow(int listId, int row) const {
  const HWND list = control(listId);
  if (!list) return false;
  const LRESULT top = send(list, LB_GETTOPINDEX);
  const LRESULT height = send(list, LB_GETITEMHEIGHT, 0);
  RECT client{};
  GetClientRect(list, &client);
  POINT at{std::min<LONG>(20, client.right / 2),
           static_cast<LONG>((row - top) * height + height / 2)};
  if (top < 0 || height <= 0 || row < top || at.y >= client.bottom) return false;
  ClientToScreen(list, &at);
  return movePointer(at);
}

bool App::movePointer(POINT to) {
  pointerTarget = to;
  INPUT in = mouseInput(0, to);
  auto lastSent = std::chrono::steady_clock::now();
  SendInput(1, &in, sizeof in);
  return waitFor([&] {
    POINT now{};
    GetCursorPos(&now);
    if (now.x == to.x && now.y == to.y) return true;
    // Something else moved it meanwhile: move it again.
    if (std::chrono::steady_clock::now() - lastSent > 200ms) {
      lastSent = std::chrono::steady_clock::now();
      SendInput(1, &in, sizeof in);
    }
    return false;
  });
}

void App::mouseDown(Button button) {
  INPUT in = mouseInput(button == Button::Left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN);
  SendInput(1, &in, sizeof in);
}

void App::mouseUp(Button button) {
  INPUT in = mouseInput(button == Button::Left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP);
  SendInput(1, &in, sizeof in);
}

bool App::clickRow(int listId, int row) const {
  if (!pointAtRow(listId, row)) return false;
  INPUT in[2] = {mouseInput(MOUSEEVENTF_LEFTDOWN), mouseInput(MOUSEEVENTF_LEFTUP)};
  SendInput(2, in, sizeof(INPUT));
  return true;
}

void App::pressKey(WORD virtualKey) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = virtualKey;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

HWND App::focus() const {
  if (!hwnd_) return nullptr;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd_, nullptr), &info)) return nullptr;
  return info.hwndFocus ? info.hwndFocus : info.hwndActive;
}

void App::menu(int menuItemId) const {
  if (hwnd_) PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(menuItemId, 0), 0);
}

void App::close() const {
  if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

bool App::waitForExit(Millis timeout) const {
  return !process_ ||
         WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void App::kill() {
  if (!running()) return;
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 10000);
}

HWND App::window(std::string_view title) const {
  for (HWND w : topLevelWindows())
    if (IsWindowVisible(w) && windowText(w) == title) return w;
  return nullptr;
}

HWND App::waitForWindow(std::string_view title, Millis timeout) const {
  HWND found = nullptr;
  waitFor([&] { return (found = window(title)) != nullptr; }, timeout);
  return found;
}

namespace {

// The first edit box inside `parent`, at any depth.
HWND editInside(HWND parent) {
  for (HWND child = FindWindowExW(parent, nullptr, nullptr, nullptr); child;
       child = FindWindowExW(parent, child, nullptr, nullptr)) {
    if (windowClass(child) == "Edit") return child;
    if (const HWND edit = editInside(child)) return edit;
  }
  return nullptr;
}

// The file name box of a common file dialog: edt1, or the edit in cmb13
// (a combo box, or an extended one holding a combo box).
HWND fileNameBox(HWND dialog) {
  if (const HWND edit = GetDlgItem(dialog, 0x480)) return edit;
  if (const HWND combo = GetDlgItem(dialog, 0x47c)) return editInside(combo);
  return nullptr;
}

}  // namespace

HWND App::fileDialog() const {
  for (HWND w : topLevelWindows())
    if (IsWindowVisible(w) && windowClass(w) == "#32770" && fileNameBox(w)) return w;
  return nullptr;
}

// Waits for the file dialog, types `path` as its file name and presses its
// OK button: the dialog, or nothing when it did not come or took no name.
HWND App::acceptFileName(std::string_view path, Millis timeout) const {
  HWND dialog = nullptr;
  if (!waitFor([&] { return (dialog = fileDialog()) != nullptr; }, timeout)) return nullptr;
  const HWND box = fileNameBox(dialog);
  typeInto(box, path);
  if (windowText(box) != path) return nullptr;
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  return dialog;
}

bool App::chooseFile(std::string_view path, Millis timeout) const {
  const HWND dialog = acceptFileName(path, timeout);
  return dialog && waitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, timeout);
}

bool App::chooseFileOver(std::string_view path, Millis timeout) const {
  const HWND dialog = acceptFileName(path, timeout);
  if (!dialog) return false;
  std::optional<MessageBoxWindow> question;
  if (!waitFor([&] { return (question = messageBox()) && GetDlgItem(question->hwnd, IDYES); },
               timeout))
    return false;
  return question->press(IDYES) &&
         waitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, timeout);
}

std::optional<MessageBoxWindow> App::messageBox() const {
  for (HWND w : topLevelWindows()) {
    if (!IsWindowVisible(w) || windowClass(w) != "#32770" || fileNameBox(w)) continue;
    MessageBoxWindow box;
    box.hwnd = w;
    box.title = windowText(w);
    if (const HWND text = GetDlgItem(w, 0xFFFF)) box.text = windowText(text);
    return box;
  }
  return std::nullopt;
}

std::optional<MessageBoxWindow> App::waitForMessageBox(Millis timeout) const {
  std::optional<MessageBoxWindow> box;
  waitFor([&] { return (box = messageBox()).has_value() || !running(); }, timeout);
  return box;
}

HWND App::popupMenu() const {
  for (HWND w : topLevelWindows())
    if (IsWindowVisible(w) && windowClass(w) == "#32768") return w;
  return nullptr;
}

std::optional<std::vector<std::string>> App::menuItems(HWND popupMenuWindow) {
  const auto menu = reinterpret_cast<HMENU>(send(popupMenuWindow, MN_GETHMENU));
  if (!menu || reinterpret_cast<LRESULT>(menu) == -1) return std::nullopt;
  const int count = GetMenuItemCount(menu);
  if (count < 0) return std::nullopt;
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i) {
    wchar_t text[512] = {};
    const int n = GetMenuStringW(menu, static_cast<UINT>(i), text, 512, MF_BYPOSITION);
    items.push_back(narrow(std::wstring_view(text, n > 0 ? static_cast<size_t>(n) : 0)));
  }
  return items;
}

}  // namespace temvik::e2e

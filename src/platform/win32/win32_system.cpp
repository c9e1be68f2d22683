#include "platform/win32/win32_system.h"

#include <shellapi.h>

#include <cwchar>
#include <tlhelp32.h>

#include "platform/win32/wide.h"

namespace temvik {

// ---------------------------------------------------------------- shell

bool Win32Shell::open(const std::string& path) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", toUtf16(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;  // smaller values are error codes
}

bool Win32Shell::run(const std::string& commandLine) {
  // CreateProcessW may write into the command line: it gets a copy of its own.
  std::wstring line = toUtf16(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &started))
    return false;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

// ---------------------------------------------------------------- processes

std::vector<ProcessEntry> Win32Processes::list() const {
  std::vector<ProcessEntry> entries;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return entries;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    entries.push_back({entry.th32ProcessID, toUtf8(entry.szExeFile)});
  CloseHandle(snapshot);
  return entries;
}

std::uint32_t Win32Processes::currentId() const { return GetCurrentProcessId(); }

bool Win32Processes::terminate(std::uint32_t id) {
  const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
  if (!process) return false;
  const bool ended = TerminateProcess(process, 1);
  CloseHandle(process);
  return ended;
}

// ---------------------------------------------------------------- power

bool enableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
    return false;
  TOKEN_PRIVILEGES wanted{};
  wanted.PrivilegeCount = 1;
  wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool enabled = LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &wanted.Privileges[0].Luid) &&
                 AdjustTokenPrivileges(token, FALSE, &wanted, 0, nullptr, nullptr);
  // Success with ERROR_NOT_ALL_ASSIGNED means the token lacks the privilege.
  enabled = enabled && GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return enabled;
}

void Win32Power::request(PowerAction action) {
  // Log-off needs no privilege; without it the others are refused.
  enableShutdownPrivilege();
  UINT how = EWX_LOGOFF;
  switch (action) {
    case PowerAction::ShutDown:
      how = EWX_SHUTDOWN | EWX_POWEROFF;
      break;
    case PowerAction::Restart:
      how = EWX_REBOOT;
      break;
    case PowerAction::LogOff:
      how = EWX_LOGOFF;
      break;
  }
  ExitWindowsEx(how | EWX_FORCE, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED);
}

// ---------------------------------------------------------------- sleep and wake

namespace {

// The UTC moment of a local date-time, by the time zone's rules for that
// date (daylight saving included).
std::optional<FILETIME> utcOfLocal(const DateTime& t) {
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(t.year);
  local.wMonth = static_cast<WORD>(t.month);
  local.wDay = static_cast<WORD>(t.day);
  local.wHour = static_cast<WORD>(t.hour);
  local.wMinute = static_cast<WORD>(t.minute);
  local.wSecond = static_cast<WORD>(t.second);
  SYSTEMTIME utc{};
  FILETIME due{};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &due))
    return std::nullopt;
  return due;
}

}  // namespace

Win32Power::~Win32Power() {
  if (timer_) CloseHandle(timer_);  // the last handle: the wake goes with it
}

void Win32Power::holdAwake(bool on) {
  // The state belongs to the calling thread, the UI thread; ES_CONTINUOUS
  // alone clears what it held.
  SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

void Win32Power::wakeFor(std::optional<DateTime> start) {
  std::optional<FILETIME> due;
  if (start && isValidDateTime(*start)) {
    const DateTime wake = addSeconds(*start, -kWakeLeadSeconds);
    if (isValidDateTime(wake)) due = utcOfLocal(wake);
  }
  due_.reset();
  if (!due) {
    if (timer_) CancelWaitableTimer(timer_);
    return;
  }
  if (!timer_) timer_ = CreateWaitableTimerW(nullptr, TRUE, nullptr);
  if (!timer_) return;
  // A positive due time is an absolute UTC moment. A time already past
  // signals at once. A computer that cannot wake by a timer still arms it
  // (ERROR_NOT_SUPPORTED).
  LARGE_INTEGER when{};
  when.LowPart = due->dwLowDateTime;
  when.HighPart = static_cast<LONG>(due->dwHighDateTime);
  if (SetWaitableTimer(timer_, &when, 0, nullptr, nullptr, TRUE)) due_ = due;
}

// ---------------------------------------------------------------- log-on entry

std::optional<std::string> Win32AutoStart::command() const {
  // A REG_EXPAND_SZ value comes expanded, as REG_SZ (asking for
  // RRF_RT_REG_EXPAND_SZ itself would need RRF_NOEXPAND).
  constexpr DWORD kTypes = RRF_RT_REG_SZ;
  DWORD bytes = 0;
  LSTATUS status =
      RegGetValueW(HKEY_CURRENT_USER, kRunKey, name_.c_str(), kTypes, nullptr, nullptr, &bytes);
  std::wstring value;
  // The value may grow between the two calls: asked again until it fits.
  while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    value.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    status = RegGetValueW(HKEY_CURRENT_USER, kRunKey, name_.c_str(), kTypes, nullptr, value.data(),
                          &bytes);
    if (status == ERROR_SUCCESS) {
      value.resize(wcsnlen(value.c_str(), value.size()));
      return toUtf8(value);
    }
  }
  return std::nullopt;
}

bool Win32AutoStart::setCommand(const std::string& commandLine) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring value = toUtf16(commandLine);
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  const bool written =
      RegSetValueExW(key, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     bytes) == ERROR_SUCCESS;
  RegCloseKey(key);
  return written;
}

bool Win32AutoStart::remove() {
  HKEY key = nullptr;
  const LSTATUS opened = RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key);
  if (opened == ERROR_FILE_NOT_FOUND) return true;  // no key, no entry
  if (opened != ERROR_SUCCESS) return false;
  const LSTATUS deleted = RegDeleteValueW(key, name_.c_str());
  RegCloseKey(key);
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

}  // namespace temvik

#include "platform/win32/win32_system.h"

#include <shellapi.h>

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

}  // namespace temvik

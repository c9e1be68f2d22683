#include <windows.h>

#include "platform/win32/win32_services.h"

namespace temvik {

DateTime Win32Clock::now() const {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::uint64_t Win32Clock::monotonicMs() const { return GetTickCount64(); }

}  // namespace temvik

// The real program and the system: 开机自动启动 writes and removes the
// user's Run entry for this very exe, in the registry that every process of
// the wine prefix (or the Windows user) shares. Its check mark is proved
// on the headless backend: wine keeps a menu private to its process
// (GetMenuState from here gives -1).

#include <optional>
#include <string>

#include "e2e_support.h"
#include "platform/win32/wide.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kEntryName[] = L"Temvik";

std::optional<std::wstring> runEntry() {
  wchar_t value[2048] = {};
  DWORD bytes = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kEntryName, RRF_RT_REG_SZ, nullptr, value, &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(value);
}

TEST(AutoStart, TheMenuItemWritesTheQuotedExePathAndRemovesIt) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kEntryName);
  PlanFolder folder;
  E2E_START(app, folder);
  const std::wstring quoted = L"\"" + folder.exe() + L"\"";

  app.menu(kStartWithWindows);
  E2E_EVENTUALLY_TRUE(runEntry().has_value());
  EXPECT_EQ(CompareStringOrdinal(runEntry()->c_str(), -1, quoted.c_str(), -1, TRUE), CSTR_EQUAL)
      << toUtf8(*runEntry());
  app.menu(kStartWithWindows);
  E2E_EVENTUALLY_TRUE(!runEntry().has_value());
  EXPECT_FALSE(app.messageBox().has_value());
}

}  // namespace
}  // namespace temvik::e2e

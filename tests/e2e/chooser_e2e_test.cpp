// The choosers of the real program: a double-clicked process row goes into
// the list, "确定" closes the chooser, and the added item stores the list
// with its trailing comma; a chooser left open closes when another item is
// loaded, so it never writes into that item.

#include <windows.h>

#include <string>

#include "e2e_support.h"
#include "ui/dialogs/process_chooser.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using namespace chooser_ids;

std::string rowText(HWND list, int row) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, row, 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return narrow(text);
}

TEST(EndProcessChooser, ADoubleClickedProcessIsStoredWithItsComma) {
  PlanFolder folder;
  E2E_START(app, folder);
  ASSERT_TRUE(app.click(kEndProcesses));
  ASSERT_TRUE(app.enabled(kChooseEndProcess));
  app.clickAsync(kChooseEndProcess);  // modal: its loop runs inside the click
  HWND chooser = app.waitForWindow("选择结束进程");
  ASSERT_NE(chooser, nullptr);
  BYTE alpha = 0;
  DWORD flags = 0;
  if (GetLayeredWindowAttributes(chooser, nullptr, &alpha, &flags)) {
    EXPECT_EQ(alpha, 230);
  }
  EXPECT_FALSE(IsWindowEnabled(app.hwnd())) << "the main window waits for the chooser";

  HWND list = GetDlgItem(chooser, kRunningList);
  ASSERT_NE(list, nullptr);
  E2E_EVENTUALLY_TRUE(SendMessageW(list, LB_GETCOUNT, 0, 0) > 0);
  // The snapshot holds the program itself; double-click its row.
  int row = -1;
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count && row < 0; ++i)
    if (rowText(list, i) == "temvik.exe") row = i;
  ASSERT_GE(row, 0) << "temvik.exe among the " << count << " processes";
  SendMessageW(list, LB_SETCURSEL, row, 0);
  DWORD_PTR result = 0;
  ASSERT_NE(SendMessageTimeoutW(chooser, WM_COMMAND, MAKEWPARAM(kRunningList, LBN_DBLCLK),
                                reinterpret_cast<LPARAM>(list), SMTO_ABORTIFHUNG, 5000, &result),
            0);
  HWND edit = GetDlgItem(chooser, kProcessText);
  E2E_EVENTUALLY_EQ(windowText(edit), std::string("temvik.exe,"));

  PostMessageW(GetDlgItem(chooser, kProcessOk), BM_CLICK, 0, 0);
  E2E_EVENTUALLY_TRUE(!IsWindow(chooser) || !IsWindowVisible(chooser));
  E2E_EVENTUALLY_TRUE(IsWindowEnabled(app.hwnd()));

  app.type(kContent, "关进程");
  app.type(kHours, "0");
  app.type(kMinutes, "1");
  app.type(kSeconds, "0");
  ASSERT_TRUE(app.click(kAddItem));
  E2E_EVENTUALLY_EQ(app.rows(kSequentialList), std::vector<std::string>{"关进程"});
  const auto sections = parseIni(folder.readText("time.ini"));
  ASSERT_EQ(sections.size(), 1u) << folder.readText("time.ini");
  const std::string stored = sections[0].value("进程");
  EXPECT_EQ(stored, "temvik.exe,");
  ASSERT_FALSE(stored.empty());
  EXPECT_EQ(stored.back(), ',');
  EXPECT_EQ(sections[0].value("结束进程"), "真");
}

TEST(ForbiddenProcessChooser, ClosesWhenAnotherItemLoadsAndLeavesThatItemAlone) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni(
      "time.ini", itemSection("甲", "0", "1", "0", {"禁止进程=真", "禁止名=a.exe,"}) +
                      itemSection("乙", "0", "1", "0", {"禁止进程=真", "禁止名=b.exe,"})));
  E2E_START(app, folder);
  ASSERT_TRUE(app.clickRow(kSequentialList, 0));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("甲"));
  ASSERT_TRUE(app.click(kChooseForbidden));
  HWND chooser = app.waitForWindow("选择禁止进程");
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(windowText(GetDlgItem(chooser, kProcessText)), "a.exe,");
  // Out of the way of the list, which the next click must reach.
  SetWindowPos(chooser, nullptr, 900, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  ASSERT_TRUE(app.clickRow(kSequentialList, 1));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("乙"));
  E2E_EVENTUALLY_TRUE(!IsWindow(chooser) || !IsWindowVisible(chooser));
  ASSERT_TRUE(app.click(kSaveItem));
  const auto sections = parseIni(folder.readText("time.ini"));
  ASSERT_EQ(sectionNames(sections), (std::vector<std::string>{"甲", "乙", "密码"}))
      << folder.readText("time.ini");
  EXPECT_EQ(sections[0].value("禁止名"), "a.exe,");
  EXPECT_EQ(sections[1].value("禁止名"), "b.exe,");
}

}  // namespace
}  // namespace temvik::e2e

// One running copy per program folder: a second start from the same folder
// brings the running copy's window to the front and ends before it touches
// a plan file; copies in other folders run side by side.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "run/run_window.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using Rows = std::vector<std::string>;

// Every file of the folder by name, with its bytes (the exe only by size).
std::map<std::string, std::string> folderContents(const PlanFolder& folder) {
  std::map<std::string, std::string> files;
  WIN32_FIND_DATAW found{};
  const HANDLE h = FindFirstFileW((folder.dir() + L"\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return files;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string name = narrow(found.cFileName);
    files[name] = name == "temvik.exe" ? std::to_string(found.nFileSizeLow)
                                       : folder.readBytes(name).value_or("<unreadable>");
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return files;
}

// The folder's exe as another spelling of its path names it: upper case,
// and through "." (the current folder of the start is elsewhere).
std::wstring otherSpelling(const PlanFolder& folder) {
  std::wstring path = folder.dir() + L"\\.\\temvik.exe";
  CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  return path;
}

// A second start from the folder: it must end by itself, with exit code 0.
void startAgain(const PlanFolder& folder, const std::wstring& exe, const std::wstring& dir) {
  const auto started = std::chrono::steady_clock::now();
  const auto code = runToExit(exe, dir);
  const auto ms = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - started);
  ASSERT_TRUE(code.has_value()) << "the second copy of " << narrow(folder.dir())
                                << " did not end by itself";
  EXPECT_EQ(*code, 0u);
  std::fprintf(stderr, "note: the second copy ended after %lld ms\n",
               static_cast<long long>(ms.count()));
}

TEST(SingleCopy, ASecondStartInTheFolderBringsTheFirstForwardAndTouchesNoFile) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", itemSection("背单词", "0", "20", "0")));
  ASSERT_TRUE(folder.writeIni("win.ini", markSections({"背单词"})));
  E2E_START(first, folder);
  // A copy in another folder runs beside it and, started later, is in front.
  PlanFolder elsewhere;
  ASSERT_TRUE(elsewhere.writeIni("time.ini", itemSection("练钢琴", "0", "30", "0")));
  E2E_START(other, elsewhere);
  E2E_EVENTUALLY_EQ(GetForegroundWindow(), other.hwnd());
  PostMessageW(first.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  E2E_EVENTUALLY_TRUE(IsIconic(first.hwnd()));
  // A rewrite cut short, which a start that got as far as its recovery
  // would finish by putting the scratch files in place.
  ASSERT_TRUE(folder.writeIni("time1.ini", itemSection("做练习", "0", "5", "0")));
  ASSERT_TRUE(folder.writeIni("win1.ini", ""));
  const auto before = folderContents(folder);

  ASSERT_NO_FATAL_FAILURE(startAgain(folder, otherSpelling(folder), elsewhere.dir()));
  E2E_EVENTUALLY_EQ(GetForegroundWindow(), first.hwnd());
  EXPECT_FALSE(IsIconic(first.hwnd())) << "restored";
  EXPECT_EQ(folderContents(folder), before);
  EXPECT_EQ(first.rows(kSequentialList), Rows{"已完成--背单词"});
  EXPECT_TRUE(other.running());
  EXPECT_TRUE(IsWindowVisible(other.hwnd()));
  EXPECT_EQ(other.rows(kSequentialList), Rows{"练钢琴"});

  // With a modal dialog open on the main window, the dialog comes forward.
  first.menu(kSetPassword);
  const HWND dialog = first.waitForWindow("设置密码");
  ASSERT_NE(dialog, nullptr);
  SetForegroundWindow(other.hwnd());
  E2E_EVENTUALLY_EQ(GetForegroundWindow(), other.hwnd());
  ASSERT_NO_FATAL_FAILURE(startAgain(folder, folder.exe(), folder.dir()));
  E2E_EVENTUALLY_EQ(GetForegroundWindow(), dialog);
  EXPECT_FALSE(IsWindowEnabled(first.hwnd()));
  EXPECT_EQ(folderContents(folder), before);
  EXPECT_TRUE(other.running());
}

TEST(SingleCopy, ASecondStartDuringARunBringsTheRunWindowOutOfTheTray) {
  using namespace run_ids;
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", itemSection("读书", "0", "5", "0", {"提示音=假"})));
  E2E_START(app, folder);
  app.clickAsync(kRunFromStart);
  const HWND run = app.waitForWindow("计划执行中");
  ASSERT_NE(run, nullptr);
  PostMessageW(run, WM_COMMAND, MAKEWPARAM(kToTrayLabel, STN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(run, kToTrayLabel)));
  E2E_EVENTUALLY_TRUE(!IsWindowVisible(run));

  ASSERT_NO_FATAL_FAILURE(startAgain(folder, folder.exe(), folder.dir()));
  E2E_EVENTUALLY_TRUE(IsWindowVisible(run));
  E2E_EVENTUALLY_EQ(GetForegroundWindow(), run);
  EXPECT_FALSE(IsWindowVisible(app.hwnd())) << "the main window stays hidden during the run";
  EXPECT_FALSE(folder.exists("win.ini"));
}

}  // namespace
}  // namespace temvik::e2e

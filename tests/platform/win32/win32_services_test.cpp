#include "platform/win32/win32_services.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <thread>

#include "../path_spellings.h"
#include "platform/win32/wide.h"

namespace temvik {
namespace {

// A fresh folder under the temp folder, removed after. Names are Chinese
// where the file system can hold them: wine cannot when the Unix locale it
// runs in does not exist (LC_ALL=zh_CN.UTF-8 without that glibc locale), and
// there non-ASCII bytes are spelt in hex instead.
class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring unique =
        std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount64());
    path_ = std::wstring(temp) + L"温度计测试" + unique;
    if (!CreateDirectoryW(path_.c_str(), nullptr)) {
      chinese_ = false;
      path_ = std::wstring(temp) + L"temvik_test_" + unique;
      CreateDirectoryW(path_.c_str(), nullptr);
      std::fprintf(stderr, "note: this file system cannot hold Chinese names; testing hex ones\n");
    }
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAW found{};
    HANDLE h = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
      while (FindNextFileW(h, &found));
      FindClose(h);
    }
    RemoveDirectoryW(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  [[nodiscard]] std::string file(std::string_view name) const {
    std::string spelt;
    for (const char c : name) {
      if (chinese_ || static_cast<unsigned char>(c) < 0x80) {
        spelt += c;
      } else {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(c));
        spelt += hex;
      }
    }
    return toUtf8(path_) + "\\" + spelt;
  }

 private:
  std::wstring path_;
  bool chinese_ = true;
};

// ------------------------------------------------------------ files

TEST(Win32Files, ProgramDirectoryHoldsTheRunningProgram) {
  Win32Files files;
  const std::string dir = files.programDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), '\\');
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::string selfPath = toUtf8(self);
  EXPECT_EQ(selfPath.substr(0, dir.size() + 1), dir + "\\");
  EXPECT_TRUE(files.exists(selfPath));
  EXPECT_TRUE(files.exists(dir));
}

TEST(Win32Files, WriteAtomicCreatesAndReplacesWithExactBytes) {
  ScratchFolder folder;
  Win32Files files;
  const std::string path = folder.file("计划.ini");
  const std::string gbk("[\xBC\xC6\xBB\xAE]\r\nkey=\x00\xFF\r\n", 14);  // raw bytes, NUL inside
  ASSERT_TRUE(files.writeAtomic(path, gbk));
  EXPECT_EQ(files.read(path), gbk);
  ASSERT_TRUE(files.writeAtomic(path, "新内容"));
  EXPECT_EQ(files.read(path), "新内容");
  ASSERT_TRUE(files.writeAtomic(path, ""));
  EXPECT_EQ(files.read(path), "");
  EXPECT_FALSE(files.exists(path + ".tmp"));  // no scratch copy left behind
}

TEST(Win32Files, AppendMakesTheFileAndAddsAtItsEnd) {
  ScratchFolder folder;
  Win32Files files;
  const std::string path = folder.file("执行记录.csv");
  ASSERT_TRUE(files.append(path, std::string("a\0\r\n", 4)));
  ASSERT_TRUE(files.append(path, "第二"));
  EXPECT_EQ(files.read(path), std::string("a\0\r\n第二", 10));
  EXPECT_FALSE(files.append(folder.file("没有\\x.csv"), "x"));
}

TEST(Win32Files, AFileReadForAMomentElsewhereIsStillReplaced) {
  ScratchFolder folder;
  Win32Files files;
  const std::string path = folder.file("计划.ini");
  ASSERT_TRUE(files.writeAtomic(path, "旧"));
  // Another program reads the file and lets it go a little later.
  HANDLE reader = CreateFileW(toUtf16(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  std::thread release([reader] {
    Sleep(150);
    CloseHandle(reader);
  });
  const bool written = files.writeAtomic(path, "新");
  release.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(files.read(path), "新");
  EXPECT_FALSE(files.exists(path + ".tmp"));
}

TEST(Win32Files, FailuresReportFalseOrNothing) {
  ScratchFolder folder;
  Win32Files files;
  EXPECT_EQ(files.read(folder.file("没有.ini")), std::nullopt);
  EXPECT_FALSE(files.writeAtomic(folder.file("没有\\x.ini"), "x"));
  EXPECT_FALSE(files.copy(folder.file("没有.ini"), folder.file("b.ini")));
  EXPECT_FALSE(files.remove(folder.file("没有.ini")));
  EXPECT_FALSE(files.replace(folder.file("没有.ini"), folder.file("b.ini")));
  EXPECT_FALSE(files.exists(folder.file("b.ini")));
}

// A refusal is told by the system's code and its words, kept per thread; a
// read of a missing file is no failure.
TEST(Win32Files, ARefusedFileGivesTheSystemsCodeAndWords) {
  ScratchFolder folder;
  Win32Files files;
  const std::string path = folder.file("计划.ini");
  ASSERT_TRUE(files.writeAtomic(path, "旧"));
  const auto expectRefused = [&](std::initializer_list<unsigned long> codes, const char* what) {
    const FileFailure failure = files.lastFailure();
    EXPECT_NE(std::find(codes.begin(), codes.end(), failure.code), codes.end())
        << what << ": " << failure.code;
    EXPECT_FALSE(failure.text.empty()) << what;
    EXPECT_EQ(failure.text.find_first_of("\r\n"), std::string::npos) << what;
    std::fprintf(stderr, "note: %s: %lu %s\n", what, failure.code, failure.text.c_str());
  };
  {
    // Another program holds the file open and shares nothing.
    HANDLE lock = CreateFileW(toUtf16(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(files.read(path), std::nullopt);
    expectRefused({ERROR_SHARING_VIOLATION}, "read of a locked file");
    EXPECT_FALSE(files.writeAtomic(path, "新"));
    expectRefused({ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}, "write over a locked file");
    CloseHandle(lock);
  }
  ASSERT_TRUE(SetFileAttributesW(toUtf16(path).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(files.remove(path));
  expectRefused({ERROR_ACCESS_DENIED}, "removal of a read-only file");
  unsigned long elsewhere = 1;
  std::thread([&] { elsewhere = files.lastFailure().code; }).join();
  EXPECT_EQ(elsewhere, 0u) << "another thread's calls did not fail";
  SetFileAttributesW(toUtf16(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(files.read(path), "旧");
  EXPECT_FALSE(files.exists(path + ".tmp"));
  EXPECT_EQ(files.read(folder.file("没有.ini")), std::nullopt);
  EXPECT_EQ(files.lastFailure().code, 0u) << "a missing file is no failure";
  EXPECT_EQ(files.lastFailure().text, "");
}

TEST(Win32Files, CopyReplaceAndRemoveWorkOnChineseNames) {
  ScratchFolder folder;
  Win32Files files;
  const std::string time = folder.file("time.ini"), scratch = folder.file("time1.ini"),
                    exported = folder.file("导出.ini");
  ASSERT_TRUE(files.writeAtomic(time, "旧"));
  ASSERT_TRUE(files.writeAtomic(scratch, "新"));
  ASSERT_TRUE(files.copy(time, exported));
  EXPECT_EQ(files.read(exported), "旧");
  ASSERT_TRUE(files.copy(scratch, exported));  // copying over an existing file
  EXPECT_EQ(files.read(exported), "新");
  // The scratch copy takes the file's name in one step.
  ASSERT_TRUE(files.replace(scratch, time));
  EXPECT_EQ(files.read(time), "新");
  EXPECT_FALSE(files.exists(scratch));
  ASSERT_TRUE(files.remove(exported));
  EXPECT_FALSE(files.exists(exported));
}

// The names Windows resolves and the text does not show: a folder's short
// (8.3) name, ".." through real folders, letter case, a missing file in a
// folder spelt short, the program's own file.
TEST(Win32Files, SameFileSeesShortNamesDotsAndCase) {
  ScratchFolder folder;
  Win32Files files;
  const std::string dir = folder.file("Temvik Long Folder");
  const std::wstring wideDir = toUtf16(dir);
  ASSERT_TRUE(CreateDirectoryW(wideDir.c_str(), nullptr));
  const std::string time = dir + "\\time.ini";
  ASSERT_TRUE(files.writeAtomic(time, "x"));
  ASSERT_TRUE(files.writeAtomic(dir + "\\out.ini", "y"));

  wchar_t shortName[MAX_PATH] = {};
  const DWORD n = GetShortPathNameW(wideDir.c_str(), shortName, MAX_PATH);
  const std::string shortDir = toUtf8(std::wstring(shortName, n));
  std::fprintf(stderr, "note: the folder's short name is %s\n", shortDir.c_str());
  if (n > 0 && shortDir != dir) {
    EXPECT_TRUE(files.sameFile(shortDir + "\\time.ini", time));
    EXPECT_TRUE(files.sameFile(shortDir + "\\Time1.INI", dir + "\\time1.ini"))
        << "a file that is not there yet";
    EXPECT_FALSE(files.sameFile(shortDir + "\\out.ini", time));
  }
  const std::string leaf = dir.substr(dir.find_last_of('\\') + 1);
  EXPECT_TRUE(files.sameFile(dir + "\\..\\" + leaf + "\\.\\TIME.ini", time));

  // Spellings the text decides, as the portable rule has them.
  std::mt19937 rng(20260402);
  for (int round = 0; round < 60; ++round) {
    const std::string name = round % 2 ? "time.ini" : "time1.ini";
    const std::string spelled = testing::spellingOf(rng, dir, name);
    EXPECT_TRUE(files.sameFile(spelled, dir + "\\" + name)) << spelled;
    EXPECT_FALSE(files.sameFile(spelled, dir + "\\out.ini")) << spelled;
  }

  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  EXPECT_TRUE(files.exists(files.programPath()));
  EXPECT_TRUE(files.sameFile(files.programPath(), toUtf8(CharUpperW(self))));
  for (const char* file : {"time.ini", "out.ini"}) DeleteFileW(toUtf16(dir + "\\" + file).c_str());
  RemoveDirectoryW(wideDir.c_str());
}

// ------------------------------------------------------------ clock

TEST(Win32Clock, NowIsLocalTimeAndTheMonotonicClockAdvances) {
  Win32Clock clock;
  SYSTEMTIME t{};
  GetLocalTime(&t);
  const DateTime now = clock.now();
  EXPECT_EQ(now.year, t.wYear);
  EXPECT_EQ(now.month, t.wMonth);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.second, 59);
  const auto first = clock.monotonicMs();
  Sleep(40);
  const auto second = clock.monotonicMs();
  EXPECT_GE(second - first, 25u);
  EXPECT_LT(second - first, 2000u);
}

// ------------------------------------------------------------ prompts

// Waits on another thread for a dialog of the test's thread and answers it.
// Should the answer not close it, every dialog of the test's thread is
// cancelled: a failing test must not hang.
class DialogAnswerer {
 public:
  template <typename Act>
  DialogAnswerer(std::wstring title, Act act)
      : owner_(GetCurrentThreadId()), thread_([this, title = std::move(title), act] {
          for (int i = 0; i < 500 && !found_; ++i) {
            HWND box = FindWindowW(L"#32770", title.c_str());
            if (box && GetWindowThreadProcessId(box, nullptr) == owner_) {
              Sleep(50);
              act(box);
              found_ = true;
            } else {
              Sleep(10);
            }
          }
          for (int i = 0; i < 300 && !done_; ++i) Sleep(10);
          while (!done_) {
            EnumThreadWindows(owner_, &cancel, 0);
            Sleep(200);
          }
        }) {}
  ~DialogAnswerer() { finish(); }
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;
  // Call once the prompt returned.
  void finish() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
  }
  [[nodiscard]] bool found() const { return found_; }

 private:
  static BOOL CALLBACK cancel(HWND h, LPARAM) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (std::wstring(cls) == L"#32770") PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
  }

  DWORD owner_;
  std::atomic<bool> found_{false};
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// What a click on the dialog's button sends.
void press(HWND dialog, int button) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

std::wstring textOf(HWND h) {
  wchar_t buffer[512] = {};
  GetWindowTextW(h, buffer, 512);
  return buffer;
}

TEST(Win32Prompts, MessageBoxShowsTheExactTextAndTitleAndReturnsTheAnswer) {
  Win32Prompts prompts;
  std::wstring shown;
  MessageAnswer answer{};
  {
    DialogAnswerer no(L"提示", [&](HWND box) {
      shown = textOf(GetDlgItem(box, 0xFFFF));
      press(box, IDNO);
    });
    answer = prompts.message(nullptr, "确定要删除这个计划吗？", "提示", MessageIcon::Question,
                             MessageButtons::YesNo);
  }
  EXPECT_EQ(shown, L"确定要删除这个计划吗？");
  EXPECT_EQ(answer, MessageAnswer::No);
  // Without a title the box carries the program's name.
  DialogAnswerer ok(L"Temvik", [](HWND box) { press(box, IDOK); });
  answer = prompts.message(nullptr, "时间到", "", MessageIcon::Information, MessageButtons::Ok);
  EXPECT_EQ(answer, MessageAnswer::Ok);
}

TEST(Win32Prompts, SaveDialogReturnsTheChosenPathWithTheFilterExtension) {
  ScratchFolder folder;
  Win32Prompts prompts;
  const std::string typed = folder.file("导出计划");
  std::optional<std::string> chosen;
  {
    DialogAnswerer save(L"另存为", [&](HWND box) {
      SendMessageW(GetDlgItem(box, 0x47c), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(toUtf16(typed).c_str()));
      press(box, IDOK);
    });
    chosen = prompts.saveFile(nullptr, "ini文件(*.ini)|*.ini", "*.ini");
    EXPECT_TRUE(save.found());
  }
  EXPECT_EQ(chosen, typed + ".ini");
}

TEST(Win32Prompts, OpenDialogReturnsThePresetFileOrNothingOnCancel) {
  ScratchFolder folder;
  Win32Files files;
  Win32Prompts prompts;
  const std::string plan = folder.file("同步.ing");
  ASSERT_TRUE(files.writeAtomic(plan, "x"));
  std::optional<std::string> chosen;
  {
    DialogAnswerer open(L"打开", [](HWND box) { press(box, IDOK); });
    chosen = prompts.openFile(nullptr, "ing文件(*.ing)|*.ing", plan);
  }
  EXPECT_EQ(chosen, plan);
  {
    DialogAnswerer cancel(L"打开", [](HWND box) { press(box, IDCANCEL); });
    chosen = prompts.openFile(nullptr, "ing文件(*.ing)|*.ing", plan);
  }
  EXPECT_EQ(chosen, std::nullopt);
}

}  // namespace
}  // namespace temvik

#include "platform/win32/win32_system.h"

#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/win32/native.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"
#include "pump.h"

namespace temvik {
namespace {

using testing::pumpUntil;

constexpr char kChildExe[] = "temvik_test_child.exe";

std::wstring testFolder() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L'\\'));
}

// The helper program built beside the tests (test_child.cpp).
std::string childPath() { return toUtf8(testFolder() + L"\\temvik_test_child.exe"); }

// A command-line argument in double quotes. (Built by appending: gcc 12 warns
// wrongly about "literal" + std::string.)
std::string inQuotes(std::string_view text) {
  std::string out = "\"";
  out += text;
  out += '"';
  return out;
}

// A file in the temp folder, gone again after the test.
class TempFile {
 public:
  explicit TempFile(std::wstring_view name) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + std::to_wstring(GetCurrentProcessId()) + L"_" + std::wstring(name);
    DeleteFileW(path_.c_str());
  }
  ~TempFile() { DeleteFileW(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  [[nodiscard]] const std::wstring& path() const { return path_; }
  [[nodiscard]] std::string utf8() const { return toUtf8(path_); }
  void write(const std::string& bytes) const {
    const HANDLE f = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
  }
  [[nodiscard]] std::string read() const { return readFile(path_); }

  static std::string readFile(const std::wstring& path) {
    const HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string bytes(static_cast<size_t>(GetFileSize(f, nullptr)), '\0');
    DWORD got = 0;
    ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(f);
    bytes.resize(got);
    return bytes;
  }

 private:
  std::wstring path_;
};

std::vector<std::uint32_t> idsOf(const Processes& processes, std::string_view exeName) {
  std::vector<std::uint32_t> ids;
  for (const auto& p : processes.list())
    if (p.exeName == exeName) ids.push_back(p.id);
  return ids;
}

// Ends every helper child still running, whatever the test did; a child that
// outlived its test would be taken for the next test's.
class ChildReaper {
 public:
  ChildReaper() { endAll(); }
  ~ChildReaper() { endAll(); }
  ChildReaper(const ChildReaper&) = delete;
  ChildReaper& operator=(const ChildReaper&) = delete;
  // How many there were.
  int endAll() {
    Win32Processes processes;
    const auto ids = idsOf(processes, kChildExe);
    for (std::uint32_t id : ids) processes.terminate(id);
    pumpUntil([&] { return idsOf(processes, kChildExe).empty(); }, 3000);
    return static_cast<int>(ids.size());
  }
};

// ------------------------------------------------------------ processes

TEST(Win32Processes, ListsAChildByItsExeNameAndTerminatesIt) {
  ChildReaper reaper;
  Win32Processes processes;
  EXPECT_EQ(processes.currentId(), GetCurrentProcessId());

  std::wstring line = L"\"" + toUtf16(childPath()) + L"\" 60";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &child));
  CloseHandle(child.hThread);
  const auto nameOf = [&](std::uint32_t id) {
    for (const auto& p : processes.list())
      if (p.id == id) return p.exeName;
    return std::string();
  };
  EXPECT_TRUE(pumpUntil([&] { return !nameOf(child.dwProcessId).empty(); }, 3000));
  EXPECT_EQ(nameOf(child.dwProcessId), kChildExe);
  EXPECT_EQ(nameOf(GetCurrentProcessId()), "temvik_win32_tests.exe");

  EXPECT_TRUE(processes.terminate(child.dwProcessId));
  EXPECT_EQ(WaitForSingleObject(child.hProcess, 3000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  EXPECT_EQ(code, 1u);
  CloseHandle(child.hProcess);
  EXPECT_TRUE(pumpUntil([&] { return nameOf(child.dwProcessId).empty(); }, 3000));
}

// ------------------------------------------------------------ shell

TEST(Win32Shell, RunStartsACommandLineWithoutWaitingAndKeepsItsArguments) {
  ChildReaper reaper;
  TempFile out(L"shell_run.txt");
  Win32Shell shell;
  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(shell.run(inQuotes(childPath()) + " 60 " + inQuotes(out.utf8()) + " " +
                        inQuotes("计划 完成")));
  EXPECT_LT(GetTickCount64() - start, 3000u);  // the child sleeps a minute
  EXPECT_TRUE(pumpUntil([&] { return out.read() == "计划 完成"; }, 5000)) << out.read();
  EXPECT_EQ(reaper.endAll(), 1);

  EXPECT_FALSE(shell.run(inQuotes(toUtf8(testFolder()) + "\\没有这个程序.exe")));
  EXPECT_FALSE(shell.run(""));
}

TEST(Win32Shell, OpenStartsAProgramAndRefusesAMissingFile) {
  ChildReaper reaper;
  Win32Shell shell;
  Win32Processes processes;
  ASSERT_TRUE(shell.open(childPath()));
  EXPECT_TRUE(pumpUntil([&] { return !idsOf(processes, kChildExe).empty(); }, 5000));
  EXPECT_EQ(reaper.endAll(), 1);
  EXPECT_FALSE(shell.open(toUtf8(testFolder()) + "\\没有这个文件.exe"));
}

// ------------------------------------------------------------ power

// Whether the process's token has the shutdown privilege enabled.
bool shutdownPrivilegeEnabled() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  LUID shutdown{};
  bool enabled = false;
  if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size) &&
      LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &shutdown)) {
    const auto* list = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < list->PrivilegeCount; ++i) {
      const auto& p = list->Privileges[i];
      if (p.Luid.LowPart == shutdown.LowPart && p.Luid.HighPart == shutdown.HighPart)
        enabled = p.Attributes & SE_PRIVILEGE_ENABLED;
    }
  }
  CloseHandle(token);
  return enabled;
}

// Only the step before ExitWindowsEx: under wine that call, forced, ends every
// process of the wineserver, this test's driver included.
TEST(Win32Power, ShutdownPrivilegeGetsEnabled) {
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token));
  TOKEN_PRIVILEGES off{};
  off.PrivilegeCount = 1;
  ASSERT_TRUE(LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &off.Privileges[0].Luid));
  ASSERT_TRUE(AdjustTokenPrivileges(token, FALSE, &off, 0, nullptr, nullptr));
  CloseHandle(token);
  ASSERT_FALSE(shutdownPrivilegeEnabled());

  EXPECT_TRUE(enableShutdownPrivilege());
  EXPECT_TRUE(shutdownPrivilegeEnabled());
}

// The hold is the thread's execution state: setting it again hands back
// what was held.
TEST(Win32Power, HoldAwakeSetsAndClearsTheThreadsExecutionState) {
  Win32Power power;
  power.holdAwake(true);
  EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED),
            static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
  power.holdAwake(false);
  EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
}

std::int64_t fileTimeTicks(const FILETIME& t) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
}

// The wake is due a lead before the local start, in UTC; a start closer
// than the lead fires at once, and none cancels it.
TEST(Win32Power, TheWakeTimerArmsBeforeTheStartAndCancels) {
  constexpr std::int64_t kTicksPerSecond = 10'000'000;
  Win32Power power;
  const DateTime inTwoHours = addSeconds(Win32Clock().now(), 2 * 3600);
  FILETIME nowUtc{};
  GetSystemTimeAsFileTime(&nowUtc);
  power.wakeFor(inTwoHours);
  ASSERT_NE(power.wakeTimer(), nullptr);
  ASSERT_TRUE(power.wakeDue().has_value());
  const std::int64_t ahead = fileTimeTicks(*power.wakeDue()) - fileTimeTicks(nowUtc);
  EXPECT_NEAR(static_cast<double>(ahead) / kTicksPerSecond, 2 * 3600 - Win32Power::kWakeLeadSeconds,
              2.0);
  EXPECT_EQ(WaitForSingleObject(power.wakeTimer(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

  power.wakeFor(addSeconds(Win32Clock().now(), Win32Power::kWakeLeadSeconds - 30));
  EXPECT_EQ(WaitForSingleObject(power.wakeTimer(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));

  power.wakeFor(inTwoHours);
  EXPECT_EQ(WaitForSingleObject(power.wakeTimer(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  power.wakeFor(std::nullopt);
  EXPECT_FALSE(power.wakeDue().has_value());
}

// ------------------------------------------------------------ log-on entry

std::optional<std::wstring> runValue(const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD bytes = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, Win32AutoStart::kRunKey, name, RRF_RT_REG_SZ, nullptr, value,
                   &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(value);
}

TEST(Win32AutoStart, WritesTheCommandUnderTheUsersRunKeyAndRemovesIt) {
  constexpr wchar_t kName[] = L"TemvikWin32Test";
  Win32AutoStart entry(kName);
  ASSERT_TRUE(entry.remove());
  EXPECT_EQ(entry.command(), std::nullopt);
  const std::string command = inQuotes("C:\\计划 工具\\temvik.exe");
  ASSERT_TRUE(entry.setCommand(command));
  EXPECT_EQ(runValue(kName), toUtf16(command));
  EXPECT_EQ(entry.command(), command);
  // An entry of the expandable kind, as other tools write them, reads
  // expanded.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Win32AutoStart::kRunKey, 0, KEY_SET_VALUE, &key),
            ERROR_SUCCESS);
  const std::wstring expandable = L"\"%SystemRoot%\\t.exe\"";
  RegSetValueExW(key, kName, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expandable.c_str()),
                 static_cast<DWORD>((expandable.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  wchar_t root[MAX_PATH] = {};
  GetEnvironmentVariableW(L"SystemRoot", root, MAX_PATH);
  EXPECT_EQ(entry.command(), inQuotes(toUtf8(root) + "\\t.exe"));
  EXPECT_TRUE(entry.remove());
  EXPECT_EQ(runValue(kName), std::nullopt);
  EXPECT_EQ(entry.command(), std::nullopt);
  EXPECT_TRUE(entry.remove()) << "none left is no failure";
}

// ------------------------------------------------------------ sound

std::string resourceBytes(int id) {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_RCDATA);
  if (!found) return {};
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  return std::string(bytes, SizeofResource(nullptr, found));
}

// A silent 8 kHz, 8-bit mono WAV file of `ms` milliseconds.
std::string silentWav(int ms) {
  const auto le = [](std::uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
  };
  const std::uint32_t samples = 8 * static_cast<std::uint32_t>(ms);
  return "RIFF" + le(36 + samples, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) +
         le(8000, 4) + le(1, 2) + le(8, 2) + "data" + le(samples, 4) + std::string(samples, '\x80');
}

// Whether MCI has a device open under this alias.
bool deviceOpen(const std::wstring& alias) {
  wchar_t mode[64] = {};
  return mciSendStringW((L"status " + alias + L" mode").c_str(), mode, 64, nullptr) == 0;
}

TEST(Win32Sound, MusicLoopPlaysTheBuiltInTuneUntilStopped) {
  std::wstring file;
  {
    Win32Sound sound;
    EXPECT_FALSE(sound.musicPlaying());
    const ULONGLONG start = GetTickCount64();
    sound.playMusicLoop();
    EXPECT_LT(GetTickCount64() - start, 2000u);  // nothing waits for a sound device
    EXPECT_TRUE(sound.musicPlaying());
    EXPECT_TRUE(deviceOpen(sound.musicAlias()));
    file = sound.musicFile();
    const std::string tune = resourceBytes(kEndTuneId);
    ASSERT_EQ(tune.substr(0, 4), "MThd");
    EXPECT_EQ(TempFile::readFile(file), tune);

    sound.stopMusic();
    EXPECT_FALSE(sound.musicPlaying());
    EXPECT_FALSE(deviceOpen(sound.musicAlias()));
    sound.stopMusic();  // twice does no harm

    sound.playMusicLoop();  // again, from the file written the first time
    EXPECT_TRUE(sound.musicPlaying());
    EXPECT_EQ(sound.musicFile(), file);
  }
  EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);  // cleaned up
}

TEST(Win32Sound, OnlyAPassThatEndedWellStartsTheNext) {
  Win32Sound sound;
  sound.playMusicLoop();
  ASSERT_TRUE(sound.musicPlaying());
  const auto device = static_cast<LPARAM>(mciGetDeviceIDW(sound.musicAlias().c_str()));
  ASSERT_NE(device, 0);
  const auto note = [&](WPARAM how, LPARAM from) {
    SendMessageW(sound.notifyWindow(), MM_MCINOTIFY, how, from);
  };
  EXPECT_EQ(sound.musicPasses(), 1);
  note(MCI_NOTIFY_SUCCESSFUL, device);  // the end of a pass, as MCI tells it
  EXPECT_EQ(sound.musicPasses(), 2);
  EXPECT_TRUE(sound.musicPlaying());

  // Notes about another device or about replaced commands change nothing.
  note(MCI_NOTIFY_SUCCESSFUL, device + 100);
  note(MCI_NOTIFY_SUPERSEDED, device);
  note(MCI_NOTIFY_ABORTED, device);
  EXPECT_EQ(sound.musicPasses(), 2);
  EXPECT_TRUE(sound.musicPlaying());

  note(MCI_NOTIFY_FAILURE, device);
  EXPECT_FALSE(sound.musicPlaying());
  EXPECT_FALSE(deviceOpen(sound.musicAlias()));
  note(MCI_NOTIFY_SUCCESSFUL, device);  // late: the loop is over
  EXPECT_EQ(sound.musicPasses(), 2);
  EXPECT_FALSE(sound.musicPlaying());
}

TEST(Win32Sound, LoopOfAFileNoDeviceCanPlayEndsInsteadOfSpinning) {
  TempFile wav(L"loop.wav");
  wav.write(silentWav(50));
  Win32Sound sound(wav.path());
  sound.playMusicLoop();
  if (waveOutGetNumDevs() == 0) {
    // wine here: the pass fails at once, and a restart would fail again, forever.
    EXPECT_TRUE(pumpUntil([&] { return !sound.musicPlaying(); }, 5000));
    EXPECT_LE(sound.musicPasses(), 1);
  } else {
    // The short file ends well and plays again.
    EXPECT_TRUE(pumpUntil([&] { return sound.musicPasses() >= 3; }, 5000));
    EXPECT_TRUE(sound.musicPlaying());
  }
  sound.stopMusic();
  EXPECT_FALSE(deviceOpen(sound.musicAlias()));
}

TEST(Win32Sound, PlayersUseDevicesOfTheirOwnAndCloseThemWhenStopped) {
  TempFile wav(L"note.wav");
  wav.write(silentWav(200));
  TempFile mid(L"note.mid");
  mid.write(resourceBytes(kEndTuneId));
  Win32Sound sound;
  auto first = sound.createPlayer();
  auto second = sound.createPlayer();
  const std::wstring firstAlias = dynamic_cast<Win32MediaPlayer&>(*first).alias();
  const std::wstring secondAlias = dynamic_cast<Win32MediaPlayer&>(*second).alias();
  EXPECT_NE(firstAlias, secondAlias);

  const ULONGLONG start = GetTickCount64();
  EXPECT_TRUE(first->play(wav.utf8()));
  EXPECT_TRUE(second->play(mid.utf8()));
  EXPECT_TRUE(first->play(wav.utf8()));  // again, from the start
  EXPECT_LT(GetTickCount64() - start, 2000u);
  EXPECT_TRUE(deviceOpen(firstAlias));
  EXPECT_TRUE(deviceOpen(secondAlias));

  first->stop();
  EXPECT_FALSE(deviceOpen(firstAlias));
  EXPECT_TRUE(deviceOpen(secondAlias));
  second.reset();
  EXPECT_FALSE(deviceOpen(secondAlias));

  EXPECT_FALSE(first->play(toUtf8(testFolder()) + "\\没有这个声音.wav"));
  EXPECT_FALSE(deviceOpen(firstAlias));
  EXPECT_FALSE(first->play(""));
}

}  // namespace
}  // namespace temvik

// What the forbidden-process watch of the real program costs, under wine or
// Windows: the program's CPU share while an item with five forbidden names
// runs (beside the same item without them), and how long a forbidden
// program lives from its start to its end, over many starts.
//
//   forbid_watch.exe [starts] [seconds]      (default 50 starts, 10 s)

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "driver.h"
#include "ui/main/main_window_ids.h"

using namespace temvik;
using namespace temvik::e2e;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string plan(bool forbid) {
  std::string item = "[专心]\n内容=专心\n时=0\n分=30\n秒=0\n提示音=假\n";
  if (forbid) item += "禁止进程=真\n禁止名=forbidden_game,notepad,mspaint,calc,winmine,\n";
  return item;
}

std::uint64_t cpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  auto ms = [](FILETIME t) {
    return ((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
  };
  return ms(kernel) + ms(user);
}

bool underWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"); }

std::string readAll(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string text(4096, '\0');
  DWORD got = 0;
  ReadFile(f, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
  CloseHandle(f);
  text.resize(got);
  return text;
}

// Under wine another process's times are not kept, but its Linux process's
// are: the CPU milliseconds of every Linux process whose command line holds
// `needle` (utime + stime of /proc/<pid>/stat, in clock ticks of 10 ms).
std::uint64_t linuxCpuMs(const std::string& needle) {
  std::uint64_t total = 0;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring pid = found.cFileName;
    if (pid.empty() || pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    std::string cmdline = readAll(L"Z:\\proc\\" + pid + L"\\cmdline");
    std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
    if (cmdline.find(needle) == std::string::npos) continue;
    const std::string stat = readAll(L"Z:\\proc\\" + pid + L"\\stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    // Fields after the command: state is field 3, utime 14, stime 15.
    std::vector<std::string> fields;
    std::size_t at = close + 2;
    while (at < stat.size()) {
      const std::size_t next = stat.find(' ', at);
      fields.push_back(stat.substr(at, next - at));
      if (next == std::string::npos) break;
      at = next + 1;
    }
    if (fields.size() > 12)
      total += (std::strtoull(fields[11].c_str(), nullptr, 10) +
                std::strtoull(fields[12].c_str(), nullptr, 10)) *
               10;
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return total;
}

struct CpuShare {
  double program = 0;
  double server = 0;  // wine's server, which answers the program's process snapshots
};

// The program's CPU share while its item runs for `seconds`, in percent of
// one core; nothing when it cannot be read.
std::optional<CpuShare> runningCpuShare(bool forbid, int seconds) {
  PlanFolder folder;
  if (!folder.ok() || !folder.writeIni("time.ini", plan(forbid))) return std::nullopt;
  App app(folder);
  if (!app.ready()) return std::nullopt;
  app.clickAsync(main_ids::kRunFromStart);
  if (!app.waitForWindow("计划执行中")) return std::nullopt;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, app.pid());
  if (!process) return std::nullopt;
  const bool wine = underWine();
  // The plan folder's name is unique, and so is the program's command line.
  const std::string dir = narrow(folder.dir());
  const std::string folderName = dir.substr(dir.find_last_of('\\') + 1);
  auto programMs = [&] { return wine ? linuxCpuMs(folderName) : cpuMs(process); };
  auto serverMs = [&] { return wine ? linuxCpuMs("wineserver") : 0; };
  const std::uint64_t programBefore = programMs();
  const std::uint64_t serverBefore = serverMs();
  const auto started = Clock::now();
  Sleep(static_cast<DWORD>(seconds) * 1000);  // a measuring window, not a wait for a state
  const double wall = msSince(started);
  CpuShare share;
  share.program = 100.0 * static_cast<double>(programMs() - programBefore) / wall;
  share.server = 100.0 * static_cast<double>(serverMs() - serverBefore) / wall;
  CloseHandle(process);
  app.kill();
  return share;
}

}  // namespace

int main(int argc, char** argv) {
  const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;

  const auto idle = runningCpuShare(false, seconds);
  const auto watching = runningCpuShare(true, seconds);
  if (!idle || !watching) {
    std::fprintf(stderr, "cannot measure the program's CPU time\n");
    return 1;
  }
  std::printf(
      "CPU share of one core over %d s (program + wine server):\n"
      "  item without forbidden names  %.2f %% + %.2f %%\n"
      "  item with 5 forbidden names   %.2f %% + %.2f %%\n",
      seconds, idle->program, idle->server, watching->program, watching->server);

  PlanFolder folder;
  if (!folder.ok() || !folder.writeIni("time.ini", plan(true))) return 1;
  IdleHelper helper(folder, "forbidden_game.exe");
  App app(folder);
  if (!helper.ok() || !app.ready()) {
    std::fprintf(stderr, "the program or the helper did not start\n");
    return 1;
  }
  app.clickAsync(main_ids::kRunFromStart);
  if (!app.waitForWindow("计划执行中")) return 1;
  std::vector<double> lives;
  int failed = 0;
  for (int i = 0; i < starts; ++i) {
    const auto started = Clock::now();
    if (!helper.start()) {
      ++failed;  // wine now and then fails a process start
      continue;
    }
    if (!helper.endsWithin(10s)) {
      std::fprintf(stderr, "start %d of the forbidden program was not ended\n", i);
      return 1;
    }
    lives.push_back(msSince(started));
  }
  app.kill();
  if (lives.empty()) return 1;
  std::sort(lives.begin(), lives.end());
  std::printf(
      "forbidden program, start to end over %zu starts (%d failed to start): median %.0f ms,"
      " worst %.0f ms, best %.0f ms\n",
      lives.size(), failed, lives[lives.size() / 2], lives.back(), lives.front());
  return 0;
}

#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "store/gbk.h"
#include "ui/main/main_window.h"
#include "ui/main/main_window_ids.h"

namespace temvik::testing {

// A main window on the headless backend, with plan files prepared as the
// program would find them on disk (GBK, CR LF).
class MainWindowTest : public ::testing::Test {
 protected:
  // How many of the controls the edit lock disables are enabled in `w`.
  static int enabledLockedControls(const headless::HeadlessWindow& w) {
    using namespace main_ids;
    constexpr ControlId kLockedControls[] = {
        kContent,         kHours,         kMinutes,      kSeconds,         kExitWhenDone,
        kRunProgram,      kChooseProgram, kEndProcesses, kForbidProcesses, kChooseEndProcess,
        kChooseForbidden, kShutdown,      kRestart,      kLogOff,          kLock,
        kMedia,           kUseDefault,    kMediaPath,    kOpenMedia,       kPlayTime,
        kAddItem,         kDeleteItem};
    int n = 0;
    for (ControlId id : kLockedControls) n += w.isEnabled(id) ? 1 : 0;
    return n;
  }
  // Writes a file of the program directory from UTF-8 lines.
  void putFile(std::string_view part, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    env.files.put(env.files.path(part), utf8ToGbk(text));
  }
  [[nodiscard]] std::string fileText(std::string_view part) const {
    auto bytes = env.files.read(env.files.path(part));
    return bytes ? gbkToUtf8(*bytes) : std::string();
  }
  // An item section with a content and a duration.
  static std::vector<std::string> item(const std::string& content,
                                       const std::string& minutes = "1") {
    return {"[" + content + "]", "内容=" + content, "时=0", "分=" + minutes, "秒=0"};
  }
  static std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  }
  static std::vector<std::string> marks(std::initializer_list<std::string> contents) {
    std::vector<std::string> lines;
    for (const auto& c : contents) {
      lines.push_back("[" + c + "]");
      lines.push_back("win=已完成--");
    }
    return lines;
  }

  headless::HeadlessWindow& start() {
    main = std::make_unique<MainWindow>(env.services);
    main->start();
    return static_cast<headless::HeadlessWindow&>(main->window());
  }

  headless::Headless env;
  std::unique_ptr<MainWindow> main;
};

}  // namespace temvik::testing

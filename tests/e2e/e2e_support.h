#pragma once

// GoogleTest helpers for the end-to-end tests: waiting assertions, plan
// file builders and a small INI reader for checking what the program wrote.

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "driver.h"

namespace temvik::e2e {

// Waits until `actual` equals `expected`, then asserts it (so a timeout
// prints both values).
#define E2E_EVENTUALLY_EQ(actual, expected)                                \
  do {                                                                     \
    const auto e2e_expected_ = (expected);                                 \
    ::temvik::e2e::waitFor([&] { return (actual) == e2e_expected_; });     \
    ASSERT_EQ((actual), e2e_expected_)                                     \
        << "(waited " << ::temvik::e2e::kTimeout.count() << " ms for it)"; \
  } while (0)

#define E2E_EVENTUALLY_TRUE(condition)                                                \
  do {                                                                                \
    ASSERT_TRUE(::temvik::e2e::waitFor([&] { return static_cast<bool>(condition); })) \
        << #condition << " (waited " << ::temvik::e2e::kTimeout.count() << " ms)";    \
  } while (0)

// Starts the program from `folder` into `app` and stops the test when it
// does not come up.
#define E2E_START(app, folder)                    \
  ASSERT_TRUE((folder).ok()) << (folder).error(); \
  ::temvik::e2e::App app(folder);                 \
  ASSERT_TRUE(app.ready()) << app.error()

// One INI section as the program wrote it: keys and values in file order.
struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;
  [[nodiscard]] std::vector<std::string> keys() const {
    std::vector<std::string> k;
    for (const auto& e : entries) k.push_back(e.first);
    return k;
  }
  [[nodiscard]] std::string value(const std::string& key) const {
    for (const auto& e : entries)
      if (e.first == key) return e.second;
    return "<absent>";
  }
};

// Parses decoded INI text (CR LF lines); blank lines are skipped.
inline std::vector<IniSection> parseIni(const std::string& text) {
  std::vector<IniSection> sections;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      sections.push_back({line.substr(1, line.size() - 2), {}});
    } else if (!sections.empty()) {
      const size_t eq = line.find('=');
      sections.back().entries.emplace_back(line.substr(0, eq),
                                           eq == std::string::npos ? "" : line.substr(eq + 1));
    }
  }
  return sections;
}

inline std::vector<std::string> sectionNames(const std::vector<IniSection>& sections) {
  std::vector<std::string> names;
  for (const auto& s : sections) names.push_back(s.name);
  return names;
}

// The keys of an item record in the order the program writes them.
inline const std::vector<std::string>& itemKeyOrder() {
  static const std::vector<std::string> keys = {
      "内容",     "时",       "分",   "秒",     "是否执行", "执行名", "完成退出",
      "结束进程", "进程",     "关机", "重启",   "注销",     "锁定",   "提示音",
      "默认",     "提示音名", "播放", "禁止名", "禁止进程"};
  return keys;
}

// An item section as a user's earlier session would have left it; `extra`
// lines ("key=value") come after the duration.
inline std::string itemSection(const std::string& content, const std::string& hours,
                               const std::string& minutes, const std::string& seconds,
                               const std::vector<std::string>& extra = {}) {
  std::string s = "[" + content + "]\n内容=" + content + "\n时=" + hours + "\n分=" + minutes +
                  "\n秒=" + seconds + "\n";
  for (const auto& line : extra) s += line + "\n";
  return s;
}

inline std::string markSections(const std::vector<std::string>& contents,
                                const std::string& key = "win") {
  std::string s;
  for (const auto& c : contents) s += "[" + c + "]\n" + key + "=已完成--\n";
  return s;
}

}  // namespace temvik::e2e

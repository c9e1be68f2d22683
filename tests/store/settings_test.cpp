#include "store/settings.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

#include "platform/headless/headless.h"
#include "store/gbk.h"
#include "store/store_error.h"

namespace temvik {
namespace {

TEST(SettingsTest, AValueThisVersionCannotReadGivesTheDefault) {
  // Generated files: each key absent, well formed or malformed.
  std::mt19937 random(20261209);
  const std::vector<std::string> flags = {"真", "假", "", "是", "1", "真 ", "TRUE", "假假"};
  const std::vector<std::string> numbers = {"0",    "30", "600", "601", "-1",  "12.5",
                                            "１５", "",   "abc", "7秒", "1e2", " 45"};
  for (int round = 0; round < 2000; ++round) {
    std::string text = "[设置]\r\n";
    SettingsValues expected;
    const auto flag = [&](std::string_view key, bool& field) {
      if (random() % 3 == 0) return;  // absent
      const std::string& v = flags[random() % flags.size()];
      text += std::string(key) + "=" + v + "\r\n";
      // The file strips blanks around a value, as the plan files do.
      if (v == "真" || v == "真 ") field = true;
      if (v == "假") field = false;
    };
    flag(kStrictModeKey, expected.strictMode);
    flag(kStayAwakeKey, expected.stayAwake);
    flag(kWakeForTimedKey, expected.wakeForTimed);
    if (random() % 3 != 0) {
      const std::string& v = numbers[random() % numbers.size()];
      text += std::string(kPowerNoticeKey) + "=" + v + "\r\n";
      if (v == "0") expected.powerNoticeSeconds = 0;
      if (v == "30") expected.powerNoticeSeconds = 30;
      if (v == "600") expected.powerNoticeSeconds = 600;
      if (v == "１５") expected.powerNoticeSeconds = 15;
      if (v == " 45") expected.powerNoticeSeconds = 45;
    }
    EXPECT_EQ(readSettings(IniDocument::parse(text)), expected) << text;
  }
}

class SettingsFileTest : public ::testing::Test {
 protected:
  headless::MemoryFiles files{"C:\\plan"};
  PlanStore store{files};
  Settings settings{store};
};

TEST_F(SettingsFileTest, ASetterWritesItsKeyAndKeepsEverythingElseOfTheFile) {
  const std::string before =
      "; 手写的说明\r\n[设置]\r\n将来的键=保留\r\n严格模式=假\r\n[别的]\r\n甲=乙\r\n";
  files.put(files.path(kSettingsFile), utf8ToGbk(before));
  settings.load();
  settings.setStrictMode(true);
  settings.setPowerNoticeSeconds(5000);  // held to the longest count
  EXPECT_EQ(gbkToUtf8(*files.read(files.path(kSettingsFile))),
            "; 手写的说明\r\n[设置]\r\n将来的键=保留\r\n严格模式=真\r\n关机提示秒数=600\r\n"
            "[别的]\r\n甲=乙\r\n");
  Settings again{store};
  again.load();
  EXPECT_EQ(again.values(), settings.values());
  EXPECT_TRUE(again.values().strictMode);
}

TEST_F(SettingsFileTest, AWriteThatFailsKeepsTheValueAndTheFile) {
  settings.load();
  files.unwritable.insert(files.path(kSettingsFile));
  EXPECT_THROW(settings.setStayAwake(true), StoreError);
  EXPECT_THROW(settings.setPowerNoticeSeconds(0), StoreError);
  EXPECT_EQ(settings.values(), SettingsValues{});
  EXPECT_FALSE(files.exists(files.path(kSettingsFile)));

  files.unwritable.clear();
  files.put(files.path(kSettingsFile), utf8ToGbk("[设置]\r\n执行时不睡眠=真\r\n"));
  files.unreadable.insert(files.path(kSettingsFile));
  EXPECT_THROW(settings.load(), StoreError);
  EXPECT_EQ(settings.values(), SettingsValues{});  // the defaults, not a half read
}

}  // namespace
}  // namespace temvik

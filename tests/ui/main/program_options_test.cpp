// The program's settings in the menus: each check item shows settings.ini,
// a change is written at once or told, and no plan operation touches the
// file.

#include <functional>
#include <gtest/gtest.h>
#include <random>

#include "store/password.h"
#include "store/settings.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;

class ProgramOptionsTest : public MainWindowTest {};

TEST_F(ProgramOptionsTest, EachCheckItemShowsTheFileAndAChangeIsWrittenOrTold) {
  putFile("\\settings.ini", {"[设置]", "执行时不睡眠=真", "关机提示秒数=0"});
  auto& w = start();
  EXPECT_TRUE(w.isMenuChecked(kStayAwake));
  EXPECT_FALSE(w.isMenuChecked(kPowerNotice));
  EXPECT_FALSE(w.isMenuChecked(kWakeForTimed));

  w.chooseMenu(kPowerNotice);  // back to the 30 s count
  w.chooseMenu(kStayAwake);
  EXPECT_TRUE(w.isMenuChecked(kPowerNotice));
  EXPECT_FALSE(w.isMenuChecked(kStayAwake));
  EXPECT_EQ(fileText("\\settings.ini"), "[设置]\r\n执行时不睡眠=假\r\n关机提示秒数=30\r\n");

  env.files.unwritable.insert(env.files.path("\\settings.ini"));
  w.chooseMenu(kWakeForTimed);
  EXPECT_EQ(env.prompts.shown().size(), 1u) << "one box for the failed write";
  EXPECT_FALSE(w.isMenuChecked(kWakeForTimed)) << "the mark shows what the file holds";
  EXPECT_EQ(fileText("\\settings.ini"), "[设置]\r\n执行时不睡眠=假\r\n关机提示秒数=30\r\n");
}

TEST_F(ProgramOptionsTest, NoPlanOperationTouchesTheSettingsFile) {
  const std::vector<std::string> settings = {"; 用户的注释",    "[设置]", "将来的键=值",
                                             "执行时不睡眠=真", "[别的]", "甲=乙"};
  std::mt19937 random(9122026);
  int changedPlans = 0;  // steps that did change a plan file
  for (int round = 0; round < 20; ++round) {
    env.files.put(env.files.path("\\settings.ini"), "");
    putFile("\\settings.ini", settings);
    const auto before = env.files.read(env.files.path("\\settings.ini"));
    putFile("\\time.ini", join({item("一"), item("二"), item("三")}));
    putFile("\\out.ini", item("晚饭"));
    env.files.put("D:\\导入.ini", utf8ToGbk("[外来]\r\n内容=外来\r\n时=0\r\n分=5\r\n秒=0\r\n"));
    auto& w = start();
    const std::vector<std::function<void()>> operations = {
        [&] { w.clickRow(kSequentialList, 0), w.click(kMoveDown); },
        [&] { w.clickRow(kSequentialList, 1), w.click(kDeleteItem); },
        [&] { w.type(kContent, "新的" + std::to_string(round)), w.click(kAddItem); },
        [&] { w.click(kClearMarks); },
        [&] { env.prompts.chooseFile("D:\\导出.ini"), w.chooseMenu(kExportSequential); },
        [&] {
          env.prompts.answer(MessageAnswer::Yes);
          env.prompts.chooseFile("D:\\导入.ini");
          w.chooseMenu(kImportSequential);
        },
        [&] { env.prompts.chooseFile("D:\\导入.ini"), w.chooseMenu(kImportTimed); },
        [&] { env.prompts.answer(MessageAnswer::Yes), w.chooseMenu(kDeletePlan); },
    };
    for (int step = 0; step < 12; ++step) {
      auto all = env.files.all();
      all.erase(env.files.path("\\settings.ini"));
      operations[random() % operations.size()]();
      auto after = env.files.all();
      after.erase(env.files.path("\\settings.ini"));
      changedPlans += all != after ? 1 : 0;
      ASSERT_EQ(env.files.read(env.files.path("\\settings.ini")), before)
          << "round " << round << " step " << step;
    }
    main.reset();
  }
  EXPECT_GT(changedPlans, 120) << "the operations did change the plan";
}

TEST_F(ProgramOptionsTest, StrictModeTurnsOnOnlyWithTheRightsAndOffOnlyWithThePassword) {
  const auto answer = [&](const char* entry) {
    headless::HeadlessWindow* d = env.ui.find("密码窗口");
    ASSERT_NE(d, nullptr);
    if (entry) d->type(password_ids::kPasswordEntry, entry), d->click(password_ids::kPasswordOk);
    if (!entry) d->requestClose();
    env.ui.drainPosts();
  };
  const std::string refused = "请先设置管理密码并获取管理权限，才能打开严格模式。";
  // No password, then a password without the rights: refused, nothing written.
  const std::string stored = *hashPassword(env.crypto, "pw");
  for (const char* startUpAnswer : {static_cast<const char*>(nullptr), "PW"}) {
    putFile("\\time.ini", join({item("一"), {"[密码]", "密码=" + (startUpAnswer ? stored : "")}}));
    auto& w = start();
    if (startUpAnswer) answer(startUpAnswer);
    env.prompts.clear();
    w.chooseMenu(kStrictMode);
    EXPECT_EQ(env.prompts.takeTexts(), std::vector<std::string>{refused});
    EXPECT_FALSE(w.isMenuChecked(kStrictMode));
    EXPECT_FALSE(env.files.read(env.files.path("\\settings.ini")));
  }
  auto& w = start();
  answer("pw");
  w.chooseMenu(kStrictMode);
  EXPECT_TRUE(w.isMenuChecked(kStrictMode));
  EXPECT_EQ(fileText("\\settings.ini"), "[设置]\r\n严格模式=真\r\n");
  for (const char* wrong : {"PW", static_cast<const char*>(nullptr)}) {
    w.chooseMenu(kStrictMode);
    answer(wrong);
    EXPECT_TRUE(w.isMenuChecked(kStrictMode));
  }
  w.chooseMenu(kStrictMode);
  answer("pw");
  EXPECT_FALSE(w.isMenuChecked(kStrictMode));
  EXPECT_EQ(fileText("\\settings.ini"), "[设置]\r\n严格模式=假\r\n");
}

}  // namespace
}  // namespace temvik::testing

// The update check: the page is read off the UI thread while the window
// shows, twice at most, and a newer version is opened or downloaded.

#include "update/update_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using ::testing::ElementsAre;
using Shown = headless::ScriptedPrompts::Shown;

constexpr const char* kPage = "https://temvik.test/update.html";
constexpr const char* kZip = "https://temvik.test/down/Temvik1.2.zip";

std::string offerPage(const std::string& latest, const std::string& method,
                      const std::string& address = kZip) {
  return utf8ToGbk("<p>////开始</p><p>最新版=" + latest + "</p><p>下载地址=" + address +
                   "</p><p>下载方式=" + method +
                   "</p><p>更新说明=<p>修正。</p>更新说明结束</p>"
                   "<p>////结束</p>");
}

class UpdateCheckTest : public MainWindowTest {
 protected:
  void SetUp() override { owner = &start(); }
  // Runs a check to its end: the reads, then their answers on the UI thread.
  void finish() {
    check.waitForReads();
    env.ui.drainPosts();
  }
  [[nodiscard]] std::vector<std::string> texts() { return env.prompts.takeTexts(); }
  headless::HeadlessWindow* checkWindow() { return env.ui.find("检查更新窗口"); }

  RetiredWindows retired;
  UpdateCheck check{env.services, retired, kPage};
  headless::HeadlessWindow* owner = nullptr;
};

TEST_F(UpdateCheckTest, TheWindowShowsWhileThePageIsRead) {
  env.network.hold();
  check.open(*owner);
  ASSERT_NE(checkWindow(), nullptr);
  EXPECT_TRUE(checkWindow()->isVisible());
  EXPECT_EQ(checkWindow()->text(update_ids::kChecking), "正在检查更新……");
  EXPECT_EQ(checkWindow()->text(update_ids::kPleaseWait), "请稍后");
  // The UI thread is free: timers go on while the read waits.
  env.ui.advance(2000);
  EXPECT_TRUE(checkWindow()->isVisible());
  check.open(*owner);  // a second request while one runs opens nothing new
  env.network.release();
  finish();
  EXPECT_EQ(checkWindow(), nullptr);
  EXPECT_EQ(env.network.lastTimeout(), UpdateCheck::kPageTimeout);
  EXPECT_THAT(texts(), ElementsAre("当前版本已经是最新版本！"));
}

TEST_F(UpdateCheckTest, NoNewerVersionAfterTwoReads) {
  for (const std::optional<std::string>& answer :
       {std::optional<std::string>(offerPage("1.0", "下载文件")), std::optional<std::string>(),
        std::optional<std::string>("<html>维护中</html>")}) {
    env.network.serve(kPage, answer);
    const int before = env.network.reads(kPage);
    check.open(*owner);
    finish();
    EXPECT_EQ(env.network.reads(kPage) - before, 2);
    EXPECT_THAT(texts(), ElementsAre("当前版本已经是最新版本！"));
  }
}

TEST_F(UpdateCheckTest, ANewerVersionIsAskedForAndItsPageOpened) {
  env.network.serve(kPage, offerPage("1.1", "打开网页", "https://temvik.test/new"));
  env.prompts.answer(MessageAnswer::Yes);
  check.open(*owner);
  finish();
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  const Shown& asked = env.prompts.shown()[0];
  EXPECT_EQ(asked.title, "是否下载最新版？");
  EXPECT_EQ(asked.text, "当前版本：1.0\r\n最新版本：1.1\r\n更新内容：\r\n修正。");
  EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
  EXPECT_EQ(env.network.reads(kPage), 1);
  EXPECT_THAT(env.shell.calls(), ElementsAre("open:https://temvik.test/new"));
  EXPECT_EQ(env.network.reads("https://temvik.test/new"), 0) << "nothing is downloaded";
}

TEST_F(UpdateCheckTest, ANewerVersionIsDownloadedIntoTheProgramFolder) {
  env.network.serve(kPage, offerPage("1.2", "下载文件"));
  env.network.serve(kZip, std::string("PK\x03\x04zip", 7));
  env.prompts.answer(MessageAnswer::Yes);
  check.open(*owner);
  finish();  // the question, which starts the download
  finish();  // the download's answer
  const std::string target = env.files.path("\\Temvik1.2.zip");
  EXPECT_EQ(env.files.read(target), std::string("PK\x03\x04zip", 7));
  ASSERT_EQ(env.prompts.shown().size(), 2u);
  EXPECT_EQ(env.prompts.shown()[1].text, "新版本已下载到：\r\n" + target);
  EXPECT_EQ(env.prompts.shown()[1].title, "tips");
  EXPECT_EQ(env.network.lastTimeout(), UpdateCheck::kDownloadTimeout);
}

TEST_F(UpdateCheckTest, ADownloadThatFailsSaysSoAndWritesNothing) {
  // A read that fails, a file that cannot be written, a name that is none.
  env.files.unwritable.insert(env.files.path("\\locked.zip"));
  for (const std::string& address :
       {std::string(kZip), std::string("https://temvik.test/locked.zip"),
        std::string("https://temvik.test/time.ini"), std::string("https://temvik.test/")}) {
    env.network.serve(kPage, offerPage("1.2", "下载文件", address));
    env.network.serve("https://temvik.test/locked.zip", std::string("x"));
    env.prompts.clear();
    env.prompts.answer(MessageAnswer::Yes);
    check.open(*owner);
    finish();
    finish();
    ASSERT_EQ(env.prompts.shown().size(), 2u) << address;
    EXPECT_EQ(env.prompts.shown()[1].text, "下载失败") << address;
    EXPECT_EQ(env.prompts.shown()[1].icon, MessageIcon::Error);
  }
  EXPECT_EQ(env.network.reads("https://temvik.test/time.ini"), 0);
  EXPECT_FALSE(env.files.exists(env.files.path("\\Temvik1.2.zip")));
}

TEST_F(UpdateCheckTest, NoAndAnUnknownMethodDoNothing) {
  for (const char* method : {"下载文件", "邮寄"}) {
    env.network.serve(kPage, offerPage("1.2", method));
    env.prompts.answer(std::string(method) == "下载文件" ? MessageAnswer::No : MessageAnswer::Yes);
    check.open(*owner);
    finish();
    finish();
  }
  EXPECT_EQ(env.network.reads(kZip), 0);
  EXPECT_TRUE(env.shell.calls().empty());
}

TEST_F(UpdateCheckTest, ClosingTheWindowAbandonsTheCheck) {
  env.network.serve(kPage, offerPage("1.2", "下载文件"));
  env.network.hold();
  check.open(*owner);
  checkWindow()->close();
  env.network.release();
  finish();
  EXPECT_TRUE(env.prompts.shown().empty());
}

TEST_F(UpdateCheckTest, TheHelpMenuOpensTheCheck) {
  env.network.hold();
  owner->chooseMenu(main_ids::kCheckUpdate);
  EXPECT_NE(checkWindow(), nullptr);
  env.network.release();
}

}  // namespace
}  // namespace temvik::testing

// The update check: the page is read off the UI thread while the window
// shows, twice at most, and a newer version is opened or downloaded.

#include "update/update_check.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <thread>

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
  // Polls until `condition` holds, for ten seconds at most.
  static void waitUntil(const std::function<bool()>& condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition() && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // Waits until the reads have posted `answers` answers.
  void awaitAnswers(std::size_t answers) {
    waitUntil([&] { return env.ui.pendingPosts() >= answers; });
  }
  // Runs a check to its end: the reads, then their answers on the UI thread.
  void finish() {
    waitUntil([&] { return check.readsUnderway() == 0; });
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
  EXPECT_THAT(texts(), ElementsAre("检查更新失败：无法连接服务器。"));
}

TEST_F(UpdateCheckTest, NoNewerVersionAfterTwoReads) {
  for (const std::optional<std::string>& answer :
       {std::optional<std::string>(offerPage("1.0", "下载文件")),
        std::optional<std::string>(utf8ToGbk("<p>////开始</p><p>最新版=新</p><p>////结束</p>"))}) {
    env.network.serve(kPage, answer);
    const int before = env.network.reads(kPage);
    check.open(*owner);
    finish();
    EXPECT_EQ(env.network.reads(kPage) - before, 2);
    EXPECT_THAT(texts(), ElementsAre("当前版本已经是最新版本！"));
  }
}

TEST_F(UpdateCheckTest, AFailedCheckSaysWhyAndNeverThatItIsTheLatest) {
  struct Case {
    NetworkFailure failure;
    int status;
    std::string text;
    int reads;  // a read that timed out had its whole time and is not tried again
  };
  const std::vector<Case> cases = {
      {NetworkFailure::BadAddress, 0, "检查更新失败：更新地址无效。", 2},
      {NetworkFailure::NameNotFound, 0, "检查更新失败：找不到服务器。", 2},
      {NetworkFailure::NoConnection, 0, "检查更新失败：无法连接服务器。", 2},
      {NetworkFailure::TimedOut, 0, "检查更新失败：服务器响应超时。", 1},
      {NetworkFailure::Status, 404, "检查更新失败：服务器返回错误（HTTP 404）。", 2},
      {NetworkFailure::Status, 503, "检查更新失败：服务器返回错误（HTTP 503）。", 2},
      {NetworkFailure::TooLarge, 200, "检查更新失败：更新页面过大。", 2},
      {NetworkFailure::Interrupted, 200, "检查更新失败：连接中断。", 2},
  };
  const auto expectFailure = [&](const std::string& text, int reads) {
    const int before = env.network.reads(kPage);
    env.prompts.clear();
    check.open(*owner);
    finish();
    EXPECT_EQ(env.network.reads(kPage) - before, reads) << text;
    ASSERT_EQ(env.prompts.shown().size(), 1u) << text;
    EXPECT_EQ(env.prompts.shown()[0].text, text);
    EXPECT_EQ(env.prompts.shown()[0].icon, MessageIcon::Error);
    EXPECT_EQ(checkWindow(), nullptr);
  };
  for (const Case& c : cases) {
    env.network.fail(kPage, c.failure, c.status);
    expectFailure(c.text, c.reads);
  }
  env.network.serve(kPage, std::string("<html>维护中</html>"));
  expectFailure(std::string(kNoUpdatePageText), 2);
  // The page may be as long as the limit, not a byte longer.
  const std::string offer = offerPage("1.2", "打开网页");
  for (const std::size_t size : {offer.size(), UpdateCheck::kPageLimit - 1, UpdateCheck::kPageLimit,
                                 UpdateCheck::kPageLimit + 1, 3 * UpdateCheck::kPageLimit}) {
    env.network.serve(kPage, offer + std::string(size - offer.size(), ' '));
    if (size > UpdateCheck::kPageLimit) {
      expectFailure("检查更新失败：更新页面过大。", 2);
      continue;
    }
    env.prompts.clear();
    env.prompts.answer(MessageAnswer::No);
    check.open(*owner);
    finish();
    ASSERT_EQ(env.prompts.shown().size(), 1u) << size;
    EXPECT_EQ(env.prompts.shown()[0].title, "是否下载最新版？") << size;
  }
  EXPECT_EQ(env.network.lastLimit(), UpdateCheck::kPageLimit);
}

TEST_F(UpdateCheckTest, ThePageReadOnceDecidesWhenTheOtherReadFails) {
  env.network.serve(kPage, offerPage("1.0", "下载文件"));
  for (const int failing : {0, 1}) {
    env.network.failOnce(kPage, NetworkFailure::Interrupted, failing);
    check.open(*owner);
    finish();
    EXPECT_THAT(texts(), ElementsAre("当前版本已经是最新版本！")) << failing;
  }
  env.network.serve(kPage, offerPage("1.2", "打开网页"));
  env.network.failOnce(kPage, NetworkFailure::NoConnection);
  env.prompts.answer(MessageAnswer::No);
  check.open(*owner);
  finish();
  EXPECT_THAT(texts(), ElementsAre("当前版本：1.0\r\n最新版本：1.2\r\n更新内容：\r\n修正。"));
}

TEST_F(UpdateCheckTest, TheUiThreadNeverWaitsForARead) {
  env.network.serve(kPage, offerPage("1.2", "下载文件"));
  env.network.serve(kZip, std::string("zip"));
  env.network.hold();
  // Closing and reopening return while the first read still hangs; its
  // answer is dropped, the second check's is asked.
  check.open(*owner);
  checkWindow()->close();
  check.open(*owner);
  ASSERT_NE(checkWindow(), nullptr);
  EXPECT_TRUE(checkWindow()->isVisible());
  env.ui.advance(1000);
  waitUntil([&] { return env.network.reads(kPage) == 2; });
  EXPECT_EQ(env.network.reads(kPage), 2);
  env.prompts.answer(MessageAnswer::No);
  env.network.release();
  finish();
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].title, "是否下载最新版？");

  // Leaving the program during a check or a download returns at once: the
  // reads are left to end by themselves, their answers dropped, nothing
  // written and nothing run.
  for (bool downloading : {false, true}) {
    env.prompts.clear();
    auto leaving = std::make_unique<UpdateCheck>(env.services, retired, kPage);
    if (downloading) {
      env.prompts.answer(MessageAnswer::Yes);
      leaving->open(*owner);
      awaitAnswers(1);
      env.network.hold();
      env.ui.drainPosts();  // the question, answered Yes: the download's read hangs
      waitUntil([&] { return env.network.reads(kZip) == 1; });
      ASSERT_EQ(env.network.reads(kZip), 1);
    } else {
      env.network.hold();
      leaving->open(*owner);
      leaving->close();
    }
    leaving.reset();
    env.network.release();
    awaitAnswers(1);
    env.ui.drainPosts();
    EXPECT_EQ(env.prompts.shown().size(), downloading ? 1u : 0u);
  }
  EXPECT_FALSE(env.files.exists(env.files.path("\\Temvik1.2.zip")));
  EXPECT_TRUE(env.shell.calls().empty());
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

// A file the build names by its UTF-8 path (the change log's name is Chinese).
std::string readFile(const char* utf8Path) {
  std::ifstream in(std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8Path))),
                   std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The entries ("- " lines) of the change log's section "## <version>".
std::vector<std::string> changeLogEntries(const std::string& log, std::string_view version) {
  std::vector<std::string> entries;
  std::istringstream lines(log);
  bool inSection = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("## ")) {
      inSection = line.substr(3) == version;
    } else if (inSection && line.starts_with("- ")) {
      entries.push_back(line.substr(2));
    }
  }
  return entries;
}

// The update page the release publishes, as scripts/release_tool.py wrote it
// for this version (tests/CMakeLists.txt): read by this program it is the
// latest version; read by any earlier one it offers this version's page with
// the change log's entries, one a line.
TEST_F(UpdateCheckTest, TheReleasedPageIsTheLatestHereAndOfferedToEarlierVersions) {
  const std::string bytes = readFile(TEMVIK_RELEASE_PAGE);
  ASSERT_FALSE(bytes.empty()) << TEMVIK_RELEASE_PAGE;
  env.network.serve(kPage, bytes);
  check.open(*owner);
  finish();
  EXPECT_THAT(texts(), ElementsAre("当前版本已经是最新版本！"));

  const std::vector<std::string> entries =
      changeLogEntries(readFile(TEMVIK_CHANGE_LOG), kCurrentVersion);
  ASSERT_FALSE(entries.empty());
  std::string notes;
  for (const std::string& entry : entries) notes += entry + "\r\n";
  const std::string page = gbkToUtf8(bytes);
  ASSERT_TRUE(isUpdatePage(page));
  const UpdateOffer expected{std::string(kCurrentVersion), TEMVIK_RELEASE_URL,
                             std::string(kOpenPageMethod), notes};
  const double current = std::stod(std::string(kCurrentVersion));
  for (int hundredths = 0; hundredths <= 300; ++hundredths) {
    const std::string other = std::to_string(hundredths / 100) + "." +
                              std::to_string(hundredths / 10 % 10) +
                              std::to_string(hundredths % 10);
    const auto offer = newerVersionOffered(page, other);
    if (hundredths < current * 100 - 0.5) {
      ASSERT_TRUE(offer) << other;
      EXPECT_EQ(*offer, expected) << other;
    } else {
      EXPECT_FALSE(offer) << other;
    }
  }
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

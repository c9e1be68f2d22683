// The update check of the real program against a web server of the test's
// own: the window while the page is read, the question, and a download into
// the program's folder through the system's HTTP client; servers that
// refuse, answer 404, trickle, hang or break off.

#include <functional>
#include <string>

#include "caption_fit.h"
#include "e2e_support.h"
#include "store/gbk.h"
#include "ui/main/main_window_ids.h"
#include "update/update_check.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;

std::string page(const std::string& latest, const std::string& address) {
  return utf8ToGbk("<html><body><p>////开始</p><p>最新版=" + latest + "</p><p>下载地址=" + address +
                   "</p><p>下载方式=下载文件</p><p>更新说明=<p>修正了提示点。</p>" +
                   "更新说明结束</p><p>////结束</p></body></html>");
}

// The program reads its update page from `server` (or `address`) while the
// variable is set.
class PagePointer {
 public:
  explicit PagePointer(const LocalHttpServer& server)
      : PagePointer(server.address("/update.html")) {}
  explicit PagePointer(const std::string& address) {
    SetEnvironmentVariableW(L"TEMVIK_UPDATE_PAGE", widen(address).c_str());
  }
  ~PagePointer() { SetEnvironmentVariableW(L"TEMVIK_UPDATE_PAGE", nullptr); }
  PagePointer(const PagePointer&) = delete;
  PagePointer& operator=(const PagePointer&) = delete;
};

TEST(UpdateCheck, ANewerVersionIsDownloadedIntoTheProgramFolder) {
  LocalHttpServer server;
  ASSERT_TRUE(server.ok());
  server.serve("/update.html", page("1.5", server.address("/down/Temvik1.5.zip")));
  server.serve("/down/Temvik1.5.zip", std::string("PK\x03\x04new version", 15));
  server.hold(true);
  PlanFolder folder;
  const PagePointer pointer(server);
  E2E_START(app, folder);

  app.menu(kCheckUpdate);
  HWND checking = app.waitForWindow("检查更新");
  ASSERT_NE(checking, nullptr);
  EXPECT_EQ(windowText(GetDlgItem(checking, update_ids::kChecking)), "正在检查更新……");
  EXPECT_EQ(windowText(GetDlgItem(checking, update_ids::kPleaseWait)), "请稍后");
  expectCaptionsFit(checking, "update check window");
  E2E_EVENTUALLY_EQ(server.requests("/update.html"), 1);
  EXPECT_TRUE(app.sync()) << "the program answers while the page is read";
  server.hold(false);

  const auto question = app.waitForMessageBox();
  ASSERT_TRUE(question);
  EXPECT_EQ(question->title, "是否下载最新版？");
  EXPECT_EQ(question->text, "当前版本：1.0\r\n最新版本：1.5\r\n更新内容：\r\n修正了提示点。");
  EXPECT_FALSE(IsWindow(checking) && IsWindowVisible(checking));
  ASSERT_TRUE(question->press(IDYES));

  const auto done = app.waitForMessageBox();
  ASSERT_TRUE(done);
  EXPECT_EQ(done->title, "tips");
  EXPECT_EQ(done->text, "新版本已下载到：\r\n" + narrow(folder.path("Temvik1.5.zip")));
  EXPECT_EQ(folder.readBytes("Temvik1.5.zip"), std::string("PK\x03\x04new version", 15));
  ASSERT_TRUE(done->press(IDOK));
}

TEST(UpdateCheck, TheSameVersionIsTheLatestAfterTwoReads) {
  LocalHttpServer server;
  ASSERT_TRUE(server.ok());
  server.serve("/update.html", page("1.0", server.address("/down/Temvik1.0.zip")));
  PlanFolder folder;
  const PagePointer pointer(server);
  E2E_START(app, folder);
  app.menu(kCheckUpdate);
  const auto box = app.waitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, "当前版本已经是最新版本！");
  EXPECT_EQ(server.requests("/update.html"), 2);
  EXPECT_EQ(server.requests("/down/Temvik1.0.zip"), 0);
  ASSERT_TRUE(box->press(IDOK));
}

// Waits for the program's message box, expects its text and presses OK.
void expectBox(const App& app, const std::string& text, Millis timeout = kTimeout) {
  const auto box = app.waitForMessageBox(timeout);
  ASSERT_TRUE(box) << text;
  EXPECT_EQ(box->text, text);
  ASSERT_TRUE(box->press(IDOK));
}

TEST(UpdateCheck, AFailedCheckSaysWhy) {
  LocalHttpServer server;
  ASSERT_TRUE(server.ok());
  const std::string refusing = LocalHttpServer::refusingAddress("/update.html");
  ASSERT_FALSE(refusing.empty());
  const struct {
    std::string address;
    std::string text;
  } cases[] = {
      {refusing, "检查更新失败：无法连接服务器。"},
      {server.address("/missing.html"), "检查更新失败：服务器返回错误（HTTP 404）。"},
  };
  for (const auto& c : cases) {
    PlanFolder folder;
    const PagePointer pointer(c.address);
    E2E_START(app, folder);
    app.menu(kCheckUpdate);
    expectBox(app, c.text);
  }
  EXPECT_EQ(server.requests("/missing.html"), 2);
}

TEST(UpdateCheck, APageThatTricklesTimesOut) {
  LocalHttpServer server;
  ASSERT_TRUE(server.ok());
  server.trickle("/update.html", page("1.5", server.address("/down/Temvik1.5.zip")));
  PlanFolder folder;
  const PagePointer pointer(server);
  E2E_START(app, folder);
  app.menu(kCheckUpdate);
  ASSERT_NE(app.waitForWindow("检查更新"), nullptr);
  EXPECT_TRUE(app.sync()) << "the program answers while the page trickles in";
  expectBox(app, "检查更新失败：服务器响应超时。", UpdateCheck::kPageTimeout + kTimeout);
  EXPECT_EQ(server.requests("/update.html"), 1) << "a read that timed out is not repeated";
}

// A server that never answers holds nothing up: the window closes and opens
// again at once, and the program ends within a second of 退出.
TEST(UpdateCheck, AHangingServerNeverHoldsTheProgram) {
  LocalHttpServer server;
  ASSERT_TRUE(server.ok());
  server.serve("/update.html", page("1.5", server.address("/down/Temvik1.5.zip")));
  server.hold(true);
  PlanFolder folder;
  const PagePointer pointer(server);
  E2E_START(app, folder);
  for (int open = 1; open <= 2; ++open) {
    app.menu(kCheckUpdate);
    const HWND checking = app.waitForWindow("检查更新");
    ASSERT_NE(checking, nullptr);
    E2E_EVENTUALLY_TRUE(server.requests("/update.html") >= 1);
    PostMessageW(checking, WM_CLOSE, 0, 0);
    E2E_EVENTUALLY_TRUE(!IsWindow(checking));
    EXPECT_TRUE(app.sync(Millis(1000))) << open;
  }
  app.clickAsync(kExit);
  EXPECT_TRUE(app.waitForExit(Millis(1000)));
}

TEST(UpdateCheck, ADownloadCutShortOrLeftHangingLeavesNoFile) {
  LocalHttpServer server;
  ASSERT_TRUE(server.ok());
  server.serve("/update.html", page("1.5", server.address("/down/Temvik1.5.zip")));
  server.cutShort("/down/Temvik1.5.zip", std::string(4000, 'z'));
  PlanFolder folder;
  const PagePointer pointer(server);
  E2E_START(app, folder);
  const auto noFile = [&] {
    return !folder.exists("Temvik1.5.zip") && !folder.exists("Temvik1.5.zip.tmp");
  };
  // Asks for the download; `whileAsked` runs before the answer.
  const auto answerYes = [&](const std::function<void()>& whileAsked) {
    app.menu(kCheckUpdate);
    const auto question = app.waitForMessageBox();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->title, "是否下载最新版？");
    whileAsked();
    ASSERT_TRUE(question->press(IDYES));
  };
  answerYes([] {});
  const auto failed = app.waitForMessageBox();
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->title, "tips");
  EXPECT_EQ(failed->text, "下载失败");
  ASSERT_TRUE(failed->press(IDOK));
  EXPECT_TRUE(noFile());

  // 退出 while the download hangs.
  answerYes([&] { server.hold(true); });
  E2E_EVENTUALLY_EQ(server.requests("/down/Temvik1.5.zip"), 2);
  app.clickAsync(kExit);
  EXPECT_TRUE(app.waitForExit(Millis(1000)));
  EXPECT_TRUE(noFile());
}

}  // namespace
}  // namespace temvik::e2e

// The update check of the real program against a web server of the test's
// own: the window while the page is read, the question, and a download into
// the program's folder through the system's HTTP client.

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

// The program reads its update page from `server` while the variable is set.
class PagePointer {
 public:
  explicit PagePointer(const LocalHttpServer& server) {
    SetEnvironmentVariableW(L"TEMVIK_UPDATE_PAGE", widen(server.address("/update.html")).c_str());
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

}  // namespace
}  // namespace temvik::e2e

// The real program keeps plans whole: a content or a number it cannot
// store or count is refused, and a plan file another program holds locked
// is told of, with the list showing what the file holds.

#include <memory>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using Rows = std::vector<std::string>;

// Holds a file open the way another program would: `share` says what it
// lets others do meanwhile.
class LockedFile {
 public:
  LockedFile(const std::wstring& path, DWORD share)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~LockedFile() { release(); }
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;
  [[nodiscard]] bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  void release() {
    if (ok()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

class Integrity : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.ok()) << folder.error();
    ASSERT_TRUE(folder.writeIni("time.ini", itemSection("一", "0", "1", "0")));
    app = std::make_unique<App>(folder);
    ASSERT_TRUE(app->ready()) << app->error();
  }
  // Presses a button that answers with one box; returns the box, closed.
  std::optional<MessageBoxWindow> boxAfter(int button) {
    app->clickAsync(button);
    auto box = app->waitForMessageBox();
    if (box) box->press(IDOK);
    app->sync();
    return box;
  }
  void typeItem(const std::string& content, const std::string& minutes) {
    app->type(kContent, content);
    app->type(kMinutes, minutes);
  }

  PlanFolder folder;
  std::unique_ptr<App> app;
};

TEST_F(Integrity, ALockedItemFileIsToldAndTheListShowsWhatItHolds) {
  const std::string before = folder.readText("time.ini");
  LockedFile lock(folder.path("time.ini"), FILE_SHARE_READ);  // readable, not replaceable
  ASSERT_TRUE(lock.ok());
  typeItem("二", "5");
  auto box = boxAfter(kAddItem);
  ASSERT_TRUE(box.has_value()) << "a write that failed must be told";
  EXPECT_EQ(box->title, "文件错误");
  EXPECT_NE(box->text.find("time.ini"), std::string::npos) << box->text;
  EXPECT_EQ(app->rows(kSequentialList), Rows{"一"});
  EXPECT_EQ(app->text(kContent), "二") << "what was typed stays in the editor";
  EXPECT_EQ(folder.readText("time.ini"), before);
  EXPECT_FALSE(folder.exists("time1.ini"));

  lock.release();
  ASSERT_TRUE(app->click(kAddItem));
  EXPECT_EQ(app->rows(kSequentialList), (Rows{"一", "二"})) << "once free, the add works";
}

TEST_F(Integrity, AnItemFileThatCannotBeReadIsNeverWrittenOver) {
  const std::string before = folder.readText("time.ini");
  LockedFile lock(folder.path("time.ini"), 0);  // not even readable
  ASSERT_TRUE(lock.ok());
  typeItem("二", "5");
  auto box = boxAfter(kAddItem);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->title, "文件错误");
  EXPECT_EQ(box->text.rfind("无法读取文件：", 0), 0u) << box->text;
  lock.release();
  EXPECT_EQ(folder.readText("time.ini"), before);
}

TEST_F(Integrity, ContentsAndNumbersThatCannotBeKeptAreRefused) {
  typeItem("已完成--乙", "1");
  auto box = boxAfter(kAddItem);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->title, "请修改");
  EXPECT_EQ(box->text, "任务内容不能以“已完成--”开头。");

  typeItem("'丁'", "1");
  box = boxAfter(kAddItem);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, "任务内容不能用英文单引号括起来。");

  typeItem("三", "三十");
  box = boxAfter(kAddItem);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, "“分”只能填数字。");
  EXPECT_EQ(app->rows(kSequentialList), Rows{"一"});

  // Full-width digits, as a Chinese input method types them, count.
  typeItem("三", "２５");
  ASSERT_TRUE(app->click(kAddItem));
  EXPECT_EQ(app->rows(kSequentialList), (Rows{"一", "三"}));
  const auto items = parseIni(folder.readText("time.ini"));
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].value("分"), "２５") << "stored as typed";
}

}  // namespace
}  // namespace temvik::e2e

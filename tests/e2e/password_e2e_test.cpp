// The administrator password in the real program: a stored password asked
// for at start-up, a wrong answer that keeps the plan read-only whatever
// the user tries (deleting the plan, an export over its own files), and a password set through the
// real dialogs that the next start asks for.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "platform/win32/win32_services.h"
#include "store/app_state.h"
#include "store/messages.h"
#include "store/password.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/set_password_dialog.h"
#include "ui/main/main_window_ids.h"
#include "ui/main/messages.h"
#include "ui/main/plan_menu.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using namespace password_ids;
using Rows = std::vector<std::string>;

constexpr int kEditorInputs[] = {
    kContent,      kHours,           kMinutes,  kSeconds, kRunProgram, kExitWhenDone,
    kEndProcesses, kForbidProcesses, kShutdown, kRestart, kLogOff,     kLock,
    kMedia,        kUseDefault,      kPlayTime, kAddItem, kDeleteItem};

// Presses a dialog's button without waiting for it (a box may follow).
void press(HWND dialog, int button) { PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0); }

// Answers the open password dialog of `app` and returns the box that follows, closed.
std::optional<MessageBoxWindow> answerPassword(const App& app, const std::string& entry) {
  const HWND dialog = app.waitForWindow("请输入密码");
  if (!dialog) return std::nullopt;
  typeInto(GetDlgItem(dialog, kPasswordEntry), entry);
  press(dialog, kPasswordOk);
  auto box = app.waitForMessageBox(5s);
  if (box) box->press(IDOK);
  waitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
  return box;
}

// Closes the one box an action shows and returns its text.
std::string boxText(const App& app) {
  auto box = app.waitForMessageBox();
  if (!box) return "<no box>";
  box->press(IDOK);
  return box->text;
}

int enabledInputs(const App& app) {
  int n = 0;
  for (int id : kEditorInputs) n += app.enabled(id) ? 1 : 0;
  return n;
}

TEST(Password, AWrongAnswerAtStartUpKeepsThePlanAsItIs) {
  PlanFolder folder;
  Win32Crypto crypto;
  const std::string stored = hashPassword(crypto, "Secret").value();
  ASSERT_TRUE(folder.writeIni(
      "time.ini", itemSection("背单词", "0", "20", "0") + itemSection("写作业", "0", "30", "0") +
                      itemSection("练钢琴", "0", "45", "0") + "[密码]\n密码=" + stored + "\n"));
  ASSERT_TRUE(folder.writeIni("win.ini", markSections({"背单词"})));
  ASSERT_TRUE(folder.writeIni("out.ini", itemSection("晚饭", "0", "30", "0")));
  const auto time = folder.readBytes("time.ini");
  const auto win = folder.readBytes("win.ini");
  const auto out = folder.readBytes("out.ini");
  E2E_START(app, folder);

  auto box = answerPassword(app, "secret");
  ASSERT_TRUE(box.has_value()) << "the start-up asks for the stored password";
  EXPECT_EQ(box->text, "密码错误,您没有修改计划的权限");
  E2E_EVENTUALLY_TRUE(IsWindowEnabled(app.hwnd()));
  ASSERT_TRUE(app.sync());
  EXPECT_EQ(enabledInputs(app), 0);
  const std::string refused(kEditLocked.text);

  // The Delete key on a selected row.
  ASSERT_TRUE(app.clickRow(kSequentialList, 1));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("写作业"));
  EXPECT_EQ(enabledInputs(app), 0) << "a loaded row stays read-only";
  App::pressKey(VK_DELETE);
  EXPECT_EQ(boxText(app), refused);
  // The context menu's 删除, sent as its command.
  app.menu(kDeleteFromMenu);
  EXPECT_EQ(boxText(app), refused);
  app.clickAsync(kMoveUp);
  EXPECT_EQ(boxText(app), refused);
  app.clickAsync(kClearMarks);
  EXPECT_EQ(boxText(app), refused);
  app.clickAsync(kSaveItem);
  EXPECT_EQ(boxText(app), refused);
  // Deleting the plan would take the password with it.
  app.menu(kDeletePlan);
  EXPECT_EQ(boxText(app), refused);
  // Exports onto the plan's own files, chosen in the real save dialog: the
  // timed part over time.ini would take the password too.
  app.menu(kExportTimed);
  ASSERT_TRUE(app.chooseFileOver(narrow(folder.path("TIME.INI"))));
  EXPECT_EQ(boxText(app), std::string(kOwnFileExport.text));
  app.menu(kExportSequential);
  ASSERT_TRUE(app.chooseFileOver(narrow(folder.dir()) + "\\.\\out.ini"));
  EXPECT_EQ(boxText(app), std::string(kOwnFileExport.text));
  ASSERT_TRUE(app.sync());

  EXPECT_EQ(app.rows(kSequentialList), (Rows{"已完成--背单词", "写作业", "练钢琴"}));
  EXPECT_EQ(folder.readBytes("time.ini"), time);
  EXPECT_EQ(folder.readBytes("win.ini"), win);
  EXPECT_EQ(folder.readBytes("out.ini"), out);
  EXPECT_FALSE(folder.exists("time1.ini"));
  EXPECT_EQ(enabledInputs(app), 0);
  EXPECT_EQ(app.rows(kTimedList), Rows{"晚饭"});
}

TEST(Password, APasswordSetInTheDialogsIsAskedForAtTheNextStart) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", itemSection("背单词", "0", "20", "0")));
  {
    E2E_START(app, folder);
    EXPECT_EQ(app.window("请输入密码"), nullptr);
    app.menu(kSetPassword);
    const HWND dialog = app.waitForWindow("设置密码");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kOldPassword)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kOldLabel)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, kNewPassword)));
    EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(dialog, kNewPassword), GWL_STYLE) & ES_PASSWORD)
        << "what is typed is masked";
    EXPECT_FALSE(IsWindowEnabled(app.hwnd())) << "modal";
    typeInto(GetDlgItem(dialog, kNewPassword), "Abc");
    press(dialog, kSetOk);
    EXPECT_EQ(boxText(app), "修改成功");
    E2E_EVENTUALLY_TRUE(!IsWindow(dialog) || !IsWindowVisible(dialog));
    const auto sections = parseIni(folder.readText("time.ini"));
    ASSERT_EQ(sectionNames(sections), (Rows{"背单词", "密码"}));
    const std::string value = sections[1].value("密码");
    EXPECT_TRUE(value.starts_with("pbkdf2-sha256$")) << value;
    EXPECT_EQ(value.find("Abc"), std::string::npos);
    app.close();
    ASSERT_TRUE(app.waitForExit());
  }
  E2E_START(app, folder);
  auto box = answerPassword(app, "abc");
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, "密码错误,您没有修改计划的权限");
  ASSERT_TRUE(app.sync());
  EXPECT_EQ(enabledInputs(app), 0);

  // The right password through 获取管理权限 makes the editor usable again.
  app.menu(kGetRights);
  const HWND dialog = app.waitForWindow("请输入密码");
  ASSERT_NE(dialog, nullptr);
  typeInto(GetDlgItem(dialog, kPasswordEntry), "Abc");
  PostMessageW(GetDlgItem(dialog, kPasswordEntry), WM_KEYDOWN, VK_RETURN, 0);
  E2E_EVENTUALLY_TRUE(!IsWindow(dialog) || !IsWindowVisible(dialog));
  E2E_EVENTUALLY_TRUE(app.enabled(kContent));
  EXPECT_TRUE(app.enabled(kAddItem));
  EXPECT_TRUE(app.messageBox() == std::nullopt);
}

}  // namespace
}  // namespace temvik::e2e

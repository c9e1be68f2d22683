// The administrator password of the main window: the dialog at start-up,
// the menu 管理, setting, changing and deleting the password.

#include <gtest/gtest.h>

#include "store/app_state.h"
#include "store/password.h"
#include "store/plan_store.h"
#include "store/store_error.h"
#include "ui/dialogs/messages.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/set_password_dialog.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using namespace password_ids;
using headless::HeadlessWindow;

class AdministrationTest : public MainWindowTest {
 protected:
  // time.ini with two items and `stored` as the password value.
  void storeValue(const std::string& stored) {
    putFile("\\time.ini", join({item("一"), item("二"), {"[密码]", "密码=" + stored}}));
  }
  void storePassword(const std::string& password) {
    storeValue(hashPassword(env.crypto, password).value());
  }
  [[nodiscard]] std::string storedValue() { return PlanStore(env.files).readPassword(); }
  HeadlessWindow* open(std::string_view designName) {
    HeadlessWindow* w = env.ui.find(designName);
    return w && w->isOpen() ? w : nullptr;
  }
  // Types into the open password dialog and presses Enter in its box.
  void answer(const std::string& entry) {
    HeadlessWindow* d = open("密码窗口");
    ASSERT_NE(d, nullptr) << "no password dialog";
    d->type(kPasswordEntry, entry);
    EXPECT_EQ(d->focusedControl(), kPasswordEntry);
    EXPECT_TRUE(d->pressKey(vk::kReturn));
    EXPECT_FALSE(d->isOpen());
    env.ui.drainPosts();
  }
  std::vector<std::string> texts() { return env.prompts.takeTexts(); }
};

TEST_F(AdministrationTest, WithoutAPasswordNothingIsAskedAndDeletingIsNotOffered) {
  auto& w = start();
  EXPECT_EQ(open("密码窗口"), nullptr);
  EXPECT_FALSE(w.isMenuEnabled(kDeletePassword));
  EXPECT_TRUE(w.isEnabled(kContent));
  EXPECT_TRUE(w.isEnabled(kAddItem));
  w.chooseMenu(kGetRights);
  EXPECT_THAT(texts(), ::testing::ElementsAre("你已经拥有管理权限了"));
  EXPECT_EQ(env.prompts.shown().size(), 0u);
}

TEST_F(AdministrationTest, AStoredPasswordIsAskedForAtStartUpAndAWrongAnswerLocksTheEditor) {
  storePassword("Secret");
  auto& w = start();
  HeadlessWindow* d = open("密码窗口");
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->isModal());
  EXPECT_EQ(d->owner(), &w);
  EXPECT_EQ(d->title(), "请输入密码");
  EXPECT_FALSE(w.click(kMoveUp)) << "the main window waits for the dialog";

  answer("secret");  // letter case counts
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].text, "密码错误,您没有修改计划的权限");
  EXPECT_EQ(env.prompts.shown()[0].title, "");
  EXPECT_EQ(env.prompts.shown()[0].icon, MessageIcon::None);
  EXPECT_EQ(enabledLockedControls(w), 0);
  EXPECT_FALSE(w.isMenuEnabled(kDeletePassword));
  EXPECT_EQ(open("设置密码窗口"), nullptr);
}

TEST_F(AdministrationTest, ClosingTheStartUpDialogKeepsTheLock) {
  storePassword("Secret");
  auto& w = start();
  open("密码窗口")->requestClose();
  EXPECT_EQ(open("密码窗口"), nullptr);
  EXPECT_EQ(enabledLockedControls(w), 0);
  EXPECT_TRUE(env.prompts.shown().empty());
}

TEST_F(AdministrationTest, TheRightAnswerAtStartUpGivesTheRightsAndOffersDeleting) {
  storePassword("Secret");
  auto& w = start();
  answer("Secret");
  EXPECT_TRUE(env.prompts.shown().empty());
  EXPECT_TRUE(w.isEnabled(kContent));
  EXPECT_TRUE(w.isEnabled(kAddItem));
  EXPECT_TRUE(w.isEnabled(kDeleteItem));
  EXPECT_FALSE(w.isEnabled(kChooseProgram)) << "as an editor reset leaves it";
  EXPECT_TRUE(w.isMenuEnabled(kDeletePassword));
  EXPECT_EQ(open("设置密码窗口"), nullptr) << "asked for the rights, not for a change";
}

TEST_F(AdministrationTest, AnsweredInItsOwnLoopTheStartUpDialogEndsTheSame) {
  // As on Windows, where the start-up waits for the dialog to close.
  storePassword("Secret");
  env.ui.onModal("密码窗口", [](HeadlessWindow& d) {
    d.type(kPasswordEntry, "Secret");
    d.click(kPasswordOk);
  });
  auto& w = start();
  EXPECT_EQ(enabledLockedControls(w), 17)
      << "all but the three choosers, 编辑框5 and 打开, as at any start";
  EXPECT_TRUE(w.isMenuEnabled(kDeletePassword));
}

TEST_F(AdministrationTest, RightsThroughTheMenuUnlockButDoNotOfferDeleting) {
  storePassword("Secret");
  auto& w = start();
  answer("nope");
  texts();
  w.chooseMenu(kGetRights);
  answer("Secret");
  EXPECT_TRUE(texts().empty());
  EXPECT_TRUE(w.isEnabled(kContent));
  EXPECT_FALSE(w.isMenuEnabled(kDeletePassword)) << "until a password is set again";
  EXPECT_EQ(open("设置密码窗口"), nullptr);
  w.chooseMenu(kGetRights);
  EXPECT_THAT(texts(), ::testing::ElementsAre("你已经拥有管理权限了"));
  EXPECT_EQ(open("密码窗口"), nullptr);
}

TEST_F(AdministrationTest, AWrongAnswerThroughTheMenuChangesNothing) {
  storePassword("Secret");
  auto& w = start();
  answer("x");
  for (int i = 0; i < 3; ++i) {  // no limit, no delay
    w.chooseMenu(kGetRights);
    answer("SECRET");
  }
  EXPECT_EQ(texts().size(), 4u);
  EXPECT_EQ(enabledLockedControls(w), 0);
}

TEST_F(AdministrationTest, AFirstPasswordIsSetInTheDialogWithoutTheOldRow) {
  putFile("\\time.ini", join({item("一")}));
  auto& w = start();
  const std::string before = fileText("\\time.ini");
  w.chooseMenu(kSetPassword);
  HeadlessWindow* d = open("设置密码窗口");
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->isModal());
  EXPECT_EQ(d->title(), "设置密码");
  EXPECT_FALSE(d->isShown(kOldLabel));
  EXPECT_FALSE(d->isShown(kOldPassword));
  EXPECT_EQ(d->design().control(kNewPassword)->rect.y, 32);
  EXPECT_EQ(d->design().control(kNewLabel)->rect.y, 32);
  EXPECT_EQ(d->focusedControl(), kNewPassword);

  d->pressKey(vk::kReturn);  // nothing typed
  EXPECT_THAT(texts(), ::testing::ElementsAre("新密码不能为空"));
  EXPECT_TRUE(d->isOpen());
  EXPECT_EQ(fileText("\\time.ini"), before);

  d->type(kNewPassword, "Neu");
  d->pressKey(vk::kReturn);
  EXPECT_THAT(texts(), ::testing::ElementsAre("修改成功"));
  EXPECT_FALSE(d->isOpen());
  EXPECT_TRUE(isPasswordHash(storedValue())) << storedValue();
  EXPECT_EQ(passwordMatches(env.crypto, storedValue(), "Neu"), true);
  EXPECT_TRUE(w.isMenuEnabled(kDeletePassword));
  EXPECT_TRUE(w.isEnabled(kContent)) << "the one who set it holds the rights";
  EXPECT_NE(fileText("\\time.ini").find("[一]"), std::string::npos) << "the items stay";
}

TEST_F(AdministrationTest, ChangingAStoredPasswordAsksForItFirstThenForTheOldOne) {
  storePassword("Secret");
  auto& w = start();
  answer("Secret");
  w.chooseMenu(kSetPassword);
  answer("Secret");
  HeadlessWindow* d = open("设置密码窗口");
  ASSERT_NE(d, nullptr) << "the set-password dialog follows the right password";
  EXPECT_FALSE(d->isModal());
  EXPECT_EQ(d->owner(), &w);
  EXPECT_TRUE(d->isShown(kOldPassword));
  EXPECT_EQ(d->design().control(kNewPassword)->rect.y, 64);
  const std::string stored = storedValue();

  d->type(kOldPassword, "secret");
  d->type(kNewPassword, "Neu");
  d->click(kSetOk);
  EXPECT_THAT(texts(), ::testing::ElementsAre("旧密码错误"));
  EXPECT_EQ(d->text(kOldPassword), "");
  EXPECT_EQ(d->text(kNewPassword), "");
  EXPECT_EQ(storedValue(), stored);

  d->type(kOldPassword, "Secret");
  d->click(kSetOk);
  EXPECT_THAT(texts(), ::testing::ElementsAre("新密码不能为空"));
  EXPECT_EQ(storedValue(), stored) << "an empty new password keeps the old one";

  d->type(kNewPassword, "Neu");
  d->pressKey(vk::kEscape);
  EXPECT_FALSE(d->isOpen()) << "取消";
  EXPECT_EQ(storedValue(), stored);

  w.chooseMenu(kSetPassword);
  answer("Secret");
  d = open("设置密码窗口");
  ASSERT_NE(d, nullptr);
  d->type(kOldPassword, "Secret");
  d->type(kNewPassword, "Neu");
  d->click(kSetOk);
  EXPECT_THAT(texts(), ::testing::ElementsAre("修改成功"));
  EXPECT_EQ(passwordMatches(env.crypto, storedValue(), "Neu"), true);
  EXPECT_EQ(passwordMatches(env.crypto, storedValue(), "Secret"), false);

  main.reset();
  start();
  answer("Secret");
  EXPECT_THAT(texts(), ::testing::ElementsAre("密码错误,您没有修改计划的权限"));
}

TEST_F(AdministrationTest, APlainPasswordOfAnEarlierVersionIsAcceptedAndNextWrittenAsItsHash) {
  storeValue("Secret");
  auto& w = start();
  answer("secret");
  EXPECT_EQ(texts().size(), 1u);
  w.chooseMenu(kGetRights);
  answer("Secret");
  EXPECT_TRUE(w.isEnabled(kContent));
  EXPECT_EQ(storedValue(), "Secret") << "checking it writes nothing";

  // Any password write stores the hash, here one that keeps the password.
  w.chooseMenu(kSetPassword);
  answer("Secret");
  HeadlessWindow* d = open("设置密码窗口");
  ASSERT_NE(d, nullptr);
  d->type(kOldPassword, "Secret");
  d->click(kSetOk);
  EXPECT_THAT(texts(), ::testing::ElementsAre("新密码不能为空"));
  EXPECT_TRUE(isPasswordHash(storedValue())) << storedValue();
  EXPECT_EQ(passwordMatches(env.crypto, storedValue(), "Secret"), true);
  // And the rewrites of the list carry the hash on.
  w.clickRow(kSequentialList, 1);
  w.click(kMoveUp);
  EXPECT_EQ(passwordMatches(env.crypto, storedValue(), "Secret"), true);
}

TEST_F(AdministrationTest, DeletingThePasswordKeepsTheRightsAndTheItems) {
  storePassword("Secret");
  auto& w = start();
  answer("Secret");
  w.clickRow(kSequentialList, 0);
  w.chooseMenu(kDeletePassword);
  EXPECT_EQ(storedValue(), "");
  EXPECT_NE(fileText("\\time.ini").find("[二]"), std::string::npos);
  EXPECT_FALSE(w.isMenuEnabled(kDeletePassword));
  EXPECT_EQ(w.text(kContent), "") << "the editor was reset";
  EXPECT_EQ(w.listSelection(kSequentialList), -1);
  EXPECT_TRUE(w.isEnabled(kContent));
  w.chooseMenu(kGetRights);
  EXPECT_THAT(texts(), ::testing::ElementsAre("你已经拥有管理权限了"));
  main.reset();
  auto& again = start();
  EXPECT_EQ(open("密码窗口"), nullptr);

  // Set again, deleting is offered again.
  again.chooseMenu(kSetPassword);
  HeadlessWindow* d = open("设置密码窗口");
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->isShown(kOldPassword));
  d->type(kNewPassword, "b");
  d->click(kSetOk);
  EXPECT_TRUE(again.isMenuEnabled(kDeletePassword));
}

TEST_F(AdministrationTest, DeletingIsRefusedWhileLockedEvenWhenAskedForDirectly) {
  storePassword("Secret");
  auto& w = start();
  answer("x");
  texts();
  EXPECT_FALSE(w.chooseMenu(kDeletePassword)) << "disabled";
  w.events().onMenu(kDeletePassword);  // a command sent all the same
  EXPECT_EQ(passwordMatches(env.crypto, storedValue(), "Secret"), true);
  EXPECT_EQ(enabledLockedControls(w), 0);
}

TEST_F(AdministrationTest, APasswordThatCannotBeWrittenIsToldAndNothingChanges) {
  putFile("\\time.ini", join({item("一")}));
  auto& w = start();
  const std::string before = fileText("\\time.ini");
  env.files.unwritable.insert(env.files.path("\\time.ini"));
  w.chooseMenu(kSetPassword);
  HeadlessWindow* d = open("设置密码窗口");
  ASSERT_NE(d, nullptr);
  d->type(kNewPassword, "Neu");
  d->click(kSetOk);
  ASSERT_EQ(env.prompts.shown().size(), 1u) << "no 修改成功";
  EXPECT_EQ(env.prompts.shown()[0].title, kStoreErrorTitle);
  EXPECT_TRUE(d->isOpen()) << "to try again";
  EXPECT_EQ(d->text(kNewPassword), "Neu");
  EXPECT_EQ(fileText("\\time.ini"), before);
  EXPECT_FALSE(w.isMenuEnabled(kDeletePassword));
  texts();

  env.files.unwritable.clear();
  d->click(kSetOk);
  EXPECT_THAT(texts(), ::testing::ElementsAre("修改成功"));

  // A deletion that cannot be written keeps the password, in memory too.
  env.files.unwritable.insert(env.files.path("\\time.ini"));
  w.chooseMenu(kDeletePassword);
  EXPECT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_TRUE(w.isMenuEnabled(kDeletePassword));
  env.files.unwritable.clear();
  w.chooseMenu(kGetRights);
  EXPECT_THAT(texts().back(), "你已经拥有管理权限了");
  w.chooseMenu(kSetPassword);
  EXPECT_NE(open("密码窗口"), nullptr) << "the password is still stored";
}

TEST_F(AdministrationTest, AFailingSystemCryptographyIsToldAndStoresNothing) {
  auto& w = start();
  env.crypto.failRandom = true;
  w.chooseMenu(kSetPassword);
  HeadlessWindow* d = open("设置密码窗口");
  ASSERT_NE(d, nullptr);
  d->type(kNewPassword, "Neu");
  d->click(kSetOk);
  EXPECT_THAT(texts(), ::testing::ElementsAre(std::string(kCryptoFailed.text)));
  EXPECT_FALSE(env.files.exists(env.files.path("\\time.ini")));
  EXPECT_FALSE(w.isMenuEnabled(kDeletePassword));
}

}  // namespace
}  // namespace temvik::testing

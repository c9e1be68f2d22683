// The editor: loading items, the check-box rules, add and save.

#include "ui/main/item_editor.h"

#include <gtest/gtest.h>
#include <random>

#include "ui/dialogs/password_dialog.h"
#include "ui/main/main_window_fixture.h"

namespace temvik::testing {
namespace {

using namespace main_ids;
using ::testing::ElementsAre;

class ItemEditorTest : public MainWindowTest {
 protected:
  void enterItem(headless::HeadlessWindow& w, const std::string& content, const std::string& h,
                 const std::string& m, const std::string& s) {
    w.type(kContent, content);
    w.type(kHours, h);
    w.type(kMinutes, m);
    w.type(kSeconds, s);
  }
  std::vector<std::string> enabledOf(headless::HeadlessWindow& w,
                                     std::initializer_list<ControlId> ids) {
    std::vector<std::string> names;
    for (ControlId id : ids)
      if (w.isEnabled(id)) names.emplace_back(w.design().control(id)->designName);
    return names;
  }
};

TEST_F(ItemEditorTest, AddWritesTheRecordInKeyOrder) {
  auto& w = start();
  enterItem(w, "背单词", "0", "25", "0");
  w.click(kLock);
  w.click(kAddItem);
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("背单词"));
  EXPECT_EQ(fileText("\\time.ini"),
            "[背单词]\r\n内容=背单词\r\n时=0\r\n分=25\r\n秒=0\r\n是否执行=假\r\n执行名=\r\n"
            "完成退出=假\r\n结束进程=假\r\n进程=\r\n关机=假\r\n重启=假\r\n注销=假\r\n锁定=真\r\n"
            "提示音=假\r\n默认=真\r\n提示音名=\r\n播放=10\r\n禁止名=\r\n禁止进程=假\r\n");
  // The editor is blank again and clean.
  EXPECT_EQ(w.text(kContent), "");
  EXPECT_FALSE(w.isChecked(kLock));
  EXPECT_TRUE(env.prompts.shown().empty());
}

TEST_F(ItemEditorTest, AddRefusesDuplicatesBeforeEmptyAndIgnoresLetterCase) {
  putFile("\\time.ini", join({item("Read")}));
  putFile("\\win.ini", marks({"Read"}));
  auto& w = start();
  w.click(kAddItem);
  w.type(kContent, "read");
  w.click(kAddItem);
  ASSERT_EQ(env.prompts.shown().size(), 2u);
  EXPECT_EQ(env.prompts.shown()[0].text, "请填写任务内容");
  EXPECT_EQ(env.prompts.shown()[1].text, "计划列表里已经有此内容的任务了。");
  EXPECT_EQ(env.prompts.shown()[1].title, "重复");
  EXPECT_EQ(env.prompts.shown()[1].icon, MessageIcon::Information);
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("已完成--Read"));
}

TEST_F(ItemEditorTest, ContentsThatCannotNameASectionAreRefused) {
  auto& w = start();
  for (const char* bad :
       {" 前空格", "后空格\t", "a[b", "x]", "\"引号\"", "密码", "两\n行", "   ", "emoji😀"}) {
    env.prompts.clear();
    w.type(kContent, bad);
    w.click(kAddItem);
    ASSERT_EQ(env.prompts.shown().size(), 1u) << bad;
    EXPECT_EQ(env.prompts.shown()[0].title, "请修改") << bad;
    EXPECT_EQ(env.prompts.shown()[0].icon, MessageIcon::Information);
  }
  EXPECT_FALSE(env.files.exists(env.files.path("\\time.ini")));
  w.type(kContent, "中间 有空格");
  w.click(kAddItem);
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("中间 有空格"));
}

TEST_F(ItemEditorTest, NewItemsGoBeforeThePasswordSection) {
  putFile("\\time.ini", join({item("一"), {"[密码]", "密码=pw"}}));
  env.ui.onModal("密码窗口", [](headless::HeadlessWindow& dialog) {
    dialog.type(password_ids::kPasswordEntry, "pw");
    dialog.click(password_ids::kPasswordOk);
  });
  auto& w = start();
  w.type(kContent, "二");
  w.click(kAddItem);
  const std::string text = fileText("\\time.ini");
  EXPECT_LT(text.find("[二]"), text.find("[密码]"));
  EXPECT_NE(text.find("密码=pw"), std::string::npos);
  main.reset();
  EXPECT_THAT(start().listRows(kSequentialList), ElementsAre("一", "二"));
}

TEST_F(ItemEditorTest, SelectingARowLoadsEveryKey) {
  putFile("\\time.ini", {"[读书]",
                         "内容=读书",
                         "时=1",
                         "分=2",
                         "秒=3",
                         "是否执行=真",
                         "执行名=a.exe,",
                         "结束进程=真",
                         "进程=qq.exe,",
                         "禁止进程=真",
                         "禁止名=game.exe,",
                         "提示音=真",
                         "默认=假",
                         "提示音名=C:\\铃声.mp3",
                         "播放=30",
                         "断点1名=休息",
                         "断点1时间=70",
                         "断点1音=C:\\a.wav",
                         "断点3名=喝水",
                         "断点3时间=90",
                         "断点3音="});
  auto& w = start();
  w.clickRow(kSequentialList, 0);
  EXPECT_EQ(w.text(kContent), "读书");
  EXPECT_EQ(w.text(kHours), "1");
  EXPECT_EQ(w.text(kMinutes), "2");
  EXPECT_EQ(w.text(kSeconds), "3");
  EXPECT_EQ(w.text(kPlayTime), "30");
  EXPECT_EQ(w.text(kMediaPath), "C:\\铃声.mp3");
  EXPECT_TRUE(w.isChecked(kRunProgram));
  EXPECT_TRUE(w.isChecked(kEndProcesses));
  EXPECT_TRUE(w.isChecked(kForbidProcesses));
  EXPECT_TRUE(w.isChecked(kMedia));
  EXPECT_FALSE(w.isChecked(kUseDefault));
  EXPECT_THAT(enabledOf(w, {kChooseProgram, kChooseEndProcess, kChooseForbidden, kMediaPath,
                            kOpenMedia, kUseDefault, kPlayTime}),
              ElementsAre("超级按钮7", "超级按钮3", "超级按钮12", "编辑框5", "超级按钮9", "选择框3",
                          "编辑框7"));
  // Saving it back writes the same values, prompt points renumbered without gaps.
  w.click(kSaveItem);
  const std::string text = fileText("\\time.ini");
  EXPECT_NE(text.find("执行名=a.exe,\r\n完成退出=假\r\n结束进程=真\r\n进程=qq.exe,"),
            std::string::npos);
  EXPECT_NE(text.find("提示音=真\r\n默认=假\r\n提示音名=C:\\铃声.mp3\r\n播放=30\r\n禁止名=game.exe,"
                      "\r\n禁止进程=真\r\n断点1名=休息\r\n断点1时间=70\r\n断点1音=C:\\a.wav\r\n"
                      "断点2名=喝水\r\n断点2时间=90\r\n断点2音=\r\n"),
            std::string::npos)
      << text;
}

TEST_F(ItemEditorTest, AnExitItemLoadsWithMediaDisabledAndUnread) {
  putFile("\\time.ini",
          {"[退]", "内容=退", "完成退出=真", "提示音=真", "默认=假", "提示音名=x.mp3"});
  auto& w = start();
  w.clickRow(kSequentialList, 0);
  EXPECT_TRUE(w.isChecked(kExitWhenDone));
  EXPECT_THAT(enabledOf(w, {kMedia, kUseDefault, kMediaPath, kPlayTime, kOpenMedia}),
              ::testing::IsEmpty());
  EXPECT_TRUE(w.isChecked(kUseDefault)) << "默认 was not read";
}

TEST_F(ItemEditorTest, EndProcessesAloneLeavesForbidOff) {
  putFile("\\time.ini", {"[甲]", "内容=甲", "结束进程=真", "禁止进程=假"});
  auto& w = start();
  w.clickRow(kSequentialList, 0);
  EXPECT_TRUE(w.isChecked(kEndProcesses));
  EXPECT_FALSE(w.isChecked(kForbidProcesses));
  EXPECT_FALSE(w.isEnabled(kChooseForbidden));
}

TEST_F(ItemEditorTest, PowerActionsExcludeEachOtherAndTheEndOptions) {
  auto& w = start();
  w.click(kRunProgram);
  EXPECT_TRUE(w.isEnabled(kChooseProgram));
  w.click(kShutdown);
  EXPECT_THAT(enabledOf(w, {kExitWhenDone, kRunProgram, kChooseProgram, kEndProcesses, kMedia,
                            kUseDefault, kPlayTime, kRestart, kLogOff, kLock, kShutdown}),
              ElementsAre("选择框6"));
  w.click(kShutdown);
  EXPECT_TRUE(w.isChecked(kRunProgram));
  EXPECT_TRUE(w.isEnabled(kChooseProgram));
  EXPECT_THAT(enabledOf(w, {kMedia, kUseDefault, kPlayTime, kRestart, kLogOff, kLock}),
              ElementsAre("选择框2", "选择框3", "编辑框7", "选择框7", "选择框8", "选择框9"));
  // The program flag stays off until its box is clicked again.
  w.type(kContent, "关机前");
  w.click(kAddItem);
  EXPECT_NE(fileText("\\time.ini").find("是否执行=假"), std::string::npos);
}

TEST_F(ItemEditorTest, MediaBoxesFollowEachOther) {
  auto& w = start();
  w.click(kUseDefault);  // untick: a file of one's own
  EXPECT_TRUE(w.isEnabled(kMediaPath));
  EXPECT_TRUE(w.isEnabled(kOpenMedia));
  w.click(kMedia);  // untick: no media at all
  EXPECT_THAT(enabledOf(w, {kUseDefault, kMediaPath, kOpenMedia, kPlayTime}), ::testing::IsEmpty());
  w.click(kMedia);
  EXPECT_TRUE(w.isEnabled(kMediaPath)) << "use-default is still unticked";
  w.click(kExitWhenDone);
  EXPECT_FALSE(w.isEnabled(kMedia));
  w.click(kExitWhenDone);
  EXPECT_TRUE(w.isEnabled(kMedia));
  EXPECT_TRUE(w.isEnabled(kOpenMedia));
}

TEST_F(ItemEditorTest, MediaDialogSetsThePathEvenAfterACancel) {
  auto& w = start();
  w.click(kUseDefault);
  env.prompts.chooseFile("D:\\音乐\\铃.mp3");
  w.click(kOpenMedia);
  EXPECT_EQ(w.text(kMediaPath), "D:\\音乐\\铃.mp3");
  EXPECT_NE(env.prompts.lastFilter().find("MP3文件(*.mp3)|*.mp3|WAV文件(*.wav)"),
            std::string::npos);
  env.prompts.chooseFile(std::nullopt);
  w.setText(kMediaPath, "");
  w.click(kOpenMedia);
  EXPECT_EQ(w.text(kMediaPath), "D:\\音乐\\铃.mp3");
}

TEST_F(ItemEditorTest, SaveGuards) {
  putFile("\\time.ini", join({item("一"), item("二")}));
  putFile("\\win.ini", marks({"一"}));
  {
    auto& w = start();
    w.clickRow(kSequentialList, 1);
    w.click(kSaveItem);
    EXPECT_EQ(env.prompts.takeTexts(),
              std::vector<std::string>{"清除了所有已完成标记后才能进行保存操作"});
  }
  env.files.remove(env.files.path("\\win.ini"));
  auto& w = start();
  w.click(kSaveItem);
  EXPECT_TRUE(env.prompts.shown().empty()) << "nothing loaded yet: the button does nothing";
  w.clickRow(kSequentialList, 1);
  w.type(kContent, "一");
  w.click(kSaveItem);
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].text, "计划列表里已经有此内容的计划了。");
  EXPECT_EQ(env.prompts.shown()[0].title, "重复");
  env.prompts.clear();
  w.type(kContent, "二");  // unchanged content is fine
  w.type(kMinutes, "45");
  w.click(kSaveItem);
  EXPECT_TRUE(env.prompts.shown().empty());
  EXPECT_NE(fileText("\\time.ini").find("[二]\r\n内容=二\r\n时=0\r\n分=45"), std::string::npos);
}

TEST_F(ItemEditorTest, SaveWithANewContentRenamesTheItemInPlace) {
  putFile("\\name.ini", {"[名称]", "名称=", "同步=晨读"});
  putFile("\\time.ini", join({item("一"), item("二"), item("三"), {"[密码]", "密码="}}));
  auto& w = start();
  w.clickRow(kSequentialList, 1);
  w.type(kContent, "贰");
  w.click(kSaveItem);
  EXPECT_THAT(w.listRows(kSequentialList), ElementsAre("一", "贰", "三"));
  const std::string text = fileText("\\time.ini");
  EXPECT_EQ(text.find("[二]"), std::string::npos);
  EXPECT_LT(text.find("[贰]"), text.find("[三]"));
  EXPECT_LT(text.find("[三]"), text.find("[密码]"));
  EXPECT_EQ(w.listSelection(kSequentialList), -1);
  EXPECT_EQ(w.text(kContent), "三") << "the editor holds the last item";
  EXPECT_EQ(fileText("\\name.ini"), "[名称]\r\n名称=默认计划\r\n同步=晨读\r\n");
}

TEST_F(ItemEditorTest, UnsavedEditsAreOfferedBeforeAnotherRowLoads) {
  putFile("\\time.ini", join({item("一"), item("二")}));
  auto& w = start();
  w.clickRow(kSequentialList, 0);
  w.type(kMinutes, "9");
  env.prompts.answer(MessageAnswer::Yes);
  w.clickRow(kSequentialList, 1);
  ASSERT_EQ(env.prompts.shown().size(), 1u);
  EXPECT_EQ(env.prompts.shown()[0].text, "您正在编辑的项未保存，是否保存？");
  EXPECT_EQ(env.prompts.shown()[0].buttons, MessageButtons::YesNo);
  EXPECT_NE(fileText("\\time.ini").find("[一]\r\n内容=一\r\n时=0\r\n分=9"), std::string::npos);
  EXPECT_EQ(w.text(kContent), "二");
  // No: the edit is dropped, and the question is not asked twice.
  w.type(kMinutes, "7");
  env.prompts.answer(MessageAnswer::No);
  w.clickRow(kSequentialList, 0);
  w.clickRow(kSequentialList, 1);
  EXPECT_EQ(env.prompts.shown().size(), 2u);
  EXPECT_EQ(w.text(kMinutes), "1");
}

TEST_F(ItemEditorTest, YesWhileTheFirstRowIsMarkedShowsTheRefusalAndStillLoads) {
  putFile("\\time.ini", join({item("一"), item("二")}));
  putFile("\\win.ini", marks({"一"}));
  auto& w = start();
  w.clickRow(kSequentialList, 1);
  w.type(kContent, "改");
  w.clickRow(kSequentialList, 0);
  EXPECT_EQ(env.prompts.takeTexts(),
            (std::vector<std::string>{"您正在编辑的项未保存，是否保存？",
                                      "清除了所有已完成标记后才能进行保存操作"}));
  EXPECT_EQ(w.text(kContent), "一");
}

TEST_F(ItemEditorTest, PromptPointButtonRefusesWhileMarked) {
  putFile("\\time.ini", join({item("一")}));
  putFile("\\win.ini", marks({"一"}));
  auto& w = start();
  w.clickRow(kSequentialList, 0);
  w.click(kPromptPoints);
  EXPECT_EQ(env.prompts.takeTexts(),
            std::vector<std::string>{"清除了所有已完成标记后才能进行此操作"});
}

}  // namespace
}  // namespace temvik::testing

namespace temvik::testing {
namespace {

// The lists and the start checks take a row as the editor would show it,
// without loading it: both ways must agree for every stored record.
TEST(EditorModelTest, ARowTakenWithoutTheEditorIsWhatTheEditorShows) {
  headless::Headless env;
  WindowEvents events;
  auto window = env.ui.createWindow(mainWindowDesign(), events, nullptr);
  AppState state;
  ItemEditor editor(*window, state);
  std::mt19937 rng(42);
  const std::vector<std::string> flags = {"真", "假", "", "是"};
  const std::vector<std::string> texts = {"", "0", "25", "１０", "a", "C:\\音\\铃.wav", "x.exe,"};
  auto pick = [&](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
  };
  for (int i = 0; i < 2000; ++i) {
    ItemRecord r;
    r.content = "项" + std::to_string(i);
    r.hours = pick(texts);
    r.minutes = pick(texts);
    r.seconds = pick(texts);
    r.playSeconds = pick(texts);
    r.programList = pick(texts);
    r.processList = pick(texts);
    r.forbiddenList = pick(texts);
    r.mediaPath = pick(texts);
    for (std::string* flag : {&r.runProgram, &r.exitApp, &r.endProcesses, &r.shutdown, &r.restart,
                              &r.logOff, &r.lock, &r.media, &r.useDefault, &r.forbid})
      *flag = pick(flags);
    if (i % 3 == 0) r.promptPoints = {{"休息", pick(texts), pick(texts)}};
    editor.reset();
    editor.load(r);
    ASSERT_EQ(editor.runItem(), ItemEditor::shownAfterLoad(r)) << "record " << i;
    ASSERT_EQ(editor.record(), ItemEditor::recordOf(ItemEditor::shownAfterLoad(r)));
  }
}

}  // namespace
}  // namespace temvik::testing

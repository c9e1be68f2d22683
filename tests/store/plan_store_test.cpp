#include "store/plan_store.h"

#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "store/gbk.h"

namespace temvik {
namespace {

using Rows = std::vector<std::string>;

class PlanStoreTest : public ::testing::Test {
 protected:
  // Puts a file given as UTF-8 text, stored in GBK.
  void put(std::string_view part, std::string_view utf8) {
    files.put(files.path(part), utf8ToGbk(utf8));
  }
  headless::MemoryFiles files{"C:\\plan"};
  PlanStore store{files};
};

TEST_F(PlanStoreTest, LoadsTheListWithMarksByPosition) {
  put(kItemFile, "[甲]\r\n内容=甲\r\n[乙]\r\n内容=乙\r\n[丙]\r\n内容=丙\r\n");
  // Pairing goes by position, not by name; the third row has no mark section.
  put(kMarkFile, "[甲]\r\nwin=已完成--\r\n[别的]\r\nwin=已完成--\r\n");
  files.reads = 0;
  EXPECT_EQ(store.loadList(kItemFile, kMarkFile, kMarkKey),
            (Rows{"已完成--甲", "已完成--乙", "丙"}));
  EXPECT_EQ(files.reads, 2);  // each file once
  EXPECT_EQ(store.loadList(kItemFile, "", kMarkKey), (Rows{"甲", "乙", "丙"}));
  EXPECT_EQ(store.loadList(kItemFile, kScratchMarkFile, kMarkKey), (Rows{"甲", "乙", "丙"}));
  EXPECT_EQ(store.loadList(kTimedItemFile, kTimedMarkFile, kTimedMarkKey), Rows{});
}

TEST_F(PlanStoreTest, ListPassesOverEverySectionThatIsNoItem) {
  // A section without a content, the password (even with a content) and a
  // repeated name are no items, and no end: the items after them count.
  put(kItemFile,
      "[甲]\r\n内容=甲\r\n[密码]\r\n密码=abc\r\n内容=密\r\n[乙]\r\n内容=乙\r\n[空]\r\n时=1\r\n"
      "[丁]\r\n内容=丁\r\n[甲]\r\n内容=又一个甲\r\n[说明]\r\n作者=某人\r\n[戊]\r\n内容=戊\r\n");
  put(kMarkFile, "[甲]\r\nwin=已完成--\r\n[乙]\r\nwin=已完成--\r\n");
  EXPECT_EQ(store.loadList(kItemFile, kMarkFile, kMarkKey),
            (Rows{"已完成--甲", "已完成--乙", "丁", "戊"}));
  EXPECT_EQ(store.readPassword(), "abc");
}

TEST_F(PlanStoreTest, SeesEverySectionHoweverLongTheNames) {
  std::string file;
  Rows expected;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "第" + std::to_string(i) + "项很长很长的任务内容";
    file += "[" + name + "]\r\n内容=" + name + "\r\n";
    expected.push_back(name);
  }
  put(kItemFile, file);
  EXPECT_EQ(store.loadList(kItemFile, kMarkFile, kMarkKey), expected);
  EXPECT_EQ(store.positionalRead(kItemFile, 40, kContentKey), expected[39]);
  EXPECT_EQ(store.positionalRead(kItemFile, 41, kContentKey), "");
  EXPECT_EQ(store.positionalRead(kItemFile, 0, kContentKey), "");
  EXPECT_EQ(store.sectionList(kItemFile).substr(0, expected[0].size() + 2), expected[0] + "\r\n");
}

TEST_F(PlanStoreTest, SectionListAndSingleKeyAccess) {
  EXPECT_EQ(store.sectionList(kItemFile), "");
  store.write(kItemFile, "甲", "内容", "甲");
  store.write(kItemFile, "乙", "内容", "乙");
  store.write(kItemFile, "甲", "时", "1");
  EXPECT_EQ(files.read(files.path(kItemFile)),
            utf8ToGbk("[甲]\r\n内容=甲\r\n时=1\r\n[乙]\r\n内容=乙\r\n"));
  EXPECT_EQ(store.sectionList(kItemFile), "甲\r\n乙");
  EXPECT_EQ(store.read(kItemFile, "甲", "时"), "1");
  files.writes = 0;
  store.write(kItemFile, "甲", "时", "1");
  EXPECT_EQ(files.writes, 0);
  EXPECT_EQ(store.path(kItemFile), "C:\\plan\\time.ini");
}

TEST_F(PlanStoreTest, PlanNamesDefaultInMemoryOnly) {
  put(kPlanNameFile, "[名称]\r\n名称=\r\n");
  files.writes = 0;
  const PlanNames names = store.readPlanNames();
  EXPECT_EQ(names.sequential, kDefaultPlanName);
  EXPECT_EQ(names.timed, kDefaultTimedName);
  EXPECT_EQ(files.writes, 0);
  put(kPlanNameFile, "[名称]\r\n名称=晨读\r\n同步=午休\r\n");
  EXPECT_EQ(store.readPlanNames().sequential, "晨读");
  EXPECT_EQ(store.readPlanNames().timed, "午休");
}

TEST(Rows, FinishedRowsBeginWithTheMark) {
  EXPECT_TRUE(isFinishedRow("已完成--读书"));
  EXPECT_FALSE(isFinishedRow("读书已完成--"));
  EXPECT_FALSE(isFinishedRow("已完成的作业"));
  EXPECT_EQ(sectionOfRow("已完成--读书"), "读书");
  EXPECT_EQ(sectionOfRow("读书"), "读书");
  EXPECT_EQ(sectionOfRow("已完成的作业"), "已完成的作业");
  EXPECT_EQ(firstUnfinishedRow({"已完成--a", "已完成--b", "c"}), 2);
  EXPECT_EQ(firstUnfinishedRow({"已完成--a"}), -1);
  EXPECT_EQ(firstUnfinishedRow({}), -1);
}

ItemRecord sampleItem() {
  return {"背单词",  "0",          "25", "0",
          "真",      "C:\\a.exe,", "假", "真",
          "qq.exe,", "假",         "假", "假",
          "真",      "真",         "假", "D:\\铃.mp3",
          "10",      "game.exe,",  "真", {{"休息", "300005", "C:\\1.wav"}, {"喝水", "600000", ""}}};
}

TEST(ItemRecords, WriteInTheStoredKeyOrder) {
  IniDocument doc;
  writeItem(doc, "背单词", sampleItem());
  EXPECT_EQ(
      doc.serialize(),
      "[背单词]\r\n内容=背单词\r\n时=0\r\n分=25\r\n秒=0\r\n是否执行=真\r\n执行名=C:\\a.exe,\r\n"
      "完成退出=假\r\n结束进程=真\r\n进程=qq.exe,\r\n关机=假\r\n重启=假\r\n注销=假\r\n"
      "锁定=真\r\n提示音=真\r\n默认=假\r\n提示音名=D:\\铃.mp3\r\n播放=10\r\n"
      "禁止名=game.exe,\r\n禁止进程=真\r\n断点1名=休息\r\n断点1时间=300005\r\n"
      "断点1音=C:\\1.wav\r\n断点2名=喝水\r\n断点2时间=600000\r\n断点2音=\r\n");
  EXPECT_EQ(readItem(doc, "背单词"), sampleItem());

  ItemRecord fewer = sampleItem();
  fewer.promptPoints.pop_back();
  writeItem(doc, "背单词", fewer);
  EXPECT_EQ(readItem(doc, "背单词"), fewer);
}

TEST(ItemRecords, ReadTestsEachPromptPointAndTheFlagRules) {
  const auto doc = IniDocument::parse(
      "[a]\r\n内容=a\r\n断点1时间=\r\n断点2名=二\r\n断点2时间=5\r\n断点4时间=7\r\n断点4音=x\r\n");
  const ItemRecord item = readItem(doc, "a");
  EXPECT_EQ(item.promptPoints, (std::vector<PromptPointRecord>{{"二", "5", ""}, {"", "7", "x"}}));
  EXPECT_EQ(item.useDefault, "");
  EXPECT_TRUE(readUseDefault(item.useDefault));
  EXPECT_TRUE(readUseDefault("真"));
  EXPECT_FALSE(readUseDefault("假"));
  EXPECT_TRUE(readFlag("真"));
  EXPECT_FALSE(readFlag("是"));
  EXPECT_FALSE(readFlag(""));
}

}  // namespace
}  // namespace temvik

#include "store/ini.h"

#include <gtest/gtest.h>

namespace temvik {
namespace {

// A hand-edited file, and what WritePrivateProfileString leaves of it after
// adding one key (as measured on the Win32 API).
constexpr std::string_view kOddFile =
    "top line\n; comment\n\n\n[Sec]  \n  k1  =  v1  \nk2=\"quoted\"\nk3='single'\n"
    "k4=\"half\nk5=\"\nk6=\"\"\nnovalue\n=noname\n\n\n[ spaced ]\nk=1\n[junk] after\nk=2\n"
    "[bad\nk=3\n[]\nk=4\n[sec]\nk=dup\n\t　ideo　=　v　\n";
constexpr std::string_view kOddFileRewritten =
    "top line\r\n; comment\r\n[Sec]\r\nk1=v1\r\nk2=\"quoted\"\r\nk3='single'\r\nk4=\"half\r\n"
    "k5=\"\r\nk6=\"\"\r\nnovalue\r\n=noname\r\nK9=new\r\n[spaced]\r\nk=1\r\n[junk]\r\nk=2\r\n"
    "[bad\r\nk=3\r\n[]\r\nk=4\r\n[sec]\r\nk=dup\r\n　ideo　=　v　\r\n";

TEST(IniDocument, ReadsValuesAsTheProfileRoutinesDo) {
  const auto doc = IniDocument::parse(kOddFile);
  EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"Sec", "spaced", "junk", "", "sec"}));
  EXPECT_EQ(doc.get("SEC", "K1"), "v1");
  EXPECT_EQ(doc.get(" sec ", "k2"), "quoted");
  EXPECT_EQ(doc.get("sec", "k3"), "single");
  EXPECT_EQ(doc.get("sec", "k4"), "\"half");
  EXPECT_EQ(doc.get("sec", "k5"), "\"");
  EXPECT_EQ(doc.get("sec", "k6"), "");
  EXPECT_EQ(doc.get("sec", ""), "noname");
  EXPECT_EQ(doc.get("sec", "novalue"), std::nullopt);
  EXPECT_EQ(doc.get("sec", "k"), std::nullopt);  // only in the second [sec]
  EXPECT_EQ(doc.get("junk", "k"), "2");
  EXPECT_EQ(doc.get("bad", "k"), std::nullopt);
  EXPECT_EQ(doc.value("nowhere", "k"), "");
  EXPECT_FALSE(doc.hasSection("junk] after"));
  // "[]" is a section of its own, named "": the lines before the first
  // header belong to none.
  EXPECT_EQ(doc.get("", "k"), "4");
  EXPECT_EQ(doc.get(" ", "k"), "4");
  EXPECT_EQ(doc.get("", "top line"), std::nullopt);
  EXPECT_EQ(IniDocument::parse("x=1\r\n[a]\r\n").get("", "x"), std::nullopt);
}

TEST(IniDocument, RewritesAFileAsWritePrivateProfileStringDoes) {
  auto doc = IniDocument::parse(kOddFile);
  EXPECT_FALSE(doc.set("sec", "k1", "v1"));  // unchanged: the caller keeps the file as it is
  EXPECT_TRUE(doc.set("SEC", "K9", "new"));
  EXPECT_EQ(doc.serialize(), kOddFileRewritten);

  const auto headers = IniDocument::parse("[a]b]\r\n[ c ] d ]\r\n k = = v \r\n[g]\rk=1\rj=2\r");
  EXPECT_EQ(headers.sectionNames(), (std::vector<std::string>{"a]b", "c ] d", "g"}));
  EXPECT_EQ(headers.get("c ] d", "k"), "= v");
  EXPECT_EQ(headers.get("g", "j"), "2");
}

TEST(IniDocument, AppendsSectionsAndKeysWithoutBlankLines) {
  IniDocument doc;
  EXPECT_TRUE(doc.empty());
  doc.set("任务一", "内容", "任务一");
  EXPECT_EQ(doc.serialize(), "[任务一]\r\n内容=任务一\r\n");
  doc.set("任务二", "内容", "任务二");
  doc.set("任务一", "时", "  1  ");
  doc.set("任务一", "内容", "改");
  EXPECT_EQ(doc.serialize(), "[任务一]\r\n内容=改\r\n时=1  \r\n[任务二]\r\n内容=任务二\r\n");
  EXPECT_EQ(doc.get("任务一", "时"), "1");

  auto trailing = IniDocument::parse("x=1\r\n[a]\r\nk=1\r\n\r\n\x1a");
  trailing.set("b", "k", "v");
  EXPECT_EQ(trailing.serialize(), "x=1\r\n[a]\r\nk=1\r\n[b]\r\nk=v\r\n");

  // A section named "" keeps its header through every change, with no keys too.
  auto unnamed = IniDocument::parse("x=1\r\n[a]\r\n[]\r\n[b]\r\nk=1\r\n");
  EXPECT_FALSE(IniDocument::parse("[]\r\n").empty());
  unnamed.set("b", "j", "2");
  unnamed.removeKey("", "x");  // the line before the first header is in no section
  EXPECT_EQ(unnamed.serialize(), "x=1\r\n[a]\r\n[]\r\n[b]\r\nk=1\r\nj=2\r\n");
  unnamed.set("", "y", "3");
  EXPECT_EQ(unnamed.serialize(), "x=1\r\n[a]\r\n[]\r\ny=3\r\n[b]\r\nk=1\r\nj=2\r\n");
  EXPECT_TRUE(unnamed.removeSection(""));
  EXPECT_EQ(unnamed.serialize(), "x=1\r\n[a]\r\n[b]\r\nk=1\r\nj=2\r\n");
  IniDocument fresh;
  fresh.set("", "k", "v");
  EXPECT_EQ(fresh.serialize(), "[]\r\nk=v\r\n");
}

TEST(IniDocument, RemovesKeysAndSections) {
  auto doc = IniDocument::parse("[a]\r\nx=1\r\nz=3\r\n[b]\r\ny=2\r\n[A]\r\nw=4\r\n");
  EXPECT_TRUE(doc.removeKey("a", "X"));
  EXPECT_TRUE(doc.removeKey("a", "w"));  // from the second [A]
  EXPECT_FALSE(doc.removeKey("a", "nothing"));
  EXPECT_TRUE(doc.removeSection("B"));
  EXPECT_FALSE(doc.removeSection("b"));
  EXPECT_EQ(doc.serialize(), "[a]\r\nz=3\r\n[A]\r\n");
  EXPECT_EQ(doc.get("b", "y"), std::nullopt);
  doc.removeSection("a");
  doc.removeSection("a");
  EXPECT_TRUE(doc.empty());
  EXPECT_EQ(doc.serialize(), "");
}

}  // namespace
}  // namespace temvik

// The update page: what is taken from it, which version counts as newer, and
// the name a download may be stored under.

#include "update/update_page.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace temvik::testing {
namespace {

std::string page(const std::string& latest, const std::string& more = "") {
  return "<html><p>////开始</p><p>最新版=" + latest + "</p>" + more + "<p>////结束</p></html>";
}

TEST(UpdatePage, ExtractionTakesTheFirstMarkersAndIsHarmlessWithoutThem) {
  EXPECT_EQ(extractBetween("a=1;b=2;a=3;", "a=", ";"), "1");
  EXPECT_EQ(extractBetween("x=1", "x=", ";"), "1");  // no end: the rest
  EXPECT_EQ(extractBetween("nothing here", "a=", ";"), "");
  EXPECT_EQ(extractBetween("", "a=", ";"), "");
  // The end is looked for after the start only.
  EXPECT_EQ(extractBetween(";a=5;", "a=", ";"), "5");
}

TEST(UpdatePage, OnlyAVersionAboveTheCurrentOneIsOffered) {
  EXPECT_FALSE(newerVersionOffered(page("1.0"), "1.0"));
  EXPECT_FALSE(newerVersionOffered(page("1.00000001"), "1.0"));  // within the tolerance
  EXPECT_FALSE(newerVersionOffered(page("0.9"), "1.0"));
  EXPECT_FALSE(newerVersionOffered(page(""), "1.0"));
  EXPECT_FALSE(newerVersionOffered(page("新"), "1.0"));
  EXPECT_FALSE(newerVersionOffered("最新版=2.0</p>", "1.0")) << "outside the body markers";
  EXPECT_FALSE(newerVersionOffered("", "1.0"));
  EXPECT_TRUE(newerVersionOffered(page("1.1"), "1.0"));
  EXPECT_TRUE(newerVersionOffered(page("2"), "1.0"));
  EXPECT_TRUE(newerVersionOffered(page("1.0.1"), "0.9")) << "read as far as it is a number";
}

TEST(UpdatePage, TheOfferCarriesAddressMethodAndNotesWithoutTags) {
  const auto offer = newerVersionOffered(
      page("1.2",
           "<p>下载地址=https://temvik.cn/down/temvik1.2.zip</p><p>下载方式=下载文件</p>"
           "<p>更新说明=<p>修正了提示点。</p><p>加快了启动。</p>更新说明结束</p>"),
      "1.0");
  ASSERT_TRUE(offer);
  EXPECT_EQ(*offer, (UpdateOffer{"1.2", "https://temvik.cn/down/temvik1.2.zip", "下载文件",
                                 "修正了提示点。加快了启动。"}));
  EXPECT_EQ(updateQuestion("1.0", *offer),
            "当前版本：1.0\r\n最新版本：1.2\r\n更新内容：\r\n修正了提示点。加快了启动。");
}

TEST(DownloadName, TheLastPartOfTheAddressWhenItIsAPlainFileName) {
  EXPECT_EQ(downloadFileName("https://temvik.cn/down/Temvik1.2.zip"), "Temvik1.2.zip");
  EXPECT_EQ(downloadFileName("http://h/新版.exe"), "新版.exe");
  for (const char* refused :
       {"", "no-slash.zip", "https://h/", "https://h/.", "https://h/..", "https://h/a\\..\\b.exe",
        "https://h/C:x.exe", "https://h/a?x=1", "https://h/a*.exe", "https://h/con",
        "https://h/CON.txt", "https://h/Lpt1.zip", "https://h/com9", "https://h/trailing.",
        "https://h/blank ", "https://h/time.ini", "https://h/OUT.INI", "https://h/tab\there"})
    EXPECT_FALSE(downloadFileName(refused)) << refused;
  EXPECT_EQ(downloadFileName("https://h/console.zip"), "console.zip");
  EXPECT_EQ(downloadFileName("https://h/com10.zip"), "com10.zip");
}

// Whatever the address, a name that is given stays in the program's folder.
TEST(DownloadName, NoGeneratedAddressLeavesTheFolderOrHitsAPlanFile) {
  std::mt19937 random(20261209);
  const std::string alphabet = "ab./\\:.. ?*\"<>|\x01iniINI9CONcon";
  for (int n = 0; n < 20000; ++n) {
    std::string address = "https://h/";
    const int length = static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) address += alphabet[random() % alphabet.size()];
    const auto name = downloadFileName(address);
    if (!name) continue;
    EXPECT_EQ(address.substr(address.rfind('/') + 1), *name);
    EXPECT_EQ(name->find_first_of("\\/:*?\"<>|\x01"), std::string::npos) << address;
    EXPECT_NE(*name, ".");
    EXPECT_NE(*name, "..");
    EXPECT_NE(name->back(), '.');
    EXPECT_NE(name->back(), ' ');
    if (name->size() >= 4) {
      std::string tail = name->substr(name->size() - 4);
      for (auto& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      EXPECT_NE(tail, ".ini") << address;
    }
  }
}

}  // namespace
}  // namespace temvik::testing

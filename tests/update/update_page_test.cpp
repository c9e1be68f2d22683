// The update page: what is taken from it, which version counts as newer, and
// the name a download may be stored under.

#include "update/update_page.h"

#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

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

TEST(UpdatePage, AnUpdatePageHasTheBodyAndTheVersionLine) {
  EXPECT_TRUE(isUpdatePage(page("1.0")));
  EXPECT_TRUE(isUpdatePage(page("")));
  EXPECT_TRUE(isUpdatePage("////开始<p>最新版=1.1</p>")) << "the end marker may be missing";
  for (const char* none :
       {"", "<html>维护中</html>", "最新版=2.0</p>", "////开始</p>////结束",
        "////开始<p>最新版=2.0", "////开始<p>最新版</p>", "////开始</p>////结束<p>最新版=2.0</p>"})
    EXPECT_FALSE(isUpdatePage(none)) << none;
}

// Removing "<p>" and "</p>" over and over until none is left, the slow way.
std::string withoutTagsByRepeat(std::string text) {
  for (bool removed = true; removed;) {
    removed = false;
    for (const std::string tag : {"<p>", "</p>"}) {
      if (const auto at = text.find(tag); at != std::string::npos) {
        text.erase(at, tag.size());
        removed = true;
      }
    }
  }
  return text;
}

TEST(UpdatePage, NotesLoseEveryParagraphTagEvenTheOnesRemovalsJoin) {
  EXPECT_EQ(withoutParagraphTags("<<p>p>"), "");
  EXPECT_EQ(withoutParagraphTags("<</p>/p>a<<p><p>p>"), "a");
  EXPECT_EQ(withoutParagraphTags("<br>第一<p>第二</p>"), "<br>第一第二") << "other tags stay";
  std::mt19937 random(20261209);
  const std::vector<std::string> pieces = {"<", ">", "p", "/", "<p>", "</p>", "x", "说"};
  for (int n = 0; n < 20000; ++n) {
    std::string notes;
    for (int i = static_cast<int>(random() % 14); i > 0; --i)
      notes += pieces[random() % pieces.size()];
    const std::string stripped = withoutParagraphTags(notes);
    EXPECT_EQ(stripped, withoutTagsByRepeat(notes)) << notes;
    EXPECT_EQ(stripped.find("<p>"), std::string::npos) << notes;
    EXPECT_EQ(stripped.find("</p>"), std::string::npos) << notes;
  }
  // A page of about the size limit, all nested tags, is read at once.
  const auto started = std::chrono::steady_clock::now();
  const int depth = 170000;
  const std::string nested = std::string(depth, '<') + [&] {
    std::string closes;
    for (int i = 0; i < depth; ++i) closes += "p>";
    return closes;
  }();
  const auto offer = newerVersionOffered(
      page("1.2", "<p>更新说明=" + nested + "完" + nested + "更新说明结束</p>"), "1.0");
  ASSERT_TRUE(offer);
  EXPECT_EQ(offer->notes, "完");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
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

namespace temvik::testing {
namespace {

// Windows keeps the device names in any letter case, before any extension
// and blanks; a name that only begins with one is a plain name.
TEST(DownloadName, EveryDeviceNameIsRefusedInAnyCaseWithAnyExtension) {
  std::vector<std::string> devices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const std::string port : {"COM", "LPT"}) {
    for (char d = '0'; d <= '9'; ++d) devices.push_back(port + d);
    for (const std::string super : {"¹", "²", "³"}) devices.push_back(port + super);
  }
  const std::vector<std::string> tails = {"", ".txt", ".zip.exe", " .zip", "  .exe", ".", ".ini"};
  const std::vector<std::string> extras = {"0", "1", "A", "$", "⁴", "¹"};
  std::mt19937 random(1209);
  for (int n = 0; n < 5000; ++n) {
    std::string device = devices[random() % devices.size()];
    for (char& c : device) {
      if (c >= 'A' && c <= 'Z' && random() % 2) c = static_cast<char>(c - 'A' + 'a');
    }
    const std::string tail = tails[random() % tails.size()];
    EXPECT_FALSE(downloadFileName("https://h/d/" + device + tail)) << device + tail;
    const std::string longer = device + extras[random() % extras.size()] + ".zip";
    EXPECT_EQ(downloadFileName("https://h/d/" + longer), longer);
  }
}

}  // namespace
}  // namespace temvik::testing

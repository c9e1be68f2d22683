#include "store/gbk.h"

#include <gtest/gtest.h>

namespace temvik {
namespace {

TEST(Gbk, EncodesChineseAndEuroAsCodePage936) {
  EXPECT_EQ(utf8ToGbk("任务一"), "\xC8\xCE\xCE\xF1\xD2\xBB");
  EXPECT_EQ(utf8ToGbk("已完成--"), "\xD2\xD1\xCD\xEA\xB3\xC9--");
  EXPECT_EQ(utf8ToGbk("5€"), "5\x80");
  EXPECT_EQ(gbkToUtf8("\xC8\xCE\xCE\xF1\xD2\xBB"), "任务一");
  EXPECT_EQ(gbkToUtf8("\x80"), "€");
  // Cells where code page 936 differs from GB2312 or needs the private area.
  EXPECT_EQ(gbkToUtf8("\xA1\xA4"), "\u00B7");
  EXPECT_EQ(gbkToUtf8("\xA1\xAA"), "\u2014");
  EXPECT_EQ(gbkToUtf8("\xAA\xA1"), "\uE000");
  EXPECT_EQ(gbkToUtf8("\xA1\x40"), "\uE4C6");
  EXPECT_EQ(gbkToUtf8("\xFE\x50"), "\uE815");
  EXPECT_EQ(gbkToUtf8("\xFF"), "\uF8F5");
  EXPECT_EQ(utf8ToGbk("\uF8F5\uE000"), "\xFF\xAA\xA1");
}

TEST(Gbk, EveryCharacterOfTheCodePageRoundTrips) {
  int characters = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string text = gbkToUtf8(bytes);
      if (text == "?") continue;
      ++characters;
      bool lossless = false;
      ASSERT_EQ(utf8ToGbk(text, &lossless), bytes) << std::hex << lead << ' ' << trail;
      ASSERT_TRUE(lossless);
    }
  }
  EXPECT_EQ(characters, 23940);
}

TEST(Gbk, MalformedBytesDecodeToQuestionMarks) {
  EXPECT_EQ(gbkToUtf8("a\x81"), "a?");             // lead byte at the end
  EXPECT_EQ(gbkToUtf8("\x81\x30x"), "?x");         // invalid trail is used up
  EXPECT_EQ(gbkToUtf8("\x81\x7F\xA1\xFF"), "??");  // 0x7F and 0xFF are no trails
  EXPECT_EQ(gbkToUtf8(std::string("\x81\0a", 3)), std::string("?\0a", 3));  // NUL survives
}

TEST(Gbk, CharactersOutsideTheCodePage) {
  bool lossless = true;
  EXPECT_EQ(utf8ToGbk("x²", &lossless), "x2");  // best fit
  EXPECT_FALSE(lossless);
  EXPECT_EQ(utf8ToGbk("😀"), "??");  // one "?" per UTF-16 half
  EXPECT_EQ(utf8ToGbk("\u30FB\uFFFD"), "??");
  EXPECT_EQ(utf8ToGbk("a\xC3"), "a?");
  EXPECT_EQ(utf8ToGbk("\xE4\xB8z"), "?z");
  EXPECT_EQ(utf8ToGbk("\xC0\xAF"), "??");  // overlong '/'
  EXPECT_TRUE(gbkCanEncode("任务 Ёё ＡⅫ €"));
  EXPECT_FALSE(gbkCanEncode("²"));
  EXPECT_FALSE(gbkCanEncode("😀"));
  EXPECT_FALSE(gbkCanEncode("\xFF"));
}

}  // namespace
}  // namespace temvik

#include "platform/win32/wide.h"

#include <gtest/gtest.h>

namespace temvik {
namespace {

TEST(Wide, ChineseAndAstralTextRoundTrips) {
  const std::string text = "非同步计划列表--默认计划 ✓ 😀";
  const std::wstring wide = toUtf16(text);
  EXPECT_EQ(wide, L"非同步计划列表--默认计划 ✓ \U0001F600");
  EXPECT_EQ(wide.size(), 18u);  // the emoji is a surrogate pair
  EXPECT_EQ(toUtf8(wide), text);
}

TEST(Wide, EmptyAndEmbeddedNulsSurvive) {
  EXPECT_EQ(toUtf16(""), L"");
  EXPECT_EQ(toUtf8(L""), "");
  const std::string withNul("a\0中", 5);
  EXPECT_EQ(toUtf8(toUtf16(withNul)), withNul);
}

TEST(Wide, BrokenInputBecomesReplacementCharacters) {
  EXPECT_EQ(toUtf16("a\xff"
                    "b"),
            L"a\uFFFDb");
  EXPECT_EQ(toUtf8(std::wstring(1, wchar_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Wide, TruncationKeepsSurrogatePairsWhole) {
  const std::wstring text = L"剩余\U0001F600时";  // the emoji is units 2 and 3
  EXPECT_EQ(truncatedUtf16(text, 10), text);
  EXPECT_EQ(truncatedUtf16(text, 5), text);
  EXPECT_EQ(truncatedUtf16(text, 4), L"剩余\U0001F600");
  EXPECT_EQ(truncatedUtf16(text, 3), L"剩余");  // not the pair's first half
  EXPECT_EQ(truncatedUtf16(text, 2), L"剩余");
  EXPECT_EQ(truncatedUtf16(text, 0), L"");
}

TEST(Wide, DialogFilterBecomesNulSeparatedPairs) {
  const std::wstring f = toDialogFilter("ini文件(*.ini)|*.ini|ing文件(*.ing)|*.ing");
  const wchar_t expected[] = L"ini文件(*.ini)\0*.ini\0ing文件(*.ing)\0*.ing\0";
  // Two NULs end the list: the last pattern's and the list's own.
  EXPECT_EQ(f, std::wstring(expected, sizeof(expected) / sizeof(wchar_t)));
  EXPECT_EQ(f.substr(f.size() - 2), std::wstring(2, L'\0'));
  EXPECT_EQ(toDialogFilter(""), L"");
}

TEST(Wide, FirstFilterExtensionIsTheDefaultOne) {
  EXPECT_EQ(firstFilterExtension("ini文件(*.ini)|*.ini"), L"ini");
  EXPECT_EQ(firstFilterExtension("MP3文件|*.mp3|WAV文件|*.wav"), L"mp3");
  EXPECT_EQ(firstFilterExtension("图片|*.bmp;*.jpg"), L"bmp");
  EXPECT_EQ(firstFilterExtension("所有文件|*.*"), L"");
  EXPECT_EQ(firstFilterExtension("所有文件|*"), L"");
  EXPECT_EQ(firstFilterExtension(""), L"");
}

}  // namespace
}  // namespace temvik

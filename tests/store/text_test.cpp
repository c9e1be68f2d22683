#include "store/text.h"

#include <gtest/gtest.h>

namespace temvik {
namespace {

TEST(Text, FoldsTheCasedLettersGbkHolds) {
  const std::pair<const char*, const char*> same[] = {
      {"Abc-Z", "aBC-z"}, {"ΑΣΩ", "ασω"}, {"ЁЛКА", "ёлка"},    {"ЯЖ", "яж"},
      {"ＡＺ", "ａｚ"},   {"ⅠⅫ", "ⅰⅻ"},   {"任务Ａ", "任务ａ"}};
  for (const auto& [a, b] : same) {
    EXPECT_TRUE(equalsIgnoreCase(a, b)) << a << " / " << b;
    EXPECT_EQ(foldCase(a), foldCase(b)) << a;
  }
  const std::pair<const char*, const char*> different[] = {
      {"a", "b"}, {"ab", "abc"}, {"任务", "任物"}, {"ǎ", "a"},
      {"Е", "Ё"}, {"ς", "σ"},    {"@", "`"},       {"\xC3", "\xC3\xA3"}};
  for (const auto& [a, b] : different) {
    EXPECT_FALSE(equalsIgnoreCase(a, b)) << a << " / " << b;
    EXPECT_NE(foldCase(a), foldCase(b)) << a;
  }
}

TEST(Text, TrimsProfileBlanksButNotTheIdeographicSpace) {
  EXPECT_EQ(trimBlanks("\t \v\f任务\x1a\r\n"), "任务");
  EXPECT_EQ(trimBlanks("　任务　"), "　任务　");
  EXPECT_EQ(trimBlanks("  "), "");
  EXPECT_EQ(trimLeadingBlanks(" a "), "a ");
  EXPECT_EQ(trimTrailingBlanks(" a "), " a");
}

}  // namespace
}  // namespace temvik

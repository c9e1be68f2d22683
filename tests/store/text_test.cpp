#include "store/text.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

#include "store/gbk.h"
#include "store/ini.h"
#include "store/typed_numbers.h"

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

TEST(Rows, FileBaseNameAndIntegerValue) {
  EXPECT_EQ(fileBaseName("C:\\声音\\bell.mp3"), "bell");
  EXPECT_EQ(fileBaseName("D:\\two.parts.mp3"), "two");
  EXPECT_EQ(fileBaseName("C:\\a.b\\c.d.ini"), "c");
  EXPECT_EQ(fileBaseName("C:/x.y/计划"), "计划");
  EXPECT_EQ(fileBaseName("plan.ini"), "plan");
  EXPECT_EQ(integerValue("  -42abc"), -42);
  EXPECT_EQ(integerValue("+7"), 7);
  EXPECT_EQ(integerValue("x1"), 0);
  EXPECT_EQ(integerValue(""), 0);
  EXPECT_EQ(integerValue("99999999999999999999"), LLONG_MAX);
  EXPECT_EQ(integerValue("-9223372036854775808"), LLONG_MIN);
}

TEST(DurationTest, TextsThatAreNotNumbersCountAsZero) {
  EXPECT_EQ(numberValue(""), 0);
  EXPECT_EQ(numberValue("abc"), 0);
  EXPECT_EQ(numberValue("12分"), 12);
  EXPECT_EQ(numberValue(" -3"), -3);
  EXPECT_DOUBLE_EQ(numberValue("1.5"), 1.5);
}

// A known value typed in any form reads as that value, also after the plan
// file kept it, and sums exactly; the same text with any other control
// character or a letter anywhere in it is no number and counts as 0.
TEST(Text, ANumberReadsAsItsValueInEveryFormAndNothingElseIsOne) {
  testing::TypedNumbers gen(15);
  const std::array<long long, 3> factors = {3600, 60, 1};
  for (int i = 0; i < 3000; ++i) {
    std::array<std::string, 3> plain, texts;
    long long exact = 0;  // the sum of the three times their factors, in units of 10^-4
    for (std::size_t n = 0; n < 3; ++n) {
      plain[n] = gen.plain();
      texts[n] = gen.typed(plain[n]);
      exact += std::llround(std::strtod(plain[n].c_str(), nullptr) * 10000) * factors[n];
    }
    SCOPED_TRACE("typed [" + texts[0] + "] for " + plain[0]);
    const double value = std::strtod(plain[0].c_str(), nullptr);
    IniDocument doc;
    doc.set("项", "分", texts[0]);
    const std::string kept =
        IniDocument::parse(gbkToUtf8(utf8ToGbk(doc.serialize()))).value("项", "分");
    for (const std::string& t : {texts[0], kept}) {
      ASSERT_TRUE(isTypedNumber(t)) << t;
      EXPECT_EQ(numberValue(t), value);
      EXPECT_EQ(integerValue(t), static_cast<long long>(value));
    }
    const std::array<ScaledTerm, 3> terms = {{{texts[0], 3600}, {texts[1], 60}, {texts[2], 1}}};
    EXPECT_EQ(scaledSum(terms), (ScaledSum{exact / 10000, exact % 10000 != 0}));

    const std::string spoiled = gen.spoiled(texts[0]);
    EXPECT_FALSE(isTypedNumber(spoiled)) << spoiled;
    const std::array<ScaledTerm, 1> none = {{{spoiled, 1000}}};
    EXPECT_EQ(scaledSum(none), ScaledSum{});
  }
}

}  // namespace
}  // namespace temvik

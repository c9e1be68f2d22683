#include "store/text.h"

#include <array>
#include <climits>
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

// A number as a user may type it: a known value written with any blanks,
// signs, zeros and full-width forms reads as that value everywhere, also
// after the plan file kept it; the same text with any other control
// character or a letter anywhere in it is no number and counts as 0.
TEST(Text, ANumberReadsAsItsValueInEveryFormAndNothingElseIsOne) {
  testing::TypedNumbers gen(15);
  // A value in units of 10^-4 and its plain decimal form.
  struct Known {
    long long exact;
    std::string plain;
  };
  auto known = [&] {
    const bool negative = gen.below(2) == 0;
    const long long whole = gen.below(3) == 0 ? 0 : gen.below(100000);
    const int scale = static_cast<int>(gen.below(5));
    long long fraction = 0;
    for (int i = 0; i < 4; ++i) fraction = fraction * 10 + (i < scale ? gen.below(10) : 0);
    std::string plain = negative ? "-" : "";
    plain += std::to_string(whole);
    if (scale > 0)
      plain += "." + std::to_string(10000 + fraction).substr(1, static_cast<std::size_t>(scale));
    return Known{(negative ? -1 : 1) * (whole * 10000 + fraction), plain};
  };
  for (int i = 0; i < 3000; ++i) {
    const std::array<Known, 3> ks = {known(), known(), known()};
    const std::string text = gen.typed(ks[0].plain);
    SCOPED_TRACE("typed: [" + text + "] for " + ks[0].plain);
    const double value = std::strtod(ks[0].plain.c_str(), nullptr);
    ASSERT_TRUE(isTypedNumber(text));
    EXPECT_EQ(numberValue(text), value);
    EXPECT_EQ(integerValue(text), ks[0].exact / 10000);
    const std::array<ScaledTerm, 1> one = {{{text, 1}}};
    EXPECT_EQ(scaledSum(one), (ScaledSum{ks[0].exact / 10000, ks[0].exact % 10000 != 0}));

    // What the plan file keeps is the same number.
    IniDocument doc;
    doc.set("项", "分", text);
    const std::string back =
        IniDocument::parse(gbkToUtf8(utf8ToGbk(doc.serialize()))).value("项", "分");
    EXPECT_TRUE(isTypedNumber(back)) << back;
    EXPECT_EQ(numberValue(back), value);
    EXPECT_EQ(integerValue(back), ks[0].exact / 10000);

    // Three numbers times their factors, exactly.
    const std::array<std::string, 3> texts = {text, gen.typed(ks[1].plain), gen.typed(ks[2].plain)};
    const std::array<long long, 3> factors = {3600, 60, 1};
    long long exact = 0;
    std::array<ScaledTerm, 3> terms;
    for (std::size_t n = 0; n < 3; ++n) {
      exact += ks[n].exact * factors[n];
      terms[n] = {texts[n], factors[n]};
    }
    EXPECT_EQ(scaledSum(terms), (ScaledSum{exact / 10000, exact % 10000 != 0}));

    // Anything else anywhere makes it no number, which counts as nothing.
    const std::string spoiled = gen.spoiled(text);
    EXPECT_FALSE(isTypedNumber(spoiled)) << spoiled;
    const std::array<ScaledTerm, 1> none = {{{spoiled, 1000}}};
    EXPECT_EQ(scaledSum(none), ScaledSum{});
  }
  for (const char* blank : {"", " ", "\t", "\u3000 \t"}) {
    EXPECT_TRUE(isTypedNumber(blank));
    EXPECT_EQ(numberValue(blank), 0);
  }
}

}  // namespace
}  // namespace temvik

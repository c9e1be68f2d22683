#include "platform/prompts.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "platform/headless/headless.h"

namespace temvik {
namespace {

// Over generated boxes: the box shows the catalogue's title, icon and
// buttons; each "{}" of the text takes the next value as it stands, and a
// "{}" left without a value stays. The answer is the user's.
TEST(MessageTest, ShowFillsEachPlaceholderInTurnAndKeepsTheRestOfTheBox) {
  const std::vector<std::string> pieces = {"计划", "a", "{", "}", "\n", " ", "{}"};
  std::mt19937 random(20240611);
  auto pick = [&](int most, bool slotsAllowed) {
    std::string text;
    do {
      text.clear();
      for (int n = static_cast<int>(random() % (most + 1)); n > 0; --n)
        text += pieces[random() % pieces.size()];
    } while (!slotsAllowed && text.find("{}") != std::string::npos);
    return text;
  };
  constexpr MessageIcon kIcons[] = {MessageIcon::None, MessageIcon::Information,
                                    MessageIcon::Question, MessageIcon::Warning,
                                    MessageIcon::Error};
  constexpr MessageButtons kButtons[] = {MessageButtons::Ok, MessageButtons::OkCancel,
                                         MessageButtons::YesNo, MessageButtons::YesNoCancel};
  for (int c = 0; c < 300; ++c) {
    const int slots = static_cast<int>(random() % 4);
    const int filled = static_cast<int>(random() % (slots + 1));
    std::vector<std::string> fixed, values;
    std::string text = pick(3, false);
    fixed.push_back(text);
    for (int s = 0; s < slots; ++s) {
      fixed.push_back(pick(3, false));
      text += "{}" + fixed.back();
    }
    std::string expected = fixed[0];
    for (int s = 0; s < slots; ++s) {
      if (s < filled) values.push_back(pick(2, true));
      expected += (s < filled ? values.back() : "{}") + fixed[static_cast<std::size_t>(s) + 1];
    }
    const std::string title = pick(2, true);
    const Message box{text, title, kIcons[random() % 5], kButtons[random() % 4]};

    headless::ScriptedPrompts prompts;
    prompts.answer(MessageAnswer::No);
    const auto v = [&](std::size_t i) { return std::string_view(values[i]); };
    const MessageAnswer answer = filled == 0   ? show(prompts, nullptr, box)
                                 : filled == 1 ? show(prompts, nullptr, box, {v(0)})
                                 : filled == 2 ? show(prompts, nullptr, box, {v(0), v(1)})
                                               : show(prompts, nullptr, box, {v(0), v(1), v(2)});
    SCOPED_TRACE(text);
    EXPECT_EQ(answer, MessageAnswer::No);
    ASSERT_EQ(prompts.shown().size(), 1u);
    const auto& shown = prompts.shown()[0];
    EXPECT_EQ(shown.text, expected);
    EXPECT_EQ(shown.title, title);
    EXPECT_EQ(shown.icon, box.icon);
    EXPECT_EQ(shown.buttons, box.buttons);
  }
}

}  // namespace
}  // namespace temvik

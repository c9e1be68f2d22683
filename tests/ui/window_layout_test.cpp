// Every window of the catalogue: no control covers another unless its design
// says it lies over it (group boxes frame others, so they may), so widening
// a control for its caption cannot hide a neighbour; and its ids stay in
// the blocks it registers.

#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>
#include <set>
#include <string>

#include "platform/id_blocks.h"
#include "ui/main/window_catalogue.h"

namespace temvik {

void PrintTo(const CataloguedWindow& w, std::ostream* out) { *out << w.name; }

namespace testing {
namespace {

bool intersect(const Rect& a, const Rect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

std::string describe(const ControlDesign& c) {
  return std::string(c.designName) + " {" + std::to_string(c.rect.x) + ", " +
         std::to_string(c.rect.y) + ", " + std::to_string(c.rect.width) + ", " +
         std::to_string(c.rect.height) + "}";
}

bool meantToOverlay(const ControlDesign& a, const ControlDesign& b) {
  return a.overlays == b.id || b.overlays == a.id;
}

class WindowLayout : public ::testing::TestWithParam<CataloguedWindow> {};

TEST_P(WindowLayout, NoControlCoversAnotherOutsideGroupBoxesUnlessMarkedSo) {
  const WindowDesign& d = GetParam().design;
  for (size_t i = 0; i < d.controls.size(); ++i) {
    const ControlDesign& a = d.controls[i];
    EXPECT_GT(a.rect.width, 0) << describe(a);
    EXPECT_GT(a.rect.height, 0) << describe(a);
    if (a.overlays != 0) {
      // The mark names a control after it in the table, which keeps it below.
      bool later = false;
      for (size_t j = i + 1; j < d.controls.size(); ++j)
        later = later || d.controls[j].id == a.overlays;
      EXPECT_TRUE(later) << describe(a) << " lies over no later control " << a.overlays;
    }
    // A hidden control covers nothing.
    if (a.kind == ControlKind::GroupBox || a.hidden) continue;
    for (size_t j = i + 1; j < d.controls.size(); ++j) {
      const ControlDesign& b = d.controls[j];
      if (b.kind == ControlKind::GroupBox || b.hidden || meantToOverlay(a, b)) continue;
      EXPECT_FALSE(intersect(a.rect, b.rect)) << describe(a) << " and " << describe(b);
    }
  }
}

TEST_P(WindowLayout, EveryIdIsInABlockTheWindowRegisters) {
  const CataloguedWindow& w = GetParam();
  ASSERT_FALSE(w.idBlocks.empty());
  const auto inItsBlocks = [&](int id) {
    for (const int block : w.idBlocks)
      if (id > block && id < block + id_blocks::kSize) return true;
    return false;
  };
  for (const ControlDesign& c : w.design.controls)
    EXPECT_TRUE(inItsBlocks(c.id)) << describe(c) << " id " << c.id;
  for (const MenuDesign& m : w.design.menus)
    for (const MenuItemDesign& item : m.items)
      if (!item.isSeparator()) {
        EXPECT_TRUE(inItsBlocks(item.id)) << item.designName << " id " << item.id;
      }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, WindowLayout, ::testing::ValuesIn(windowCatalogue()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowCatalogue, WindowsShareABlockOnlyWhenTheyShareTheirIds) {
  // Two designs of one dialog (the two choosers, the two password forms)
  // share their ids; any other two windows keep to blocks of their own.
  std::set<std::string_view> names;
  for (const CataloguedWindow& a : windowCatalogue()) {
    EXPECT_TRUE(names.insert(a.name).second) << a.name << " is listed twice";
    for (const CataloguedWindow& b : windowCatalogue()) {
      if (&a == &b) continue;
      for (const int block : a.idBlocks) {
        if (std::find(b.idBlocks.begin(), b.idBlocks.end(), block) == b.idBlocks.end()) continue;
        EXPECT_EQ(a.idBlocks, b.idBlocks) << a.name << " and " << b.name;
        EXPECT_EQ(a.design.controls.front().id, b.design.controls.front().id)
            << a.name << " and " << b.name << " share block " << block;
      }
    }
  }
}

}  // namespace
}  // namespace testing
}  // namespace temvik

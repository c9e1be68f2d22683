#pragma once

#include <string_view>
#include <vector>

#include "platform/window_design.h"

namespace temvik {

// Every window the program shows, by design. What checks windows as a
// group (the layout rules, the captions on the real screen, the
// screenshots) walks this list, so a new window is checked once it is
// added here.
struct CataloguedWindow {
  std::string_view name;  // identifier the checks report it by, "setSync"
  const WindowDesign& design;
  // The control id blocks of id_blocks.h its controls and menu items use.
  std::vector<int> idBlocks;
};

[[nodiscard]] const std::vector<CataloguedWindow>& windowCatalogue();

// The window named `name`; aborts on a name the catalogue does not hold,
// which is a fault of the caller.
[[nodiscard]] const CataloguedWindow& cataloguedWindow(std::string_view name);

}  // namespace temvik

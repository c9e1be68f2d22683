// The window designs: no control covers another (group boxes frame others,
// so they may), so widening a control for its caption cannot hide a
// neighbour.

#include <gtest/gtest.h>
#include <ostream>
#include <string>

#include "run/change_time_dialog.h"
#include "run/content_note_window.h"
#include "run/give_up_dialog.h"
#include "run/item_finished_dialog.h"
#include "run/plan_complete_window.h"
#include "run/run_window.h"
#include "ui/dialogs/about_window.h"
#include "timed/set_sync_dialog.h"
#include "ui/dialogs/process_chooser.h"
#include "ui/dialogs/program_chooser.h"
#include "ui/dialogs/prompt_point_editor.h"
#include "ui/dialogs/rename_dialog.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/set_password_dialog.h"
#include "ui/main/main_window.h"
#include "update/update_check.h"

namespace temvik::testing {
namespace {

bool intersect(const Rect& a, const Rect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

std::string describe(const ControlDesign& c) {
  return std::string(c.designName) + " {" + std::to_string(c.rect.x) + ", " +
         std::to_string(c.rect.y) + ", " + std::to_string(c.rect.width) + ", " +
         std::to_string(c.rect.height) + "}";
}

struct Named {
  const char* name;
  const WindowDesign& (*design)();
};

void PrintTo(const Named& n, std::ostream* out) { *out << n.name; }

class WindowLayout : public ::testing::TestWithParam<Named> {};

TEST_P(WindowLayout, NoControlCoversAnotherOutsideGroupBoxes) {
  const WindowDesign& d = GetParam().design();
  for (size_t i = 0; i < d.controls.size(); ++i) {
    const ControlDesign& a = d.controls[i];
    EXPECT_GT(a.rect.width, 0) << describe(a);
    EXPECT_GT(a.rect.height, 0) << describe(a);
    // A hidden control covers nothing.
    if (a.kind == ControlKind::GroupBox || a.hidden) continue;
    for (size_t j = i + 1; j < d.controls.size(); ++j) {
      const ControlDesign& b = d.controls[j];
      if (b.kind == ControlKind::GroupBox || b.hidden) continue;
      EXPECT_FALSE(intersect(a.rect, b.rect)) << describe(a) << " and " << describe(b);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Designs, WindowLayout,
    ::testing::Values(
        Named{"main", &mainWindowDesign}, Named{"run", &runWindowDesign},
        Named{"itemFinished", &itemFinishedDesign}, Named{"giveUp", &giveUpDesign},
        Named{"changeTime", &changeTimeDesign}, Named{"planComplete", &planCompleteDesign},
        Named{"contentNote", &contentNoteDesign},
        Named{"endProcessChooser", &endProcessChooserDesign},
        Named{"forbiddenChooser", &forbiddenChooserDesign},
        Named{"programChooser", &programChooserDesign}, Named{"promptPoints", &promptPointDesign},
        Named{"password", &passwordDialogDesign},
        Named{"setPassword", +[]() -> const WindowDesign& { return setPasswordDesign(true); }},
        Named{"setFirstPassword",
              +[]() -> const WindowDesign& { return setPasswordDesign(false); }},
        Named{"updateCheck", &updateCheckDesign}, Named{"about", &aboutDesign},
        Named{"rename", &renameDesign}, Named{"setSync", &setSyncDesign}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace temvik::testing

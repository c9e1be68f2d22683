#include "ui/main/window_catalogue.h"

#include <cstdlib>

#include "run/change_time_dialog.h"
#include "run/content_note_window.h"
#include "run/give_up_dialog.h"
#include "run/item_finished_dialog.h"
#include "run/plan_complete_window.h"
#include "run/power_notice.h"
#include "run/run_window.h"
#include "timed/set_sync_dialog.h"
#include "tools/stats_window.h"
#include "tools/stopwatch.h"
#include "tools/watch_window.h"
#include "tools/window_chooser.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/process_chooser.h"
#include "ui/dialogs/program_chooser.h"
#include "ui/dialogs/prompt_point_editor.h"
#include "ui/dialogs/rename_dialog.h"
#include "ui/dialogs/set_password_dialog.h"
#include "ui/main/main_window.h"
#include "update/update_check.h"

namespace temvik {

const std::vector<CataloguedWindow>& windowCatalogue() {
  using namespace id_blocks;
  static const std::vector<CataloguedWindow> catalogue{
      {"main", mainWindowDesign(), {kMainWindow, kMainMenus}},
      {"run", runWindowDesign(), {kRunWindow, kRunMenus}},
      {"itemFinished", itemFinishedDesign(), {kItemFinished}},
      {"giveUp", giveUpDesign(), {kGiveUp}},
      {"changeTime", changeTimeDesign(), {kChangeTime}},
      {"planComplete", planCompleteDesign(), {kPlanComplete}},
      {"contentNote", contentNoteDesign(), {kContentNote}},
      {"powerNotice", powerNoticeDesign(), {kPowerNotice}},
      {"promptPoints", promptPointDesign(), {kPromptPoints}},
      {"endProcessChooser", endProcessChooserDesign(), {kProcessChooser}},
      {"forbiddenChooser", forbiddenChooserDesign(), {kProcessChooser}},
      {"programChooser", programChooserDesign(), {kProgramChooser}},
      {"password", passwordDialogDesign(), {kPassword}},
      {"setPassword", setPasswordDesign(true), {kSetPassword}},
      {"setFirstPassword", setPasswordDesign(false), {kSetPassword}},
      {"rename", renameDesign(), {kRename}},
      {"about", aboutDesign(), {kAbout}},
      {"updateCheck", updateCheckDesign(), {kUpdateCheck}},
      {"setSync", setSyncDesign(), {kSetSync}},
      {"stopwatch", stopwatchDesign(), {kStopwatch}},
      {"windowChooser", windowChooserDesign(), {kWindowChooser}},
      {"watch", watchWindowDesign(), {kWatchWindow}},
      {"stats", statsDesign(), {kStats}},
  };
  return catalogue;
}

const CataloguedWindow& cataloguedWindow(std::string_view name) {
  for (const CataloguedWindow& w : windowCatalogue())
    if (w.name == name) return w;
  std::abort();
}

}  // namespace temvik

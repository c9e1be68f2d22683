// The prompt-point window of the real program: opened from the editor, a
// point added from another process, and OK writing it into the item file.

#include <string>
#include <vector>

#include "e2e_support.h"
#include "ui/dialogs/prompt_point_editor.h"
#include "ui/main/main_window_ids.h"

namespace temvik::e2e {
namespace {

using namespace main_ids;
using namespace prompt_ids;

void clickLabel(HWND window, int id) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

int rowCount(HWND window, int listId) {
  return static_cast<int>(SendMessageW(GetDlgItem(window, listId), LB_GETCOUNT, 0, 0));
}

std::string itemValue(const PlanFolder& folder, const std::string& section,
                      const std::string& key) {
  for (const auto& s : parseIni(folder.readText("time.ini")))
    if (s.name == section) return s.value(key);
  return "<no section>";
}

TEST(PromptPoints, TwoPointsAddedAreStoredOnOkAndLoadedAfterARestart) {
  PlanFolder folder;
  ASSERT_TRUE(folder.writeIni("time.ini", itemSection("背单词", "0", "30", "0")));
  E2E_START(app, folder);
  ASSERT_TRUE(app.clickRow(kSequentialList, 0));
  E2E_EVENTUALLY_EQ(app.text(kContent), std::string("背单词"));
  ASSERT_EQ(app.selection(kSequentialList), 0);

  // Made hidden at start-up; the button only shows it.
  ASSERT_EQ(app.window("设置提示点"), nullptr);
  ASSERT_TRUE(app.click(kPromptPoints));
  HWND points = app.waitForWindow("设置提示点");
  ASSERT_NE(points, nullptr);
  BYTE alpha = 0;
  DWORD flags = 0;
  if (GetLayeredWindowAttributes(points, nullptr, &alpha, &flags)) {
    EXPECT_EQ(alpha, 230);
  }

  typeInto(GetDlgItem(points, kPointName), "休息");
  typeInto(GetDlgItem(points, kPointMinutes), "90");
  typeInto(GetDlgItem(points, kPointSound), "C:\\ding.wav");
  typeInto(GetDlgItem(points, kPointPlay), "3");
  clickLabel(points, kAddPoint);
  E2E_EVENTUALLY_EQ(rowCount(points, kPointList), 2);
  EXPECT_EQ(SendMessageW(GetDlgItem(points, kPointList), LB_GETITEMDATA, 0, 0), 5400003);
  EXPECT_EQ(windowText(GetDlgItem(points, kPointMinutes)), "");

  typeInto(GetDlgItem(points, kPointName), "喝水");
  typeInto(GetDlgItem(points, kPointHours), "0");
  typeInto(GetDlgItem(points, kPointMinutes), "0");
  typeInto(GetDlgItem(points, kPointSeconds), "30");
  typeInto(GetDlgItem(points, kPointPlay), "0");
  typeInto(GetDlgItem(points, kPointSound), "C:\\水.wav");
  clickLabel(points, kAddPoint);
  E2E_EVENTUALLY_EQ(rowCount(points, kPointList), 4);

  clickLabel(points, kPointsOk);
  E2E_EVENTUALLY_TRUE(!IsWindowVisible(points));
  waitFor([&] {
    return itemValue(folder, "背单词", "断点2时间") == "30000" || app.messageBox().has_value();
  });
  const auto box = app.messageBox();
  ASSERT_FALSE(box.has_value()) << box->title << " / " << box->text;
  EXPECT_EQ(itemValue(folder, "背单词", "断点1时间"), "5400003") << folder.readText("time.ini");
  EXPECT_EQ(itemValue(folder, "背单词", "断点1名"), "休息");
  EXPECT_EQ(itemValue(folder, "背单词", "断点1音"), "C:\\ding.wav");
  EXPECT_EQ(itemValue(folder, "背单词", "断点2名"), "喝水");
  EXPECT_EQ(itemValue(folder, "背单词", "断点2音"), "C:\\水.wav");
  EXPECT_FALSE(app.messageBox().has_value());
  // Hidden, not destroyed: the same window shows again.
  ASSERT_TRUE(app.click(kPromptPoints));
  E2E_EVENTUALLY_TRUE(IsWindowVisible(points));
  app.close();
  ASSERT_TRUE(app.waitForExit());

  // Started again, the item brings both points into the window.
  E2E_START(again, folder);
  ASSERT_TRUE(again.clickRow(kSequentialList, 0));
  E2E_EVENTUALLY_EQ(again.text(kContent), std::string("背单词"));
  ASSERT_TRUE(again.click(kPromptPoints));
  HWND reloaded = again.waitForWindow("设置提示点");
  ASSERT_NE(reloaded, nullptr);
  E2E_EVENTUALLY_EQ(rowCount(reloaded, kPointList), 4);
  EXPECT_EQ(SendMessageW(GetDlgItem(reloaded, kPointList), LB_GETITEMDATA, 0, 0), 5400003);
  EXPECT_EQ(SendMessageW(GetDlgItem(reloaded, kPointList), LB_GETITEMDATA, 2, 0), 30000);
}

}  // namespace
}  // namespace temvik::e2e

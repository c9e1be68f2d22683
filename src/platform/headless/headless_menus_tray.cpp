// HeadlessWindow's menus and tray icon, and what a user does to them.

#include <string>
#include <utility>

#include "platform/headless/headless_window.h"

namespace temvik::headless {

// ---------------------------------------------------------------- menus

void HeadlessWindow::setMenuEnabled(MenuItemId id, bool on) { menus_.at(id).first = on; }
bool HeadlessWindow::isMenuEnabled(MenuItemId id) const { return menus_.at(id).first; }
void HeadlessWindow::setMenuCaption(MenuItemId id, std::string_view caption) {
  menus_.at(id).second = caption;
}
std::string HeadlessWindow::menuCaption(MenuItemId id) const { return menus_.at(id).second; }
void HeadlessWindow::setMenuChecked(MenuItemId id, bool checked) {
  (void)menus_.at(id);  // an item of the design
  if (checked)
    checkedMenus_.insert(id);
  else
    checkedMenus_.erase(id);
}
bool HeadlessWindow::isMenuChecked(MenuItemId id) const { return checkedMenus_.count(id) != 0; }

void HeadlessWindow::popupMenu(std::string_view menuDesignName) { poppedMenu_ = menuDesignName; }

bool HeadlessWindow::chooseMenu(MenuItemId id) {
  auto it = menus_.find(id);
  if (it == menus_.end() || !it->second.first || !open_) return false;
  events_.onMenu(id);
  return true;
}

std::string HeadlessWindow::takePoppedMenu() { return std::exchange(poppedMenu_, {}); }

// ---------------------------------------------------------------- the tray icon

void HeadlessWindow::showTrayIcon(std::string_view tooltip) { tray_ = std::string(tooltip); }

bool HeadlessWindow::trayDoubleClick() {
  if (!tray_) return false;
  events_.onTrayDoubleClick();
  return true;
}

bool HeadlessWindow::trayRightClick() {
  if (!tray_) return false;
  events_.onTrayRightClick();
  return true;
}

}  // namespace temvik::headless

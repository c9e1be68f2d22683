// Win32Window's menus (the menu bar, the hidden menus that pop up, their
// items' state and captions) and its icon in the notification area.

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include "platform/win32/native.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_ui.h"

namespace temvik {

// ---------------------------------------------------------------- menus

void Win32Window::createMenus(const WindowDesign& design) {
  for (const auto& m : design.menus) {
    HMENU sub = CreatePopupMenu();
    for (const auto& item : m.items) {
      if (item.isSeparator()) {
        AppendMenuW(sub, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(sub, MF_STRING, static_cast<UINT_PTR>(item.id), toUtf16(item.caption).c_str());
        menuOfItem_[item.id] = sub;
      }
    }
    if (m.hidden) {
      popups_.push_back({std::string(m.designName), std::string(m.caption), sub});
    } else {
      if (!menuBar_) menuBar_ = CreateMenu();
      AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), toUtf16(m.caption).c_str());
    }
  }
}

HMENU Win32Window::menuOf(MenuItemId id) const {
  if (!hwnd_) return nullptr;
  const auto it = menuOfItem_.find(id);
  return it == menuOfItem_.end() ? nullptr : it->second;
}

void Win32Window::setMenuEnabled(MenuItemId id, bool enabled) {
  if (HMENU m = menuOf(id))
    EnableMenuItem(m, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool Win32Window::isMenuEnabled(MenuItemId id) const {
  HMENU m = menuOf(id);
  if (!m) return false;
  const UINT state = GetMenuState(m, static_cast<UINT>(id), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void Win32Window::setMenuChecked(MenuItemId id, bool checked) {
  if (HMENU m = menuOf(id))
    CheckMenuItem(m, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool Win32Window::isMenuChecked(MenuItemId id) const {
  HMENU m = menuOf(id);
  if (!m) return false;
  const UINT state = GetMenuState(m, static_cast<UINT>(id), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

void Win32Window::setMenuCaption(MenuItemId id, std::string_view caption) {
  HMENU m = menuOf(id);
  if (!m) return;
  std::wstring text = toUtf16(caption);
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = text.data();
  SetMenuItemInfoW(m, static_cast<UINT>(id), FALSE, &info);
}

std::string Win32Window::menuCaption(MenuItemId id) const {
  HMENU m = menuOf(id);
  if (!m) return "";
  const int length = GetMenuStringW(m, static_cast<UINT>(id), nullptr, 0, MF_BYCOMMAND);
  if (length <= 0) return "";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(
      GetMenuStringW(m, static_cast<UINT>(id), text.data(), length + 1, MF_BYCOMMAND)));
  return toUtf8(text);
}

HMENU Win32Window::popupMenuHandle(std::string_view name) const {
  for (const auto& p : popups_)
    if (p.designName == name) return p.menu;
  for (const auto& p : popups_)
    if (p.caption == name) return p.menu;
  return nullptr;
}

void Win32Window::popupMenu(std::string_view menuDesignName) {
  HMENU m = popupMenuHandle(menuDesignName);
  if (!m || !hwnd_) return;
  POINT at{};
  GetCursorPos(&at);
  // The chosen item arrives as WM_COMMAND, hence onMenu.
  TrackPopupMenu(m, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
  // Lets a menu opened from the tray icon close properly the next time.
  if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);
}

// ---------------------------------------------------------------- the tray icon

void Win32Window::handleTray(UINT mouseMessage) {
  auto* e = events();
  if (!e) return;
  if (mouseMessage == WM_LBUTTONDBLCLK) {
    e->onTrayDoubleClick();
  } else if (mouseMessage == WM_RBUTTONUP) {
    // A menu popped up for a window that is not in the foreground would
    // stay open when the user clicks elsewhere.
    SetForegroundWindow(hwnd_);
    e->onTrayRightClick();
  }
}

void Win32Window::showTrayIcon(std::string_view tooltip) {
  if (!hwnd_) return;
  const NOTIFYICONDATAW size{};
  trayTip_ = truncatedUtf16(toUtf16(tooltip), std::size(size.szTip) - 1);
  pushTrayIcon(trayShown_ ? NIM_MODIFY : NIM_ADD);
}

void Win32Window::pushTrayIcon(DWORD firstTry) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = hwnd_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = ui_.smallIcon();
  std::copy(trayTip_->begin(), trayTip_->end(), data.szTip);
  // The shell may have lost the icon (it restarted) or may hold it already
  // (a second TaskbarCreated): the other operation then does it.
  const DWORD secondTry = firstTry == NIM_ADD ? NIM_MODIFY : NIM_ADD;
  trayShown_ = Shell_NotifyIconW(firstTry, &data) || Shell_NotifyIconW(secondTry, &data);
}

void Win32Window::removeTrayIcon() { deleteTrayIcon(); }

void Win32Window::deleteTrayIcon() {
  if (trayTip_ && hwnd_) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd_;
    data.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
  }
  trayTip_.reset();
  trayShown_ = false;
}

}  // namespace temvik

// Win32Window's list boxes and drop-downs (combo boxes): the subclass that
// reports a list box's mouse and keys, and the rows, whose texts are kept
// beside the control (asking a list box for thousands of rows is slow).

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstddef>

#include "platform/win32/wide.h"
#include "platform/win32/win32_ui.h"
#include "platform/win32/win32_window_internal.h"

namespace temvik {
namespace {

// Whether the (logical) left mouse button is held down right now.
bool leftButtonDown() {
  const int physical = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  return GetAsyncKeyState(physical) & 0x8000;
}

// The messages that do one thing to the rows of a list box or a combo box.
struct RowMessages {
  UINT reset, add, insert, remove, getData, setData, getSelection, select, reserve, getTop, setTop;
};
constexpr RowMessages kListBoxRows{
    LB_RESETCONTENT, LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_GETITEMDATA, LB_SETITEMDATA,
    LB_GETCURSEL,    LB_SETCURSEL, LB_INITSTORAGE,  LB_GETTOPINDEX,  LB_SETTOPINDEX};
constexpr RowMessages kComboBoxRows{
    CB_RESETCONTENT, CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_GETITEMDATA, CB_SETITEMDATA,
    CB_GETCURSEL,    CB_SETCURSEL, CB_INITSTORAGE,  CB_GETTOPINDEX,  CB_SETTOPINDEX};

const RowMessages& rowMessages(ControlKind kind) {
  return kind == ControlKind::DropDown ? kComboBoxRows : kListBoxRows;
}

}  // namespace

HWND Win32Window::list(ControlId id) const {
  const Control* c = listControl(id);
  return c ? c->hwnd : nullptr;
}

const Win32Window::Control* Win32Window::listControl(ControlId id) const {
  const Control* c = find(id);
  return c && (c->kind == ControlKind::ListBox || c->kind == ControlKind::DropDown) ? c : nullptr;
}

Win32Window::Control* Win32Window::listControl(ControlId id) {
  if (Control* c = find(id, ControlKind::ListBox)) return c;
  return find(id, ControlKind::DropDown);
}

LRESULT CALLBACK Win32Window::listProc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                       DWORD_PTR self) {
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(list, &Win32Window::listProc, kListSubclassId);
    return DefSubclassProc(list, msg, wp, lp);
  }
  return reinterpret_cast<Win32Window*>(self)->handleList(list, msg, wp, lp);
}

LRESULT Win32Window::handleList(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
  const auto alive = alive_;
  const int id = GetDlgCtrlID(list);
  // A handler may close or even delete this window.
  const auto gone = [&] { return !*alive || !IsWindow(list); };
  switch (msg) {
    case WM_LBUTTONDOWN: {
      // Before the list moves its selection.
      if (auto* e = events()) {
        e->onMouseDown(id, MouseButton::Left);
        if (gone()) return 0;
      }
      const LRESULT result = DefSubclassProc(list, msg, wp, lp);
      // The list now holds the mouse until the button goes up. That may be
      // over already: the release went to a box the handler opened, or the
      // press came from clickAtPointer. Then finish the click here, or the
      // list would never report its new selection.
      MSG queued;
      if (!gone() && GetCapture() == list && !leftButtonDown() &&
          !PeekMessageW(&queued, list, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE))
        SendMessageW(list, WM_LBUTTONUP, 0, lp);
      return result;
    }
    case WM_RBUTTONDOWN:
      if (auto* e = events()) {
        e->onMouseDown(id, MouseButton::Right);
        if (gone()) return 0;
      }
      break;
    case WM_KEYDOWN:
      if (auto* e = events()) {
        e->onKeyDown(id, static_cast<int>(wp));
        if (gone()) return 0;
      }
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      const LRESULT result = DefSubclassProc(list, msg, wp, lp);
      if (gone()) return result;
      if (auto* e = events())
        e->onMouseUp(id, msg == WM_LBUTTONUP ? MouseButton::Left : MouseButton::Right);
      return result;
    }
    default:
      break;
  }
  return DefSubclassProc(list, msg, wp, lp);
}

void Win32Window::listClear(ControlId id) {
  Control* c = listControl(id);
  if (!c) return;
  const RowMessages& m = rowMessages(c->kind);
  Quiet quiet(quiet_);
  SendMessageW(c->hwnd, m.reset, 0, 0);
  c->rows.clear();
}

int Win32Window::listAdd(ControlId id, std::string_view text, std::int64_t data) {
  Control* c = listControl(id);
  if (!c) return -1;
  const RowMessages& m = rowMessages(c->kind);
  Quiet quiet(quiet_);
  const auto row = SendMessageW(c->hwnd, m.add, 0, reinterpret_cast<LPARAM>(toUtf16(text).c_str()));
  if (row < 0) return -1;
  c->rows.insert(c->rows.begin() + std::min(static_cast<std::ptrdiff_t>(row),
                                            static_cast<std::ptrdiff_t>(c->rows.size())),
                 std::string(text));
  // LPARAM is 64 bits wide on x64: the row keeps the whole value.
  SendMessageW(c->hwnd, m.setData, static_cast<WPARAM>(row), static_cast<LPARAM>(data));
  return static_cast<int>(row);
}

void Win32Window::listSetRows(ControlId id, const std::vector<std::string>& rows) {
  Control* c = listControl(id);
  if (!c) return;
  const RowMessages& m = rowMessages(c->kind);
  const HWND l = c->hwnd;
  Quiet quiet(quiet_);
  // Drawn once at the end rather than once a row: a list of thousands of
  // rows fills in a blink.
  SendMessageW(l, WM_SETREDRAW, FALSE, 0);
  SendMessageW(l, m.reset, 0, 0);
  c->rows.clear();
  std::size_t chars = 0;
  std::vector<std::wstring> wide;
  wide.reserve(rows.size());
  for (const auto& row : rows) {
    wide.push_back(toUtf16(row));
    chars += wide.back().size() + 1;
  }
  SendMessageW(l, m.reserve, wide.size(), chars * sizeof(wchar_t));
  c->rows.reserve(rows.size());
  // The rows go straight to the list box: what the program adds to it
  // handles the mouse and the keys only, and under wine every message that
  // passes through it costs about 0.15 ms (1.5 s for 10,000 rows).
  const bool subclassed = c->kind == ControlKind::ListBox;
  if (subclassed) RemoveWindowSubclass(l, &Win32Window::listProc, kListSubclassId);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (SendMessageW(l, m.add, 0, reinterpret_cast<LPARAM>(wide[i].c_str())) < 0) break;
    c->rows.push_back(rows[i]);
  }
  if (subclassed)
    SetWindowSubclass(l, &Win32Window::listProc, kListSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(l, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(l, nullptr, TRUE);
}

void Win32Window::listRemove(ControlId id, int row) {
  Control* c = listControl(id);
  if (!c || row < 0) return;
  const RowMessages& m = rowMessages(c->kind);
  Quiet quiet(quiet_);
  if (SendMessageW(c->hwnd, m.remove, static_cast<WPARAM>(row), 0) >= 0 &&
      static_cast<std::size_t>(row) < c->rows.size())
    c->rows.erase(c->rows.begin() + row);
}

int Win32Window::listCount(ControlId id) const {
  const Control* c = listControl(id);
  return c ? static_cast<int>(c->rows.size()) : 0;
}

std::string Win32Window::listText(ControlId id, int row) const {
  const Control* c = listControl(id);
  if (!c || row < 0 || row >= static_cast<int>(c->rows.size())) return "";
  return c->rows[static_cast<std::size_t>(row)];
}

void Win32Window::listSetText(ControlId id, int row, std::string_view text) {
  Control* c = listControl(id);
  if (!c || row < 0 || row >= static_cast<int>(c->rows.size())) return;
  const RowMessages& m = rowMessages(c->kind);
  const HWND l = c->hwnd;
  Quiet quiet(quiet_);
  const auto w = static_cast<WPARAM>(row);
  const LRESULT data = SendMessageW(l, m.getData, w, 0);
  const bool selected = SendMessageW(l, m.getSelection, 0, 0) == row;
  const LRESULT top = SendMessageW(l, m.getTop, 0, 0);
  SendMessageW(l, WM_SETREDRAW, FALSE, 0);
  SendMessageW(l, m.remove, w, 0);
  SendMessageW(l, m.insert, w, reinterpret_cast<LPARAM>(toUtf16(text).c_str()));
  c->rows[static_cast<std::size_t>(row)] = std::string(text);
  SendMessageW(l, m.setData, w, data);
  if (selected) SendMessageW(l, m.select, w, 0);
  SendMessageW(l, m.setTop, static_cast<WPARAM>(top), 0);
  SendMessageW(l, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(l, nullptr, TRUE);
}

std::int64_t Win32Window::listData(ControlId id, int row) const {
  const Control* c = listControl(id);
  if (!c || row < 0 || row >= listCount(id)) return 0;
  const HWND l = c->hwnd;
  const RowMessages& m = rowMessages(c->kind);
  return static_cast<std::int64_t>(SendMessageW(l, m.getData, static_cast<WPARAM>(row), 0));
}

void Win32Window::listSetData(ControlId id, int row, std::int64_t data) {
  const Control* c = listControl(id);
  if (!c || row < 0 || row >= listCount(id)) return;
  const HWND l = c->hwnd;
  const RowMessages& m = rowMessages(c->kind);
  SendMessageW(l, m.setData, static_cast<WPARAM>(row), static_cast<LPARAM>(data));
}

int Win32Window::listSelection(ControlId id) const {
  const Control* c = listControl(id);
  if (!c) return -1;
  const HWND l = c->hwnd;
  const RowMessages& m = rowMessages(c->kind);
  const auto row = SendMessageW(l, m.getSelection, 0, 0);
  return row < 0 ? -1 : static_cast<int>(row);
}

void Win32Window::listSelect(ControlId id, int row) {
  const Control* c = listControl(id);
  if (!c) return;
  const HWND l = c->hwnd;
  const RowMessages& m = rowMessages(c->kind);
  Quiet quiet(quiet_);
  // LB_SETCURSEL sends no LBN_SELCHANGE, nor CB_SETCURSEL CBN_SELCHANGE;
  // -1 clears the selection.
  SendMessageW(l, m.select, static_cast<WPARAM>(row < 0 ? -1 : row), 0);
}

}  // namespace temvik

// HeadlessWindow's list boxes and drop-downs: their rows, and the user's
// clicks and choices.

#include <string>
#include <vector>

#include "platform/headless/headless_window.h"

namespace temvik::headless {

void HeadlessWindow::listClear(ControlId id) {
  Control& c = control(id);
  c.rows.clear();
  c.selection = -1;
}

int HeadlessWindow::listAdd(ControlId id, std::string_view text, std::int64_t data) {
  Control& c = control(id);
  c.rows.emplace_back(std::string(text), data);
  return static_cast<int>(c.rows.size()) - 1;
}

void HeadlessWindow::listSetRows(ControlId id, const std::vector<std::string>& rows) {
  Control& c = control(id);
  c.rows.clear();
  c.rows.reserve(rows.size());
  for (const auto& row : rows) c.rows.emplace_back(row, 0);
  c.selection = -1;
}

void HeadlessWindow::listRemove(ControlId id, int row) {
  Control& c = control(id);
  if (row < 0 || row >= static_cast<int>(c.rows.size())) return;
  c.rows.erase(c.rows.begin() + row);
  if (c.selection == row)
    c.selection = -1;
  else if (c.selection > row)
    --c.selection;
}

int HeadlessWindow::listCount(ControlId id) const {
  return static_cast<int>(control(id).rows.size());
}

std::string HeadlessWindow::listText(ControlId id, int row) const {
  const Control& c = control(id);
  if (row < 0 || row >= static_cast<int>(c.rows.size())) return {};
  return c.rows[static_cast<std::size_t>(row)].first;
}

void HeadlessWindow::listSetText(ControlId id, int row, std::string_view text) {
  Control& c = control(id);
  if (row >= 0 && row < static_cast<int>(c.rows.size()))
    c.rows[static_cast<std::size_t>(row)].first = text;
}

std::int64_t HeadlessWindow::listData(ControlId id, int row) const {
  const Control& c = control(id);
  if (row < 0 || row >= static_cast<int>(c.rows.size())) return 0;
  return c.rows[static_cast<std::size_t>(row)].second;
}

void HeadlessWindow::listSetData(ControlId id, int row, std::int64_t data) {
  Control& c = control(id);
  if (row >= 0 && row < static_cast<int>(c.rows.size()))
    c.rows[static_cast<std::size_t>(row)].second = data;
}

int HeadlessWindow::listSelection(ControlId id) const { return control(id).selection; }

void HeadlessWindow::listSelect(ControlId id, int row) {
  Control& c = control(id);
  c.selection = row >= 0 && row < static_cast<int>(c.rows.size()) ? row : -1;
}

bool HeadlessWindow::clickRow(ControlId list, int row) {
  if (!usable(list)) return false;
  focused_ = list;
  pointerControl_ = list;
  pointerRow_ = row;
  events_.onMouseDown(list, MouseButton::Left);
  Control& c = control(list);
  // A click below the last row leaves the selection where it is.
  if (row >= 0 && row < static_cast<int>(c.rows.size()) && open_) {
    const bool changed = c.selection != row;
    c.selection = row;
    if (changed) events_.onRowSelected(list);
  }
  events_.onMouseUp(list, MouseButton::Left);
  return true;
}

bool HeadlessWindow::rightClickRow(ControlId list, int row) {
  if (!usable(list)) return false;
  pointerControl_ = list;
  pointerRow_ = row;
  events_.onMouseDown(list, MouseButton::Right);
  events_.onMouseUp(list, MouseButton::Right);
  return true;
}

bool HeadlessWindow::doubleClickRow(ControlId list, int row) {
  if (!clickRow(list, row)) return false;
  events_.onDoubleClick(list);
  return true;
}

bool HeadlessWindow::chooseRow(ControlId dropDown, int row) {
  Control& c = control(dropDown, ControlKind::DropDown);
  if (!usable(dropDown) || row < 0 || row >= static_cast<int>(c.rows.size())) return false;
  focused_ = dropDown;
  const bool changed = c.selection != row;
  c.selection = row;
  if (changed) events_.onRowSelected(dropDown);
  return true;
}

std::vector<std::string> HeadlessWindow::listRows(ControlId list) const {
  std::vector<std::string> rows;
  for (const auto& r : control(list).rows) rows.push_back(r.first);
  return rows;
}

}  // namespace temvik::headless

// HeadlessWindow's month calendars and drawing surfaces, and what a user
// does to them.

#include <utility>

#include "platform/headless/headless_window.h"
#include "platform/headless/headless_window_internal.h"

namespace temvik::headless {

// ---------------------------------------------------------------- calendars

void HeadlessWindow::calendarSetDate(ControlId id, const DateTime& date) {
  Control& c = control(id, ControlKind::MonthCalendar);
  if (const auto day = calendarDay(date)) c.date = *day;
}

DateTime HeadlessWindow::calendarDate(ControlId id) const {
  return control(id, ControlKind::MonthCalendar).date;
}

bool HeadlessWindow::pickDate(ControlId calendar, const DateTime& date) {
  Control& c = control(calendar, ControlKind::MonthCalendar);
  const auto day = calendarDay(date);
  if (!usable(calendar) || !day) return false;
  if (c.date == *day) return true;
  c.date = *day;
  events_.onChanged(calendar);
  return true;
}

// ---------------------------------------------------------------- surfaces

void HeadlessWindow::surfaceSetPicture(ControlId id, Picture picture, PictureFit fit) {
  Control& c = control(id, ControlKind::Surface);
  c.picture = std::move(picture);
  c.fit = fit;
  c.drawing = {};
}

void HeadlessWindow::surfaceSetDrawing(ControlId id, Drawing drawing) {
  Control& c = control(id, ControlKind::Surface);
  c.drawing = std::move(drawing);
  c.picture = {};
}

const Drawing& HeadlessWindow::surfaceDrawing(ControlId id) const {
  return control(id, ControlKind::Surface).drawing;
}

const Picture& HeadlessWindow::surfacePicture(ControlId id) const {
  return control(id, ControlKind::Surface).picture;
}

PictureFit HeadlessWindow::surfaceFit(ControlId id) const {
  return control(id, ControlKind::Surface).fit;
}

bool HeadlessWindow::pressSurface(ControlId surface, Point at, MouseButton button) {
  const Control& c = control(surface, ControlKind::Surface);
  const Rect& r = c.design->rect;
  if (!usable(surface) || at.x < 0 || at.y < 0 || at.x >= r.width || at.y >= r.height) return false;
  events_.onMouseDownAt(surface, button, at);
  return true;
}

}  // namespace temvik::headless

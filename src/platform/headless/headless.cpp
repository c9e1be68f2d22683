#include "platform/headless/headless.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

#include "platform/bmp.h"
#include "platform/file_paths.h"
#include "platform/keyboard.h"

namespace temvik::headless {

namespace {

// The date of `t` at 00:00:00, when it is a real day a calendar can show.
std::optional<DateTime> calendarDay(const DateTime& t) {
  if (t.year < 1601 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1) return {};
  const DateTime day{t.year, t.month, t.day, 0, 0, 0};
  if (!isValidDateTime(day)) return {};
  return day;
}

}  // namespace

// ---------------------------------------------------------------- clock

DateTime VirtualClock::now() const {
  return addSeconds(base_, static_cast<std::int64_t>((nowMs_ - baseMs_) / 1000));
}

void VirtualClock::setNow(const DateTime& t) {
  base_ = t;
  baseMs_ = nowMs_;
}

// ---------------------------------------------------------------- window

HeadlessWindow::HeadlessWindow(HeadlessUi& ui, const WindowDesign& design, WindowEvents& events,
                               Window* owner)
    : ui_(ui),
      design_(design),
      events_(events),
      owner_(owner),
      title_(design.title),
      bounds_(design.rect),
      minimizeBox_(design.minimizeBox) {
  for (const auto& c : design_.controls) {
    Control& ctl = controls_[c.id];
    ctl.design = &c;
    ctl.text = c.caption;
    ctl.tooltip = c.tooltip;
    ctl.checked = c.checked;
    ctl.shown = !c.hidden;
    ctl.rect = c.rect;
    if (c.kind == ControlKind::MonthCalendar) ctl.date = *calendarDay(ui_.clock_.now());
  }
  for (const auto& m : design_.menus)
    for (const auto& item : m.items)
      if (!item.isSeparator()) menus_[item.id] = {true, std::string(item.caption)};
}

HeadlessWindow::~HeadlessWindow() {
  auto& w = ui_.windows_;
  w.erase(std::remove(w.begin(), w.end(), this), w.end());
  if (ui_.active_ == this) ui_.active_ = nullptr;
}

HeadlessWindow::Control& HeadlessWindow::control(ControlId id) {
  auto it = controls_.find(id);
  if (it == controls_.end()) throw std::out_of_range("no control " + std::to_string(id));
  return it->second;
}

const HeadlessWindow::Control& HeadlessWindow::control(ControlId id) const {
  auto it = controls_.find(id);
  if (it == controls_.end()) throw std::out_of_range("no control " + std::to_string(id));
  return it->second;
}

HeadlessWindow::Control& HeadlessWindow::control(ControlId id, ControlKind kind) {
  Control& c = control(id);
  if (c.design->kind != kind)
    throw std::invalid_argument("control " + std::to_string(id) + " is of another kind");
  return c;
}

const HeadlessWindow::Control& HeadlessWindow::control(ControlId id, ControlKind kind) const {
  return const_cast<HeadlessWindow*>(this)->control(id, kind);
}

bool HeadlessWindow::blocked() const {
  // A modal window elsewhere blocks this one, as the real thing disables it.
  for (HeadlessWindow* w : ui_.windows_)
    if (w != this && w->modal_ && w->open_ && w->owner_ == this) return true;
  return false;
}

bool HeadlessWindow::usable(ControlId id) const {
  const Control& c = control(id);
  return !blocked() && open_ && visible_ && c.enabled && c.shown;
}

void HeadlessWindow::activate() {
  if (!open_) return;
  ui_.active_ = this;
  events_.onActivated();
}

void HeadlessWindow::requestClose() {
  if (open_ && events_.onCloseRequested()) close();
}

void HeadlessWindow::close() {
  if (!open_) return;
  open_ = false;
  visible_ = false;
  timers_.clear();
  tray_.reset();
  if (ui_.active_ == this) ui_.active_ = nullptr;
  // Owned windows go with their owner, as native ones do.
  for (HeadlessWindow* w : std::vector<HeadlessWindow*>(ui_.windows_))
    if (w->owner_ == this && w->open_) w->close();
  events_.onClosed();
  if (modal_) {
    modal_ = false;
    if (auto* owner = static_cast<HeadlessWindow*>(owner_); owner && owner->open_)
      owner->activate();
  }
}

void HeadlessWindow::showTrayIcon(std::string_view tooltip) { tray_ = std::string(tooltip); }

bool HeadlessWindow::rightClick(ControlId id) {
  if (!open_ || !visible_ || (id != 0 && !usable(id))) return false;
  events_.onContextMenu(id);
  return true;
}

bool HeadlessWindow::minimize() {
  if (!isVisible() || !minimizeBox_) return false;
  if (events_.onMinimizing()) return false;
  minimized_ = true;
  return true;
}

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

void HeadlessWindow::move(Point topLeft) {
  bounds_.x = topLeft.x;
  bounds_.y = topLeft.y;
  events_.onMoved(topLeft);
}

void HeadlessWindow::setText(ControlId id, std::string_view text) { control(id).text = text; }
std::string HeadlessWindow::text(ControlId id) const { return control(id).text; }
void HeadlessWindow::setEnabled(ControlId id, bool on) {
  control(id).enabled = on;
  // A disabled control loses the focus, as a native one does.
  if (!on && focused_ == id) focused_ = 0;
}
bool HeadlessWindow::isEnabled(ControlId id) const { return control(id).enabled; }
void HeadlessWindow::setShown(ControlId id, bool on) {
  control(id).shown = on;
  if (!on && focused_ == id) focused_ = 0;
}
bool HeadlessWindow::isShown(ControlId id) const { return control(id).shown; }
void HeadlessWindow::setChecked(ControlId id, bool on) { control(id).checked = on; }
bool HeadlessWindow::isChecked(ControlId id) const { return control(id).checked; }
void HeadlessWindow::setTooltip(ControlId id, std::string_view t) { control(id).tooltip = t; }

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

void HeadlessWindow::calendarSetDate(ControlId id, const DateTime& date) {
  Control& c = control(id, ControlKind::MonthCalendar);
  if (const auto day = calendarDay(date)) c.date = *day;
}

DateTime HeadlessWindow::calendarDate(ControlId id) const {
  return control(id, ControlKind::MonthCalendar).date;
}

void HeadlessWindow::surfaceSetPicture(ControlId id, Picture picture, PictureFit fit) {
  Control& c = control(id, ControlKind::Surface);
  c.picture = std::move(picture);
  c.fit = fit;
}

void HeadlessWindow::moveControl(ControlId id, Rect rect) { control(id).rect = rect; }

Rect HeadlessWindow::controlRect(ControlId id) const { return control(id).rect; }

const Picture& HeadlessWindow::surfacePicture(ControlId id) const {
  return control(id, ControlKind::Surface).picture;
}

PictureFit HeadlessWindow::surfaceFit(ControlId id) const {
  return control(id, ControlKind::Surface).fit;
}

void HeadlessWindow::setMenuEnabled(MenuItemId id, bool on) { menus_.at(id).first = on; }
bool HeadlessWindow::isMenuEnabled(MenuItemId id) const { return menus_.at(id).first; }
void HeadlessWindow::setMenuCaption(MenuItemId id, std::string_view caption) {
  menus_.at(id).second = caption;
}
std::string HeadlessWindow::menuCaption(MenuItemId id) const { return menus_.at(id).second; }

void HeadlessWindow::popupMenu(std::string_view menuDesignName) { poppedMenu_ = menuDesignName; }

void HeadlessWindow::setTimer(TimerId id, std::uint64_t intervalMs) {
  if (intervalMs == 0) {
    timers_.erase(id);
    return;
  }
  timers_[id] = {intervalMs, ui_.clock_.monotonicMs() + intervalMs, ui_.nextTimerOrder()};
}

std::uint64_t HeadlessWindow::timerInterval(TimerId id) const {
  auto it = timers_.find(id);
  return it == timers_.end() ? 0 : it->second.interval;
}

void HeadlessWindow::clickAtPointer() {
  if (pointerControl_ != 0) clickRow(pointerControl_, pointerRow_);
}

void HeadlessWindow::focus(ControlId id) {
  const Control& c = control(id);
  if (c.enabled && c.shown) focused_ = id;
}

void HeadlessWindow::focusAllSelected(ControlId id) {
  focus(id);
  if (focused_ == id) control(id).allSelected = true;
}

bool HeadlessWindow::click(ControlId id) {
  if (!usable(id)) return false;
  // Buttons and check boxes take the focus as the mouse presses them; labels do not.
  const ControlKind kind = control(id).design->kind;
  if (kind == ControlKind::Button || kind == ControlKind::CheckBox) focused_ = id;
  return press(id);
}

bool HeadlessWindow::press(ControlId id) {
  if (!usable(id)) return false;
  Control& c = control(id);
  if (c.design->kind == ControlKind::CheckBox) c.checked = !c.checked;
  events_.onClick(id);
  return true;
}

bool HeadlessWindow::doubleClick(ControlId id) {
  if (!usable(id)) return false;
  events_.onDoubleClick(id);
  return true;
}

bool HeadlessWindow::type(ControlId id, std::string_view text) {
  if (!usable(id)) return false;
  focused_ = id;
  control(id).text = text;
  control(id).allSelected = false;
  events_.onTextTyped(id);
  return true;
}

bool HeadlessWindow::keyDown(ControlId id, int virtualKey) {
  if (!usable(id)) return false;
  events_.onKeyDown(id, virtualKey);
  return true;
}

bool HeadlessWindow::pressKey(int virtualKey, bool shift) {
  if (!open_ || !visible_ || blocked()) return false;
  const KeyAnswer answer =
      answerKey(design_, focused_, virtualKey, shift, [this](ControlId id) { return usable(id); });
  switch (answer.kind) {
    case KeyAnswer::Kind::Focus:
      focused_ = answer.control;
      break;
    case KeyAnswer::Kind::Press:
      press(answer.control);
      break;
    case KeyAnswer::Kind::Close:
      requestClose();
      break;
    case KeyAnswer::Kind::Nothing:
      if (focused_ == 0) events_.onKeyDown(0, virtualKey);
      break;
    case KeyAnswer::Kind::Control:
      controlKey(virtualKey);
      break;
  }
  return true;
}

void HeadlessWindow::controlKey(int virtualKey) {
  if (focused_ == 0) {
    events_.onKeyDown(0, virtualKey);  // the window itself has the keyboard
    return;
  }
  if (!usable(focused_)) return;
  Control& c = control(focused_);
  switch (c.design->kind) {
    case ControlKind::ListBox:
      // The Win32 backend reports a list's keys; other controls keep theirs.
      events_.onKeyDown(focused_, virtualKey);
      break;
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (virtualKey == vk::kSpace) press(focused_);
      break;
    case ControlKind::MultiLineEdit:
      if (virtualKey == vk::kReturn && !c.design->readOnly) {
        c.text += "\r\n";
        events_.onTextTyped(focused_);
      }
      break;
    default:
      break;
  }
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

bool HeadlessWindow::pickDate(ControlId calendar, const DateTime& date) {
  Control& c = control(calendar, ControlKind::MonthCalendar);
  const auto day = calendarDay(date);
  if (!usable(calendar) || !day) return false;
  if (c.date == *day) return true;
  c.date = *day;
  events_.onChanged(calendar);
  return true;
}

bool HeadlessWindow::pressSurface(ControlId surface, Point at, MouseButton button) {
  const Control& c = control(surface, ControlKind::Surface);
  const Rect& r = c.design->rect;
  if (!usable(surface) || at.x < 0 || at.y < 0 || at.x >= r.width || at.y >= r.height) return false;
  events_.onMouseDownAt(surface, button, at);
  return true;
}

bool HeadlessWindow::chooseMenu(MenuItemId id) {
  auto it = menus_.find(id);
  if (it == menus_.end() || !it->second.first || !open_) return false;
  events_.onMenu(id);
  return true;
}

std::string HeadlessWindow::takePoppedMenu() { return std::exchange(poppedMenu_, {}); }

std::vector<std::string> HeadlessWindow::listRows(ControlId list) const {
  std::vector<std::string> rows;
  for (const auto& r : control(list).rows) rows.push_back(r.first);
  return rows;
}

// ---------------------------------------------------------------- ui

std::unique_ptr<Window> HeadlessUi::createWindow(const WindowDesign& design, WindowEvents& events,
                                                 Window* owner) {
  auto w = std::make_unique<HeadlessWindow>(*this, design, events, owner);
  windows_.push_back(w.get());
  events.onCreated();
  HeadlessWindow& created = *w;
  created.focused_ = initialFocus(created.design_, [&created](ControlId id) {
    const auto& c = created.control(id);
    return c.enabled && c.shown;
  });
  return w;
}

void HeadlessUi::runModal(Window& window) {
  auto& w = static_cast<HeadlessWindow&>(window);
  w.modal_ = true;
  w.show();
  w.activate();
  auto it = modalHandlers_.find(w.design().designName);
  if (it != modalHandlers_.end()) it->second(w);
}

void HeadlessUi::onModal(std::string_view windowDesignName, ModalHandler handler) {
  modalHandlers_[std::string(windowDesignName)] = std::move(handler);
}

HeadlessWindow* HeadlessUi::find(std::string_view designName) const {
  for (HeadlessWindow* w : windows_)
    if (w->design().designName == designName && w->isOpen()) return w;
  return nullptr;
}

void HeadlessUi::systemTimeChanged() {
  // A handler may close windows: each is looked for again before it hears.
  const std::vector<HeadlessWindow*> all = windows_;
  for (HeadlessWindow* w : all)
    if (std::find(windows_.begin(), windows_.end(), w) != windows_.end() && w->isOpen())
      w->events().onSystemTimeChanged();
}

void HeadlessUi::quit() {
  quit_ = true;
  posts_->close();
}

std::size_t HeadlessUi::drainPosts() {
  std::size_t ran = 0;
  while (const std::size_t round = posts_->runPending()) ran += round;
  return ran;
}

void HeadlessUi::advance(std::uint64_t ms) {
  const std::uint64_t end = clock_.nowMs_ + ms;
  for (;;) {
    drainPosts();
    HeadlessWindow* next = nullptr;
    TimerId nextId = 0;
    const HeadlessWindow::Timer* best = nullptr;
    for (HeadlessWindow* w : windows_) {
      for (const auto& [id, t] : w->timers_) {
        if (t.due > end) continue;
        if (!best || t.due < best->due || (t.due == best->due && t.order < best->order)) {
          best = &t;
          next = w;
          nextId = id;
        }
      }
    }
    if (!best) break;
    clock_.nowMs_ = std::max(clock_.nowMs_, best->due);
    auto& t = next->timers_[nextId];
    t.due += t.interval;
    t.order = nextTimerOrder();
    next->events_.onTimer(nextId);
  }
  // A nested advance (inside a message box) may have gone further already.
  clock_.nowMs_ = std::max(clock_.nowMs_, end);
}

// ---------------------------------------------------------------- files

bool MemoryFiles::sameFile(const std::string& a, const std::string& b) const {
  return pathKey(a, dir_) == pathKey(b, dir_);
}

std::string MemoryFiles::held(const std::string& path) const {
  if (files_.contains(path)) return path;
  const std::string key = pathKey(path, dir_);
  for (const auto& [name, bytes] : files_)
    if (pathKey(name, dir_) == key) return name;
  return path;
}

bool MemoryFiles::listed(const std::set<std::string>& paths, const std::string& path) const {
  if (paths.contains(path)) return true;
  return std::any_of(paths.begin(), paths.end(),
                     [&](const std::string& p) { return sameFile(p, path); });
}

bool MemoryFiles::mayChange(const std::string& path) {
  const int n = operations_++;
  if (listed(unwritable, path) || n == failOnce_) return false;
  return failAfter_ < 0 || n < failAfter_;
}

bool MemoryFiles::exists(const std::string& path) const { return files_.contains(held(path)); }

std::optional<std::string> MemoryFiles::read(const std::string& path) const {
  ++reads;
  const int n = readCount_++;
  auto it = files_.find(held(path));
  if (it == files_.end() || listed(unreadable, path) || n == failReadOnce_) return std::nullopt;
  return it->second;
}

bool MemoryFiles::writeAtomic(const std::string& path, std::string_view bytes) {
  if (!mayChange(path)) return false;
  ++writes;
  files_[held(path)] = std::string(bytes);
  return true;
}

bool MemoryFiles::copy(const std::string& from, const std::string& to) {
  if (!mayChange(to)) return false;
  auto it = files_.find(held(from));
  if (it == files_.end()) return false;
  files_[held(to)] = it->second;
  return true;
}

bool MemoryFiles::remove(const std::string& path) {
  if (!mayChange(path)) return false;
  return files_.erase(held(path)) > 0;
}

bool MemoryFiles::replace(const std::string& from, const std::string& to) {
  if (!mayChange(to)) return false;
  auto it = files_.find(held(from));
  if (it == files_.end()) return false;
  std::string bytes = std::move(it->second);
  files_.erase(it);
  files_[held(to)] = std::move(bytes);
  return true;
}

// ---------------------------------------------------------------- prompts

void ScriptedPrompts::alert(const Window*, std::string_view text, std::string_view title) {
  shown_.push_back(
      {std::string(text), std::string(title), MessageIcon::None, MessageButtons::Ok, true});
}

MessageAnswer ScriptedPrompts::message(const Window*, std::string_view text, std::string_view title,
                                       MessageIcon icon, MessageButtons buttons) {
  shown_.push_back({std::string(text), std::string(title), icon, buttons});
  if (!whileOpen_.empty()) {
    auto fn = std::move(whileOpen_.front());
    whileOpen_.pop_front();
    fn();
  }
  if (!answers_.empty()) {
    const MessageAnswer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
             ? MessageAnswer::Yes
             : MessageAnswer::Ok;
}

std::optional<std::string> ScriptedPrompts::openFile(const Window*, std::string_view filter,
                                                     std::string_view presetName) {
  lastFilter_ = filter;
  lastPresetName_ = presetName;
  if (!whileFileDialogOpen_.empty()) {
    auto fn = std::move(whileFileDialogOpen_.front());
    whileFileDialogOpen_.pop_front();
    fn();
  }
  if (files_.empty()) return std::nullopt;
  auto f = std::move(files_.front());
  files_.pop_front();
  return f;
}

std::optional<std::string> ScriptedPrompts::saveFile(const Window* owner, std::string_view filter,
                                                     std::string_view presetName) {
  return openFile(owner, filter, presetName);
}

std::vector<std::string> ScriptedPrompts::takeTexts() {
  std::vector<std::string> texts;
  for (auto& s : shown_) texts.push_back(std::move(s.text));
  shown_.clear();
  return texts;
}

// ---------------------------------------------------------------- system fakes

Headless::Headless() {
  shell.journal = &journal;
  processes.journal = &journal;
  power.journal = &journal;
  sound.journal = &journal;
}

bool RecordingShell::open(const std::string& path) {
  calls_.push_back("open:" + path);
  if (journal) journal->push_back(calls_.back());
  return opens;
}

bool RecordingShell::run(const std::string& commandLine) {
  calls_.push_back("run:" + commandLine);
  if (journal) journal->push_back(calls_.back());
  return true;
}

std::vector<ProcessEntry> FakeProcesses::list() const {
  ++snapshots_;
  return table_;
}

bool FakeProcesses::terminate(std::uint32_t id) {
  for (auto it = table_.begin(); it != table_.end(); ++it) {
    if (it->id != id) continue;
    if (journal) journal->push_back("end:" + it->exeName);
    table_.erase(it);
    return true;
  }
  return false;
}

std::uint32_t FakeProcesses::start(std::string exeName) {
  table_.push_back({next_, std::move(exeName)});
  return next_++;
}

bool FakeProcesses::running(std::string_view exeName) const {
  for (const auto& p : table_)
    if (p.exeName == exeName) return true;
  return false;
}

void RecordingPower::request(PowerAction action) {
  requests.push_back(action);
  if (onRequest) onRequest(action);
  if (journal) journal->push_back("power:" + std::to_string(static_cast<int>(action)));
}

class FakePlayer final : public MediaPlayer {
 public:
  explicit FakePlayer(FakeSound& sound) : sound_(sound) { sound_.players_.push_back(&file_); }
  ~FakePlayer() override {
    auto& p = sound_.players_;
    p.erase(std::remove(p.begin(), p.end(), &file_), p.end());
  }
  bool play(const std::string& path) override {
    file_ = path;
    if (sound_.journal) sound_.journal->push_back("play:" + path);
    return true;
  }
  void stop() override { file_.clear(); }

 private:
  FakeSound& sound_;
  std::string file_;
};

void FakeSound::playMusicLoop() {
  music_ = true;
  ++musicStarts;
  if (journal) journal->push_back("music");
}

std::unique_ptr<MediaPlayer> FakeSound::createPlayer() {
  return std::make_unique<FakePlayer>(*this);
}

std::vector<std::string> FakeSound::playing() const {
  std::vector<std::string> files;
  for (const std::string* f : players_)
    if (!f->empty()) files.push_back(*f);
  return files;
}

NetworkAnswer FakeNetwork::get(const std::string& address, std::chrono::milliseconds timeout,
                               std::size_t limit) {
  std::unique_lock lock(mutex_);
  const int read = ++reads_[address];
  lastTimeout_ = timeout;
  lastLimit_ = limit;
  released_.wait(lock, [&] { return !held_; });
  if (const auto once = failOnce_.find(address);
      once != failOnce_.end() && once->second.first == read)
    return {once->second.second};
  const auto page = pages_.find(address);
  if (page == pages_.end()) return {NetworkFailure::NoConnection};
  if (page->second.ok() && page->second.body.size() > limit) return {NetworkFailure::TooLarge, 200};
  return page->second;
}

void FakeNetwork::serve(const std::string& address, std::optional<std::string> body) {
  std::lock_guard lock(mutex_);
  if (body)
    pages_[address] = NetworkAnswer{std::nullopt, 200, std::move(*body)};
  else
    pages_.erase(address);
}

void FakeNetwork::fail(const std::string& address, NetworkFailure failure, int status) {
  std::lock_guard lock(mutex_);
  pages_[address] = NetworkAnswer{failure, status};
}

void FakeNetwork::failOnce(const std::string& address, NetworkFailure failure, int after) {
  std::lock_guard lock(mutex_);
  failOnce_[address] = {reads_[address] + after + 1, failure};
}

void FakeNetwork::hold() {
  std::lock_guard lock(mutex_);
  held_ = true;
}

void FakeNetwork::release() {
  {
    std::lock_guard lock(mutex_);
    held_ = false;
  }
  released_.notify_all();
}

int FakeNetwork::reads(const std::string& address) const {
  std::lock_guard lock(mutex_);
  const auto n = reads_.find(address);
  return n == reads_.end() ? 0 : n->second;
}

std::chrono::milliseconds FakeNetwork::lastTimeout() const {
  std::lock_guard lock(mutex_);
  return lastTimeout_;
}

std::size_t FakeNetwork::lastLimit() const {
  std::lock_guard lock(mutex_);
  return lastLimit_;
}

// ---------------------------------------------------------------- crypto

namespace {

std::uint64_t splitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

}  // namespace

bool FakeCrypto::randomBytes(std::span<std::uint8_t> out) {
  if (failRandom) return false;
  for (auto& b : out) b = static_cast<std::uint8_t>(splitMix(state_));
  return true;
}

bool FakeCrypto::pbkdf2Sha256(std::string_view password, std::span<const std::uint8_t> salt,
                              std::uint32_t iterations, std::span<std::uint8_t> out) {
  ++derivations;
  if (failDerive) return false;
  std::uint64_t h = 0xcbf29ce484222325ULL;
  const auto mix = [&h](std::uint8_t b) { h = (h ^ b) * 0x100000001b3ULL; };
  for (char c : password) mix(static_cast<std::uint8_t>(c));
  mix(0xff);  // keeps ("ab", "c") apart from ("a", "bc")
  for (std::uint8_t b : salt) mix(b);
  for (int i = 0; i < 4; ++i) mix(static_cast<std::uint8_t>(iterations >> (8 * i)));
  for (auto& b : out) b = static_cast<std::uint8_t>(splitMix(h));
  return true;
}

}  // namespace temvik::headless

namespace temvik::headless {

// ---------------------------------------------------------------- desktop

std::vector<TopLevelWindow> FakeDesktop::topLevelWindows() const {
  std::lock_guard lock(mutex_);
  std::vector<TopLevelWindow> all;
  for (const auto& w : windows_) all.push_back(w.window);
  return all;
}

std::optional<std::vector<std::uint8_t>> FakeDesktop::captureWindow(std::int64_t handle) {
  std::lock_guard lock(mutex_);
  ++captures_;
  for (const auto& w : windows_)
    if (w.window.handle == handle && !w.look.empty()) return bmpFromPicture(w.look);
  return std::nullopt;
}

Point FakeDesktop::cursorPosition() const {
  std::lock_guard lock(mutex_);
  return cursor_;
}

Picture FakeDesktop::magnify(Rect source, int width, int height, Point cursorAt) {
  std::lock_guard lock(mutex_);
  ++magnifications_;
  lastSource_ = source;
  Picture out(width, height, rgb(0, 0, 0));
  if (out.empty() || source.width <= 0 || source.height <= 0) return out;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int sx = source.x + x * source.width / width;
      const int sy = source.y + y * source.height / height;
      if (sx >= 0 && sy >= 0 && sx < screen_.width && sy < screen_.height && !screen_.empty())
        out.set(x, y, screen_.at(sx, sy));
    }
  }
  if (cursorAt.x >= 0 && cursorAt.y >= 0 && cursorAt.x < width && cursorAt.y < height)
    out.set(cursorAt.x, cursorAt.y, kCursorColour);
  return out;
}

std::int64_t FakeDesktop::addWindow(std::string title, bool visible, Picture look) {
  std::lock_guard lock(mutex_);
  const std::int64_t handle = next_++;
  windows_.push_back({{handle, visible, std::move(title)}, std::move(look)});
  return handle;
}

void FakeDesktop::setLook(std::int64_t handle, Picture look) {
  std::lock_guard lock(mutex_);
  for (auto& w : windows_)
    if (w.window.handle == handle) w.look = std::move(look);
}

void FakeDesktop::closeWindow(std::int64_t handle) {
  std::lock_guard lock(mutex_);
  std::erase_if(windows_, [&](const Shown& w) { return w.window.handle == handle; });
}

void FakeDesktop::setScreen(Picture screen) {
  std::lock_guard lock(mutex_);
  screen_ = std::move(screen);
}

void FakeDesktop::setCursor(Point at) {
  std::lock_guard lock(mutex_);
  cursor_ = at;
}

int FakeDesktop::captures() const {
  std::lock_guard lock(mutex_);
  return captures_;
}

int FakeDesktop::magnifications() const {
  std::lock_guard lock(mutex_);
  return magnifications_;
}

Rect FakeDesktop::lastMagnifiedSource() const {
  std::lock_guard lock(mutex_);
  return lastSource_;
}

}  // namespace temvik::headless

#pragma once

// In-memory backend for tests: windows whose whole state is readable, a
// virtual clock that fires timers in order, files in a map, and scripted
// answers for message boxes and file dialogs.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop.h"
#include "platform/services.h"

namespace temvik::headless {

class HeadlessUi;

class VirtualClock final : public Clock {
 public:
  [[nodiscard]] DateTime now() const override;
  [[nodiscard]] std::uint64_t monotonicMs() const override { return nowMs_; }
  void setNow(const DateTime& t);

 private:
  friend class HeadlessUi;
  std::uint64_t nowMs_ = 0;
  DateTime base_{2026, 1, 1, 8, 0, 0};
  std::uint64_t baseMs_ = 0;
};

class HeadlessWindow final : public Window {
 public:
  HeadlessWindow(HeadlessUi& ui, const WindowDesign& design, WindowEvents& events, Window* owner);
  ~HeadlessWindow() override;

  // Window
  void setTitle(std::string_view title) override { title_ = title; }
  [[nodiscard]] std::string title() const override { return title_; }
  void show() override { visible_ = true; }
  void hide() override { visible_ = false; }
  [[nodiscard]] bool isVisible() const override { return visible_ && open_; }
  void activate() override;
  void requestClose() override;
  void close() override;
  [[nodiscard]] bool isOpen() const override { return open_; }
  void move(Point topLeft) override;
  [[nodiscard]] Rect bounds() const override { return bounds_; }
  void setLayered(std::uint8_t alpha) override { alpha_ = alpha; }
  [[nodiscard]] int layeredAlpha() const override { return alpha_; }
  void setMinimizeBox(bool shown) override { minimizeBox_ = shown; }
  [[nodiscard]] bool hasMinimizeBox() const override { return minimizeBox_; }

  void setText(ControlId, std::string_view text) override;
  [[nodiscard]] std::string text(ControlId) const override;
  void setEnabled(ControlId, bool) override;
  [[nodiscard]] bool isEnabled(ControlId) const override;
  void setShown(ControlId, bool) override;
  [[nodiscard]] bool isShown(ControlId) const override;
  void moveControl(ControlId, Rect rect) override;
  [[nodiscard]] Rect controlRect(ControlId) const override;
  void setChecked(ControlId, bool) override;
  [[nodiscard]] bool isChecked(ControlId) const override;
  void setTooltip(ControlId, std::string_view) override;
  void focus(ControlId id) override;
  void focusAllSelected(ControlId id) override;
  // Whether the edit box's whole text is selected (until it is typed into).
  [[nodiscard]] bool allSelected(ControlId id) const { return control(id).allSelected; }

  void listClear(ControlId) override;
  int listAdd(ControlId, std::string_view text, std::int64_t data) override;
  void listSetRows(ControlId, const std::vector<std::string>& rows) override;
  void listRemove(ControlId, int row) override;
  [[nodiscard]] int listCount(ControlId) const override;
  [[nodiscard]] std::string listText(ControlId, int row) const override;
  void listSetText(ControlId, int row, std::string_view text) override;
  [[nodiscard]] std::int64_t listData(ControlId, int row) const override;
  void listSetData(ControlId, int row, std::int64_t data) override;
  [[nodiscard]] int listSelection(ControlId) const override;
  void listSelect(ControlId, int row) override;

  // A calendar starts on the virtual clock's date, as a real one on today.
  void calendarSetDate(ControlId, const DateTime& date) override;
  [[nodiscard]] DateTime calendarDate(ControlId) const override;
  void surfaceSetPicture(ControlId, Picture picture, PictureFit fit) override;

  void setMenuEnabled(MenuItemId, bool) override;
  [[nodiscard]] bool isMenuEnabled(MenuItemId) const override;
  void setMenuCaption(MenuItemId, std::string_view) override;
  [[nodiscard]] std::string menuCaption(MenuItemId) const override;
  void popupMenu(std::string_view menuDesignName) override;

  void setTimer(TimerId, std::uint64_t intervalMs) override;
  [[nodiscard]] std::uint64_t timerInterval(TimerId) const override;

  void clickAtPointer() override;

  void showTrayIcon(std::string_view tooltip) override;
  void removeTrayIcon() override { tray_.reset(); }
  [[nodiscard]] bool hasTrayIcon() const override { return tray_.has_value(); }

  // --- what a user does (each refused, returning false, when the control
  // is disabled or hidden, as a real window would ignore it)
  bool click(ControlId id);
  bool doubleClick(ControlId id);
  bool type(ControlId id, std::string_view text);  // replaces the text, then onTextTyped
  bool keyDown(ControlId id, int virtualKey);
  // A key pressed while the window is active: it goes to the focused
  // control, or moves the focus or presses a control by the keyboard rules
  // (platform/keyboard.h). False when the window cannot take keys (closed,
  // hidden, or blocked by a modal window).
  bool pressKey(int virtualKey, bool shift = false);
  // The control with the keyboard focus, 0 for none.
  [[nodiscard]] ControlId focusedControl() const { return focused_; }
  // Left click on a list row: mouse down, selection moves, row selected, mouse up.
  bool clickRow(ControlId list, int row);
  bool rightClickRow(ControlId list, int row);  // pointer over `row` (-1: below the rows)
  bool doubleClickRow(ControlId list, int row);
  bool chooseMenu(MenuItemId id);
  // Right button released over a control (0: the window itself).
  bool rightClick(ControlId id);
  // The minimise box: false when the window's code took it over.
  bool minimize();
  [[nodiscard]] bool isMinimized() const { return minimized_; }
  bool trayDoubleClick();
  bool trayRightClick();
  // Selects `date` in a month calendar (refused for a date it cannot show);
  // onChanged when that is another date than the selected one.
  bool pickDate(ControlId calendar, const DateTime& date);
  // A button goes down on a surface at `at`, which must lie on the surface.
  bool pressSurface(ControlId surface, Point at, MouseButton button = MouseButton::Left);
  // What the surface shows, as last set.
  [[nodiscard]] const Picture& surfacePicture(ControlId surface) const;
  [[nodiscard]] PictureFit surfaceFit(ControlId surface) const;
  [[nodiscard]] std::string trayTooltip() const { return tray_.value_or(""); }
  // The hidden menu popped up last, or "" (cleared when read).
  std::string takePoppedMenu();
  [[nodiscard]] std::vector<std::string> listRows(ControlId list) const;
  [[nodiscard]] const WindowDesign& design() const { return design_; }
  [[nodiscard]] Window* owner() const { return owner_; }
  [[nodiscard]] WindowEvents& events() const { return events_; }
  [[nodiscard]] bool isModal() const { return modal_; }

 private:
  friend class HeadlessUi;
  struct Control {
    const ControlDesign* design = nullptr;
    std::string text;
    std::string tooltip;
    bool enabled = true;
    bool shown = true;
    bool checked = false;
    bool allSelected = false;
    std::vector<std::pair<std::string, std::int64_t>> rows;
    int selection = -1;
    DateTime date;    // month calendars
    Picture picture;  // surfaces
    PictureFit fit = PictureFit::Actual;
    Rect rect;
  };
  struct Timer {
    std::uint64_t interval = 0;
    std::uint64_t due = 0;
    std::uint64_t order = 0;  // start order, to fire equal due times in turn
  };
  Control& control(ControlId id);
  [[nodiscard]] const Control& control(ControlId id) const;
  // The control, which must be of `kind`.
  Control& control(ControlId id, ControlKind kind);
  [[nodiscard]] const Control& control(ControlId id, ControlKind kind) const;
  [[nodiscard]] bool usable(ControlId id) const;
  [[nodiscard]] bool blocked() const;
  // A click's effect without the mouse: what Enter, Esc and Space press.
  bool press(ControlId id);
  // A key the focused control handles itself, as its native kind would.
  void controlKey(int virtualKey);

  HeadlessUi& ui_;
  WindowDesign design_;
  WindowEvents& events_;
  Window* owner_;
  std::string title_;
  Rect bounds_;
  bool visible_ = false;
  bool open_ = true;
  bool modal_ = false;
  bool minimized_ = false;
  bool minimizeBox_ = true;
  int alpha_ = -1;
  ControlId focused_ = 0;
  std::map<ControlId, Control> controls_;
  std::map<MenuItemId, std::pair<bool, std::string>> menus_;  // enabled, caption
  std::map<TimerId, Timer> timers_;
  std::string poppedMenu_;
  std::optional<std::string> tray_;
  // Where the pointer is: a list control and row, for clickAtPointer.
  ControlId pointerControl_ = 0;
  int pointerRow_ = -1;
};

class HeadlessUi final : public Ui {
 public:
  explicit HeadlessUi(VirtualClock& clock) : clock_(clock) {}
  ~HeadlessUi() override { posts_->close(); }
  HeadlessUi(const HeadlessUi&) = delete;
  HeadlessUi& operator=(const HeadlessUi&) = delete;
  std::unique_ptr<Window> createWindow(const WindowDesign& design, WindowEvents& events,
                                       Window* owner) override;
  void runModal(Window& window) override;
  void quit() override;

  // Moves virtual time forward, firing every timer that falls due, in order
  // of due time, with the clock set to each due time as it fires. Posted
  // functions run first and again before each timer, as a message loop
  // takes posted messages before timers.
  void advance(std::uint64_t ms);
  // The system clock was set, or the computer woke: every open window
  // hears onSystemTimeChanged, as Windows tells every top-level window.
  void systemTimeChanged();
  // Runs the posted functions, and what they post in turn, until none is
  // left (posts from other threads included); returns how many ran.
  std::size_t drainPosts();
  // How many posted functions wait to run (posts from other threads included).
  [[nodiscard]] std::size_t pendingPosts() const { return posts_->size(); }

  // A modal window stays open when runModal returns, with its owner blocked
  // until it closes; the test then works it like any other window. A
  // handler registered for its design name runs as it opens.
  using ModalHandler = std::function<void(HeadlessWindow&)>;
  void onModal(std::string_view windowDesignName, ModalHandler handler);

  [[nodiscard]] bool quitRequested() const { return quit_; }
  [[nodiscard]] HeadlessWindow* find(std::string_view designName) const;
  [[nodiscard]] const std::vector<HeadlessWindow*>& windows() const { return windows_; }
  [[nodiscard]] HeadlessWindow* activeWindow() const { return active_; }
  std::uint64_t nextTimerOrder() { return ++timerOrder_; }
  [[nodiscard]] VirtualClock& clock() { return clock_; }

 private:
  friend class HeadlessWindow;
  [[nodiscard]] std::shared_ptr<PostQueue> postQueue() override { return posts_; }

  VirtualClock& clock_;
  std::shared_ptr<PostQueue> posts_ = std::make_shared<PostQueue>();
  std::vector<HeadlessWindow*> windows_;
  std::map<std::string, ModalHandler, std::less<>> modalHandlers_;
  HeadlessWindow* active_ = nullptr;
  std::uint64_t timerOrder_ = 0;
  bool quit_ = false;
};

// Files in memory. A path finds the file put or written under any spelling
// of it that pathKey (platform/file_paths) takes for the same, relative ones
// counted from the program directory; short names are not modelled.
// Failures can be injected.
class MemoryFiles final : public Files {
 public:
  explicit MemoryFiles(std::string programDirectory = "C:\\Temvik")
      : dir_(std::move(programDirectory)) {}

  [[nodiscard]] std::string programDirectory() const override { return dir_; }
  [[nodiscard]] std::string programPath() const override { return dir_ + "\\temvik.exe"; }
  [[nodiscard]] bool sameFile(const std::string& a, const std::string& b) const override;
  [[nodiscard]] bool exists(const std::string& path) const override;
  [[nodiscard]] std::optional<std::string> read(const std::string& path) const override;
  bool writeAtomic(const std::string& path, std::string_view bytes) override;
  bool copy(const std::string& from, const std::string& to) override;
  bool remove(const std::string& path) override;
  bool replace(const std::string& from, const std::string& to) override;

  // Program directory + part ("\\time.ini").
  [[nodiscard]] std::string path(std::string_view part) const { return dir_ + std::string(part); }
  void put(const std::string& path, std::string bytes) { files_[path] = std::move(bytes); }
  [[nodiscard]] const std::map<std::string, std::string>& all() const { return files_; }

  // The n-th changing operation from now on (0 = the next) fails and every
  // one after it too, as if the program died there. -1 turns it off.
  void failFrom(int n) { failAfter_ = n; }
  // Only the n-th changing operation from now on fails (0 = the next).
  void failOnce(int n) { failOnce_ = operations_ + n; }
  // Only the n-th read from now on fails, though the file is there.
  void failReadOnce(int n) { failReadOnce_ = readCount_ + n; }
  [[nodiscard]] int operationCount() const { return operations_; }
  [[nodiscard]] int readCount() const { return readCount_; }
  // Paths the disk refuses to change (written, replaced, copied onto or
  // removed), and existing paths it refuses to read.
  std::set<std::string> unwritable;
  std::set<std::string> unreadable;

  // How often files were read and written, for tests of file traffic.
  mutable int reads = 0;
  int writes = 0;

 private:
  bool mayChange(const std::string& path);
  // The name the file `path` is held under, or `path` when there is none.
  [[nodiscard]] std::string held(const std::string& path) const;
  [[nodiscard]] bool listed(const std::set<std::string>& paths, const std::string& path) const;
  std::string dir_;
  std::map<std::string, std::string> files_;
  int failAfter_ = -1;
  int failOnce_ = -1;
  int operations_ = 0;
  mutable int failReadOnce_ = -1;
  mutable int readCount_ = 0;
};

// Message boxes and file dialogs with scripted answers; every box is logged.
class ScriptedPrompts final : public Prompts {
 public:
  struct Shown {
    std::string text;
    std::string title;
    MessageIcon icon;
    MessageButtons buttons;
    bool systemModal = false;  // an alert
  };
  MessageAnswer message(const Window* owner, std::string_view text, std::string_view title,
                        MessageIcon icon, MessageButtons buttons) override;
  void alert(const Window* owner, std::string_view text, std::string_view title) override;
  std::optional<std::string> openFile(const Window* owner, std::string_view filter,
                                      std::string_view presetName) override;
  std::optional<std::string> saveFile(const Window* owner, std::string_view filter,
                                      std::string_view presetName) override;

  // Answers for the next boxes, in order; without one a box gets its first
  // button (OK or Yes).
  void answer(MessageAnswer a) { answers_.push_back(a); }
  // The next file dialog returns this (nothing = cancel).
  void chooseFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
  // Runs `fn` while the next box is open, as the nested loop of a real box
  // runs timers and posts (a test advances time there).
  void whileNextOpen(std::function<void()> fn) { whileOpen_.push_back(std::move(fn)); }
  // The same for the next file dialog.
  void whileNextFileDialogOpen(std::function<void()> fn) {
    whileFileDialogOpen_.push_back(std::move(fn));
  }

  [[nodiscard]] const std::vector<Shown>& shown() const { return shown_; }
  // Texts of the boxes shown so far, cleared.
  std::vector<std::string> takeTexts();
  void clear() { shown_.clear(); }
  [[nodiscard]] const std::string& lastFilter() const { return lastFilter_; }
  // The file name the last file dialog opened with.
  [[nodiscard]] const std::string& lastPresetName() const { return lastPresetName_; }

 private:
  std::deque<MessageAnswer> answers_;
  std::deque<std::optional<std::string>> files_;
  std::deque<std::function<void()>> whileOpen_;
  std::deque<std::function<void()>> whileFileDialogOpen_;
  std::vector<Shown> shown_;
  std::string lastFilter_;
  std::string lastPresetName_;
};

// Records what was opened and run.
class RecordingShell final : public Shell {
 public:
  bool open(const std::string& path) override;
  bool run(const std::string& commandLine) override;
  // False: every open fails, as for a file no program is set to open.
  bool opens = true;
  // "open:<path>" and "run:<command line>", in order; cleared when read.
  std::vector<std::string> take() { return std::exchange(calls_, {}); }
  [[nodiscard]] const std::vector<std::string>& calls() const { return calls_; }
  // Every call is also appended here (shared with the other fakes).
  std::vector<std::string>* journal = nullptr;

 private:
  std::vector<std::string> calls_;
};

// A process table the test fills; terminated processes leave it.
class FakeProcesses final : public Processes {
 public:
  static constexpr std::uint32_t kSelf = 4242;
  [[nodiscard]] std::vector<ProcessEntry> list() const override;
  [[nodiscard]] std::uint32_t currentId() const override { return kSelf; }
  bool terminate(std::uint32_t id) override;
  std::uint32_t start(std::string exeName);
  [[nodiscard]] bool running(std::string_view exeName) const;
  [[nodiscard]] int snapshots() const { return snapshots_; }
  std::vector<std::string>* journal = nullptr;

 private:
  std::vector<ProcessEntry> table_{{kSelf, "temvik.exe"}};
  std::uint32_t next_ = 100;
  mutable int snapshots_ = 0;
};

class RecordingPower final : public Power {
 public:
  void request(PowerAction action) override;
  std::vector<PowerAction> requests;
  std::function<void(PowerAction)> onRequest;  // runs as a request arrives
  std::vector<std::string>* journal = nullptr;
};

class FakeSound final : public Sound {
 public:
  void playMusicLoop() override;
  void stopMusic() override { music_ = false; }
  [[nodiscard]] bool musicPlaying() const override { return music_; }
  std::unique_ptr<MediaPlayer> createPlayer() override;
  // Files the players are playing now.
  [[nodiscard]] std::vector<std::string> playing() const;
  int musicStarts = 0;
  std::vector<std::string>* journal = nullptr;

 private:
  friend class FakePlayer;
  bool music_ = false;
  std::vector<std::string*> players_;
};

// Web pages the test serves. A held address answers only once the test
// releases it, so a test can watch the program while a read is under way.
// An address never served cannot be connected to.
class FakeNetwork final : public Network {
 public:
  NetworkAnswer get(const std::string& address, std::chrono::milliseconds timeout,
                    std::size_t limit) override;
  // What `address` answers from now on (nothing: it cannot be connected to).
  // A body longer than a read's limit fails it as too large.
  void serve(const std::string& address, std::optional<std::string> body);
  // `address` fails from now on, as `failure` (with `status` for a status).
  void fail(const std::string& address, NetworkFailure failure, int status = 0);
  // Only the read of `address` after the next `after` ones fails, as
  // `failure`; the others answer as served.
  void failOnce(const std::string& address, NetworkFailure failure, int after = 0);
  void hold();
  void release();
  [[nodiscard]] int reads(const std::string& address) const;
  [[nodiscard]] std::chrono::milliseconds lastTimeout() const;
  [[nodiscard]] std::size_t lastLimit() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  std::map<std::string, NetworkAnswer> pages_;
  std::map<std::string, int> reads_;
  std::map<std::string, std::pair<int, NetworkFailure>> failOnce_;  // read number, failure
  std::chrono::milliseconds lastTimeout_{0};
  std::size_t lastLimit_ = 0;
};

// Cheap, deterministic stand-ins for the system's cryptography. The key
// derivation is NOT PBKDF2 and protects nothing: a 64-bit FNV-1a of the
// password, the salt and the round count, stretched to the asked length;
// it costs the same whatever the rounds. It is only a function of its
// inputs, so tests can check that a password matches its stored form. The
// random bytes repeat from run to run.
class FakeCrypto final : public Crypto {
 public:
  bool randomBytes(std::span<std::uint8_t> out) override;
  bool pbkdf2Sha256(std::string_view password, std::span<const std::uint8_t> salt,
                    std::uint32_t iterations, std::span<std::uint8_t> out) override;
  bool failRandom = false;  // randomBytes fails while set
  bool failDerive = false;  // pbkdf2Sha256 fails while set
  int derivations = 0;      // calls of pbkdf2Sha256

 private:
  std::uint64_t state_ = 0x54656d76696bULL;
};

// Other programs' windows and a screen the test paints. The pointer and the
// screen may be read from any thread.
class FakeDesktop final : public Desktop {
 public:
  [[nodiscard]] std::vector<TopLevelWindow> topLevelWindows() const override;
  [[nodiscard]] std::optional<std::vector<std::uint8_t>> captureWindow(
      std::int64_t handle) override;
  [[nodiscard]] Point cursorPosition() const override;
  // Nearest-pixel stretch of the painted screen; the pointer is one pixel
  // of kCursorColour at `cursorAt`.
  [[nodiscard]] Picture magnify(Rect source, int width, int height, Point cursorAt) override;

  static constexpr Pixel kCursorColour = rgb(1, 2, 3);
  // A window with its title and its look (an empty picture: it cannot be
  // taken); returns its handle.
  std::int64_t addWindow(std::string title, bool visible, Picture look = Picture(40, 30));
  void setLook(std::int64_t handle, Picture look);
  void closeWindow(std::int64_t handle);
  void setScreen(Picture screen);
  void setCursor(Point at);
  [[nodiscard]] int captures() const;
  [[nodiscard]] int magnifications() const;
  [[nodiscard]] Rect lastMagnifiedSource() const;

 private:
  struct Shown {
    TopLevelWindow window;
    Picture look;
  };
  mutable std::mutex mutex_;
  std::vector<Shown> windows_;
  std::int64_t next_ = 0x1000;
  Picture screen_;
  Point cursor_;
  int captures_ = 0;
  int magnifications_ = 0;
  Rect lastSource_;
};

// Everything a behaviour test needs, wired together. `journal` lists the
// calls to the shell, processes, power and sound in the order they came.
struct Headless {
  Headless();
  VirtualClock clock;
  HeadlessUi ui{clock};
  MemoryFiles files;
  ScriptedPrompts prompts;
  RecordingShell shell;
  FakeProcesses processes;
  RecordingPower power;
  FakeSound sound;
  // Shared with the services, so that a read the program abandoned may end
  // after the test.
  std::shared_ptr<FakeNetwork> sharedNetwork = std::make_shared<FakeNetwork>();
  FakeNetwork& network = *sharedNetwork;
  FakeCrypto crypto;
  FakeDesktop desktop;
  std::vector<std::string> journal;
  Services services{ui,    clock, files,         prompts, shell,  processes,
                    power, sound, sharedNetwork, crypto,  desktop};
};

}  // namespace temvik::headless

#include "ui/main/main_window.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "run/run_controller.h"
#include "run/run_host.h"
#include "store/app_state.h"
#include "store/messages.h"
#include "store/plan_rewrite.h"
#include "store/plan_store.h"
#include "store/program.h"
#include "store/store_error.h"
#include "timed/timed_plan.h"
#include "tools/progress_watcher.h"
#include "tools/stats_window.h"
#include "tools/stopwatch.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/process_chooser.h"
#include "ui/dialogs/program_chooser.h"
#include "ui/dialogs/prompt_point_editor.h"
#include "ui/dialogs/rename_dialog.h"
#include "ui/main/administration.h"
#include "ui/main/item_editor.h"
#include "ui/main/main_window_ids.h"
#include "ui/main/messages.h"
#include "ui/main/plan_menu.h"
#include "ui/main/program_options.h"
#include "ui/main/sequential_plan.h"
#include "ui/main/user_guide.h"
#include "update/update_check.h"

namespace temvik {

using namespace main_ids;

namespace {

constexpr std::uint64_t kSchedulerIntervalMs = 500;
constexpr std::string_view kMediaFilter =
    "MP3文件(*.mp3)|*.mp3|WAV文件(*.wav)|*.wav|MID文件(*.mid)|*.mid|FLV文件（*.flv）|*.flv|"
    "RMVB文件(*.rmvb)|*.rmvb|WMV文件(*.wmv)|*.wmv|MP4文件(*.mp4)|*.mp4|BMP文件(*.bmp)|*.bmp|"
    "JPG文件(*.jpg)|*.jpg";

}  // namespace

// The main window routes: its menus, buttons and lists hand their work to
// the part that owns it (the editor, the sequential plan, the run, the
// timed plan, the plan menu).
class MainWindow::Impl final : public WindowEvents,
                               public RunHost,
                               public PromptPointHost,
                               public PlanMenuHost,
                               public RenameHost,
                               public TimedHost {
 public:
  Impl(Services& services, std::string updatePageAddress)
      : services_(services),
        store_(services.files),
        mediaDialog_(FileDialog::Kind::Open, std::string(kMediaFilter)),
        endProcessChooser_(services, closedDialogs_, ProcessChooser::Kind::EndProcesses),
        forbiddenChooser_(services, closedDialogs_, ProcessChooser::Kind::Forbidden),
        programChooser_(services, closedDialogs_),
        promptPoints_(services.ui, services.prompts, *this),
        updateCheck_(services, closedDialogs_,
                     updatePageAddress.empty() ? std::string(kUpdatePageAddress)
                                               : std::move(updatePageAddress)),
        about_(services, closedDialogs_),
        planMenu_(services, store_, state_, *this),
        rename_(services, closedDialogs_, *this) {}

  void start() {
    // A rewrite that a crash interrupted is finished before anything reads
    // the plan.
    const bool recovered = guarded([&] { recoverInterruptedRewrite(store_); });
    window_ = services_.ui.createWindow(mainWindowDesign(), *this, nullptr);
    editor_ = std::make_unique<ItemEditor>(*window_, state_);
    // A chooser edits the list of the item it was opened on: when the editor
    // takes another item, or locks, it closes, dropping what was typed.
    editor_->onLeavingItem([this] { closeChoosers(); });
    plan_ = std::make_unique<SequentialPlan>(*window_, *editor_, store_, services_.prompts, state_);
    run_ = std::make_unique<RunController>(services_, store_, state_, *this);
    timed_ = std::make_unique<TimedPlan>(
        services_, store_, state_, *this, *run_, *window_,
        TimedListIds{kSequentialList, kTimedList, kTimedMenuTitle, kTimedMenu});
    admin_ = std::make_unique<Administration>(services_, *window_, *editor_, store_, state_);
    options_ = std::make_unique<ProgramOptions>(services_, store_, state_, *window_, *admin_);
    options_->onChanged([this] {
      run_->keepAwakeWhileRunning();
      timed_->wakeForNextStart();
    });
    Window& w = *window_;
    // Translucent before it first appears, so it never flashes opaque.
    w.setLayered(kLayeredAlpha);
    w.show();
    w.setTimer(kSchedulerTimer, kSchedulerIntervalMs);
    // Made once, hidden; the prompt-point button only shows it.
    promptPoints_.create(w);
    editor_->attachPromptPoints(promptPoints_);
    showTitle(PlanNames{std::string(kDefaultPlanName), std::string(kDefaultTimedName)});
    options_->load();
    if (recovered) {
      guarded([&] {
        showTitle(store_.readPlanNames());
        plan_->refill(true);
        fillTimedList();
        state_.password = store_.readPassword();
      });
    } else {
      showFilesAsTheyAre();
      // Every rewrite writes the password back, so it must be known even
      // here; a file that cannot be read was told of already.
      try {
        state_.password = store_.readPassword();
      } catch (const StoreError&) {
      }
    }
    w.setEnabled(kRunFromStart, !plan_->firstRowFinished());
    // The password dialog grants the rights; without it a stored password
    // keeps the plan read-only.
    admin_->askAtStartUp();
    w.listSelect(kSequentialList, -1);
    plan_->applyResumeRule();
    editor_->applyMediaDesign();
    for (ControlId id :
         {kChooseProgram, kChooseEndProcess, kChooseForbidden, kMediaPath, kOpenMedia})
      w.setEnabled(id, false);
    admin_->applyLockRules();
    w.activate();
  }

  Window& window() { return *window_; }

  void comeForward() {
    if (!window_ || !run_) return;  // start() has not made them yet
    if (run_->runWindow().isOpen())
      run_->runWindow().comeForward();
    else
      window_->activate();
  }

  // ------------------------------------------------------------ RunHost

  Window& mainWindow() override { return *window_; }
  [[nodiscard]] int sequentialCount() const override { return window_->listCount(kSequentialList); }
  [[nodiscard]] std::vector<std::string> sequentialRows() const override { return plan_->rows(); }
  [[nodiscard]] std::vector<RunItem> sequentialItems() const override {
    return plan_->shownItems();
  }
  RunItem loadSequential(int row) override {
    window_->listSelect(kSequentialList, row);
    plan_->loadRow(row);
    return editor_->runItem();
  }
  [[nodiscard]] RunItem editorItem() const override { return editor_->runItem(); }
  void refillSequential() override {
    guarded([&] { plan_->refill(true); });
  }
  void refillTimed() override {
    guarded([&] { fillTimedList(); });
  }
  void applyResumeRule() override { plan_->applyResumeRule(); }
  void confirmAdministrator(Window& owner, std::function<void()> granted) override {
    admin_->confirm(owner, std::move(granted));
  }
  void closeDialogsForTimedStart() override {
    rename_.close();
    admin_->closeDialogs();
    closeChoosers();
    promptPoints_.window().hide();
  }

  // ------------------------------------------------------------ PlanMenuHost

  [[nodiscard]] int partRows(PlanPart part) const override {
    return window_->listCount(part == PlanPart::Sequential ? kSequentialList : kTimedList);
  }
  void reloadPart(PlanPart part) override {
    if (part == PlanPart::Sequential) {
      plan_->refill(true);
      window_->listSelect(kSequentialList, -1);
      window_->setEnabled(kRunFromStart, !plan_->firstRowFinished());
    } else {
      fillTimedList();
      window_->listSelect(kTimedList, -1);
    }
    plan_->applyResumeRule();
  }
  // The imported plan's password is asked for as at start-up.
  void askImportedPassword() override {
    window_->setMenuEnabled(kDeletePassword, false);
    admin_->askAtStartUp();
    admin_->applyLockRules();
  }

  // ------------------------------------------------------------ RenameHost

  [[nodiscard]] std::string partName(PlanPart part) const override {
    return planMenu_.partName(part);
  }
  void renamePart(PlanPart part, const std::string& name) override {
    planMenu_.renamePart(part, name);
  }
  void guardedByHost(const std::function<void()>& action) override { guarded(action); }

  // ------------------------------------------------------------ PromptPointHost

  std::vector<PromptPoint>& promptPoints() override { return editor_->values().promptPoints; }
  [[nodiscard]] int activeRow() const override {
    switch (state_.activeList) {
      case ActiveList::Sequential:
        return window_->listSelection(kSequentialList);
      case ActiveList::Timed:
        return window_->listSelection(kTimedList);
      case ActiveList::Unset:
        break;
    }
    return -1;
  }
  void selectActiveRow(int row) override {
    if (state_.activeList == ActiveList::Sequential) window_->listSelect(kSequentialList, row);
    if (state_.activeList == ActiveList::Timed) window_->listSelect(kTimedList, row);
  }
  void saveItem() override {
    guarded([&] {
      if (state_.activeList == ActiveList::Sequential) plan_->save();
      if (state_.activeList == ActiveList::Timed) timed_->save();
    });
  }

  // ------------------------------------------------------------ TimedHost

  void loadSequentialRow(int row) override {
    window_->listSelect(kSequentialList, row);
    plan_->loadRow(row);
  }
  void saveSequential() override { plan_->save(); }
  void resetEditor() override { editor_->reset(); }
  void loadEditor(const ItemRecord& item) override {
    editor_->load(item);
    if (state_.editLocked()) editor_->applyEditLock();
  }
  [[nodiscard]] ItemRecord editorRecord() const override { return editor_->record(); }
  void showPlanNames(const PlanNames& names) override { showTitle(names); }
  void storeFailed(const StoreError& error) override {
    guarded([&] { throw error; });
  }

  // ------------------------------------------------------------ events

  void onActivated() override {
    if (plan_) plan_->applyResumeRule();
  }

  void onClosed() override { services_.ui.quit(); }

  void onClick(ControlId id) override {
    guarded([&] { handleClick(id); });
  }

  void handleClick(ControlId id) {
    if (ItemEditor::isCheckBox(id)) {
      editor_->checkBoxClicked(id);
      state_.unsavedEdit = true;
      return;
    }
    switch (id) {
      case kExit:
        window_->close();
        break;
      case kAddItem:
        plan_->add();
        break;
      case kSaveItem:
        if (state_.activeList == ActiveList::Sequential) plan_->save();
        if (state_.activeList == ActiveList::Timed) timed_->save();
        break;
      case kMoveUp:
        plan_->moveUp();
        break;
      case kMoveDown:
        plan_->moveDown();
        break;
      case kDeleteItem:
        plan_->deleteSelected();
        break;
      case kClearMarks:
        plan_->clearMarks();
        break;
      case kRunFromStart:
        run_->startFromBeginning();
        break;
      case kResumeUnfinished:
        run_->continueUnfinished();
        break;
      case kOpenMedia:
        // The path follows the dialog's file name, which a cancel leaves as it was.
        mediaDialog_.run(services_.prompts, window_.get());
        editor_->setMediaPath(mediaDialog_.fileName());
        break;
      case kPromptPoints:
        promptPointsPressed();
        break;
      case kChooseProgram:
      case kChooseEndProcess:
      case kChooseForbidden:
        openChooser(id);
        break;
      default:
        break;
    }
  }

  void onTextTyped(ControlId id) override {
    if (!ItemEditor::isEditBox(id)) return;
    if (id == kPlayTime) editor_->playTimeTyped();
    state_.unsavedEdit = true;
  }

  void onRowSelected(ControlId id) override {
    guarded([&] { handleRowSelected(id); });
  }

  void handleRowSelected(ControlId id) {
    if (id == kSequentialList) {
      const int row = window_->listSelection(kSequentialList);
      if (row >= 0) plan_->loadRow(row);
    }
    if (id == kTimedList) timed_->loadSelectedRow();
  }

  void onMenu(MenuItemId id) override {
    guarded([&] { handleMenu(id); });
  }

  void handleMenu(MenuItemId id) {
    switch (id) {
      case kExitProgram:
        window_->close();
        break;
      case kDeleteFromMenu:
        plan_->deleteSelected();
        break;
      case kExportSequential:
        planMenu_.exportPart(PlanPart::Sequential);
        break;
      case kExportTimed:
        planMenu_.exportPart(PlanPart::Timed);
        break;
      case kImportSequential:
        planMenu_.importPart(PlanPart::Sequential);
        break;
      case kImportTimed:
        planMenu_.importPart(PlanPart::Timed);
        break;
      case kRenameSequential:
        rename_.open(*window_, PlanPart::Sequential);
        break;
      case kRenameTimed:
        rename_.open(*window_, PlanPart::Timed);
        break;
      case kDeletePlan:
        planMenu_.deletePlan();
        break;
      case kUserGuide:
        openUserGuide(services_, *window_);
        break;
      case kCheckUpdate:
        updateCheck_.open(*window_);
        break;
      case kSetSync:
      case kAddToTimed:
      case kEditTimed:
        timed_->setSyncCommand();
        break;
      case kCancelSync:
      case kCancelSyncFromMenu:
        timed_->cancelSync();
        break;
      case kGetRights:
        admin_->obtainRights();
        break;
      case kSetPassword:
        admin_->setPassword();
        break;
      case kDeletePassword:
        admin_->deletePassword();
        break;
      case kStopwatch:
        closedDialogs_.release();
        stopwatch_.open(*window_);
        break;
      case kProgressWatcher:
        closedDialogs_.release();
        watcher_.open(*window_);
        break;
      case kStatistics:
        closedDialogs_.release();
        stats_.open(*window_);
        break;
      case kAbout:
        about_.open(*window_);
        break;
      default:
        options_->toggle(id);
        break;
    }
  }

  void onMouseDown(ControlId id, MouseButton button) override {
    guarded([&] { handleMouseDown(id, button); });
  }

  void handleMouseDown(ControlId id, MouseButton button) {
    if (id == kTimedList && button == MouseButton::Left) timed_->leftPressed();
    if (id == kTimedList && button == MouseButton::Right) timed_->rightPressed();
    if (id != kSequentialList) return;
    if (button == MouseButton::Left) plan_->askToSaveEdits();
    // A right press selects the row under the pointer first.
    if (button == MouseButton::Right) window_->clickAtPointer();
  }

  void onMouseUp(ControlId id, MouseButton button) override {
    if (id == kTimedList && button == MouseButton::Right) timed_->rightReleased();
    if (id != kSequentialList || button != MouseButton::Right) return;
    const int row = window_->listSelection(kSequentialList);
    if (row < 0) return;
    window_->setMenuCaption(kSequentialMenuTitle,
                            "正在操作项目：" + window_->listText(kSequentialList, row));
    window_->popupMenu(kSequentialMenu);
  }

  void onKeyDown(ControlId id, int key) override {
    guarded([&] { handleKeyDown(id, key); });
  }

  void handleKeyDown(ControlId id, int key) {
    if (id == kSequentialList && key == vk::kDelete && window_->listSelection(kSequentialList) >= 0)
      plan_->deleteSelected();
    if (id == kTimedList) timed_->keyPressed(key);
  }

  void onDoubleClick(ControlId id) override {
    if (id == kTimedList) timed_->doubleClicked();
    if (id != kSequentialList) return;
    window_->listSelect(kSequentialList, -1);
    editor_->reset();
  }

  void onTimer(TimerId id) override {
    if (id == kSchedulerTimer && timed_) guarded([&] { timed_->tick(); });
  }

  // The clock may have jumped: the scheduler looks at once.
  void onSystemTimeChanged() override {
    if (timed_) guarded([&] { timed_->tick(); });
  }

  // No destructor runs after this: what runs is recorded now.
  void onSessionEnding() override {
    if (run_) run_->history().programEnds();
  }

 private:
  // Runs one action; a plan file that cannot be read or written stops it
  // with one message, and the lists then show what the files hold. False
  // when it stopped so.
  template <class Action>
  bool guarded(Action&& action) {
    try {
      action();
      return true;
    } catch (const StoreError& error) {
      reportStoreError(services_.prompts, window_.get(), error);
      if (window_) showFilesAsTheyAre();
      return false;
    }
  }

  // The lists as the files hold them; a list whose file cannot be read
  // stays empty (the failure was told already).
  void showFilesAsTheyAre() {
    try {
      plan_->refill(true);
    } catch (const StoreError&) {
      window_->listClear(kSequentialList);
    }
    try {
      fillTimedList();
    } catch (const StoreError&) {
      window_->listClear(kTimedList);
    }
    plan_->applyResumeRule();
  }

  void showTitle(const PlanNames& names) {
    state_.sequentialName = names.sequential;
    state_.timedName = names.timed;
    Window& w = *window_;
    w.setTitle(std::string(kProgramTitle) + " -- " + state_.sequentialName + " -- " +
               state_.timedName);
    w.setText(kSequentialGroup, "非同步计划列表--" + state_.sequentialName);
    w.setText(kTimedGroup, "同步计划列表--" + state_.timedName);
  }

  void fillTimedList() { timed_->loadList(); }

  void promptPointsPressed() {
    Window& w = *window_;
    if (state_.activeList == ActiveList::Sequential && plan_->firstRowFinished()) {
      show(services_.prompts, window_.get(), kClearMarksFirst);
      return;
    }
    if (state_.activeList != ActiveList::Sequential) {
      const int row = w.listSelection(kTimedList);
      if (row >= 0 && w.listText(kTimedList, row).find(kFinishedWord) != std::string::npos) {
        show(services_.prompts, window_.get(), kTimedItemFinished);
        return;
      }
    }
    promptPoints_.open();
  }

  // The choosers edit the editor's lists themselves, never a locked one's.
  // A click here is where none of their closed windows can still be busy.
  void openChooser(ControlId button) {
    if (state_.editLocked()) {
      show(services_.prompts, window_.get(), kEditLocked);
      return;
    }
    closedDialogs_.release();
    ItemOptions& o = editor_->values();
    if (button == kChooseProgram) programChooser_.open(*window_, o.programList);
    if (button == kChooseEndProcess) endProcessChooser_.open(*window_, o.processList);
    if (button == kChooseForbidden) forbiddenChooser_.open(*window_, o.forbiddenList);
  }

  void closeChoosers() {
    programChooser_.close();
    endProcessChooser_.close();
    forbiddenChooser_.close();
  }

  Services& services_;
  PlanStore store_;
  AppState state_;
  FileDialog mediaDialog_;
  std::unique_ptr<Window> window_;
  std::unique_ptr<ItemEditor> editor_;
  std::unique_ptr<SequentialPlan> plan_;
  std::unique_ptr<RunController> run_;
  std::unique_ptr<TimedPlan> timed_;
  std::unique_ptr<Administration> admin_;
  std::unique_ptr<ProgramOptions> options_;
  // The choosers' windows go before the main window that owns them.
  RetiredWindows closedDialogs_;
  ProcessChooser endProcessChooser_;
  ProcessChooser forbiddenChooser_;
  ProgramChooser programChooser_;
  PromptPointEditor promptPoints_;
  UpdateCheck updateCheck_;
  AboutWindow about_;
  PlanMenu planMenu_;
  RenameDialog rename_;
  Stopwatch stopwatch_{services_.ui, closedDialogs_};
  ProgressWatcher watcher_{services_, closedDialogs_, state_.settings};
  StatsWindow stats_{services_, closedDialogs_};
};

MainWindow::MainWindow(Services& services, std::string updatePageAddress)
    : impl_(std::make_unique<Impl>(services, std::move(updatePageAddress))) {}
MainWindow::~MainWindow() = default;
void MainWindow::start() { impl_->start(); }
void MainWindow::comeForward() { impl_->comeForward(); }
Window& MainWindow::window() { return impl_->window(); }

}  // namespace temvik

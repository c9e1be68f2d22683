#include "ui/main/main_window.h"

#include <string>
#include <vector>

#include "store/plan_store.h"
#include "ui/main/item_editor.h"
#include "ui/main/main_window_ids.h"

namespace temvik {

using namespace main_ids;

namespace {

constexpr std::string_view kTitlePrefix = "Temvikv1.0 -- ";
constexpr std::uint8_t kTranslucentAlpha = 230;
constexpr std::uint64_t kSchedulerIntervalMs = 500;

enum class ActiveList { Unset, Sequential, Timed };

// Index of the first row that is not finished; -1 when there is none.
int firstUnfinishedRow(const Window& w, ControlId list) {
  const int n = w.listCount(list);
  for (int i = 0; i < n; ++i)
    if (!isFinishedRow(w.listText(list, i))) return i;
  return -1;
}

}  // namespace

class MainWindow::Impl final : public WindowEvents {
 public:
  explicit Impl(Services& services) : services_(services), store_(services.files) {}

  void start() {
    window_ = services_.ui.createWindow(mainWindowSpec(), *this, nullptr);
    editor_ = std::make_unique<ItemEditor>(*window_);
    Window& w = *window_;
    w.show();
    w.setLayered(kTranslucentAlpha);
    w.setTimer(kSchedulerTimer, kSchedulerIntervalMs);
    refreshTitle();
    loadLists();
    w.setEnabled(kRunFromStart, !firstRowFinished());
    password_ = store_.readPassword();
    // The password dialog grants the rights; until it exists a stored
    // password keeps the plan read-only.
    rights_ = password_.empty();
    w.listSelect(kSequentialList, -1);
    applyResumeRule();
    editor_->applyMediaDesign();
    for (ControlId id : {kChooseProgram, kChooseEndProcess, kChooseForbidden, kMediaPath,
                         kOpenMedia})
      w.setEnabled(id, false);
    if (password_.empty()) w.setMenuEnabled(kDeletePassword, false);
    if (!password_.empty() && !rights_) {
      editor_->applyEditLock();
      w.setMenuEnabled(kDeletePassword, false);
    }
    w.activate();
  }

  Window& window() { return *window_; }

  // ------------------------------------------------------------ events

  void onActivated() override {
    if (window_) applyResumeRule();
  }

  void onClosed() override { services_.ui.quit(); }

  void onClick(ControlId id) override {
    if (id == kExit) window_->close();
  }

  void onMenu(MenuItemId id) override {
    if (id == kExitProgram) window_->close();
  }

  void onMouseDown(ControlId id, MouseButton button) override {
    // A right press selects the row under the pointer first.
    if (id == kSequentialList && button == MouseButton::Right) window_->clickAtPointer();
  }

  void onMouseUp(ControlId id, MouseButton button) override {
    if (id != kSequentialList || button != MouseButton::Right) return;
    const int row = window_->listSelection(kSequentialList);
    if (row < 0) return;
    window_->setMenuCaption(kSequentialMenuTitle,
                            "正在操作项目：" + window_->listText(kSequentialList, row));
    window_->popupMenu(kSequentialMenu);
  }

  void onDoubleClick(ControlId id) override {
    if (id != kSequentialList) return;
    window_->listSelect(kSequentialList, -1);
    editor_->reset();
  }

  void onTimer(TimerId) override {}

 private:
  void refreshTitle() {
    const PlanNames names = store_.readPlanNames();
    sequentialName_ = names.sequential;
    timedName_ = names.timed;
    Window& w = *window_;
    w.setTitle(std::string(kTitlePrefix) + sequentialName_ + " -- " + timedName_);
    w.setText(kSequentialGroup, "非同步计划列表--" + sequentialName_);
    w.setText(kTimedGroup, "同步计划列表--" + timedName_);
  }

  void fillList(ControlId list, const std::vector<std::string>& rows) {
    window_->listClear(list);
    for (const auto& row : rows) window_->listAdd(list, row, 0);
  }

  void loadLists() {
    fillList(kSequentialList, store_.loadList(kItemFile, kMarkFile, kMarkKey));
    fillList(kTimedList, store_.loadList(kTimedItemFile, kTimedMarkFile, kTimedMarkKey));
  }

  [[nodiscard]] bool firstRowFinished() const {
    return window_->listCount(kSequentialList) > 0 &&
           isFinishedRow(window_->listText(kSequentialList, 0));
  }

  // "继续未完成" is offered when some rows are finished and some are not.
  void applyResumeRule() {
    window_->setEnabled(kResumeUnfinished, firstUnfinishedRow(*window_, kSequentialList) > 0);
  }

  Services& services_;
  PlanStore store_;
  std::unique_ptr<Window> window_;
  std::unique_ptr<ItemEditor> editor_;
  std::string sequentialName_;
  std::string timedName_;
  std::string password_;
  bool rights_ = true;
  ActiveList activeList_ = ActiveList::Unset;
};

MainWindow::MainWindow(Services& services) : impl_(std::make_unique<Impl>(services)) {}
MainWindow::~MainWindow() = default;
void MainWindow::start() { impl_->start(); }
Window& MainWindow::window() { return impl_->window(); }

}  // namespace temvik

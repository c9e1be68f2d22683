#include "ui/dialogs/process_chooser.h"

#include <string>
#include <vector>

#include "store/comma_list.h"

namespace temvik {

using namespace chooser_ids;

namespace {

// The end-process and the forbidden-process chooser differ only in name
// and title.
WindowDesign processChooserDesign(std::string_view designName, std::string_view title) {
  using K = ControlKind;
  return WindowDesign{
      .designName = designName,
      .title = title,
      .rect = {0, 0, 320, 400},
      .minimizeBox = false,
      .centered = true,
      .controls =
          {
              {kTypedFrame,
               "分组框1",
               "typedFrame",
               K::GroupBox,
               {8, 8, 288, 52},
               "输入 或 从列表选择进程",
               ""},
              {kProcessText, "编辑框1", "processText", K::Edit, {16, 26, 272, 24}, "", ""},
              {kRunningFrame,
               "分组框2",
               "runningFrame",
               K::GroupBox,
               {8, 68, 288, 236},
               "双击列表项目添加",
               ""},
              {kRunningList, "列表框1", "runningProcesses", K::ListBox, {16, 86, 272, 208}, "", ""},
              {kDeleteAll, "超级按钮1", "deleteAll", K::Button, {8, 316, 80, 28}, "全部删除", ""},
              {kProcessOk, "超级按钮2", "ok", K::Button, {128, 316, 76, 28}, "确定", ""},
              {kProcessCancel, "超级按钮3", "cancel", K::Button, {216, 316, 80, 28}, "取消", ""},
          },
      .defaultControl = kProcessOk,
      .cancelControl = kProcessCancel,
  };
}

}  // namespace

const WindowDesign& endProcessChooserDesign() {
  static const WindowDesign design = processChooserDesign("结束进程窗口", "选择结束进程");
  return design;
}

const WindowDesign& forbiddenChooserDesign() {
  static const WindowDesign design = processChooserDesign("禁止进程窗口", "选择禁止进程");
  return design;
}

void ProcessChooser::open(Window& owner, std::string& list) {
  if (bringToFront()) return;  // asked again while it is open
  list_ = &list;
  const bool modal = kind_ == Kind::EndProcesses;
  Window& w = create(modal ? endProcessChooserDesign() : forbiddenChooserDesign(), &owner);
  w.setLayered(kLayeredAlpha);
  // One snapshot, in the platform's order, duplicates and all; it is not
  // refreshed while the chooser is open.
  std::vector<std::string> rows;
  for (const ProcessEntry& p : services_.processes.list()) rows.push_back(p.exeName);
  w.listSetRows(kRunningList, rows);
  w.setText(kProcessText, list);
  if (modal) {
    services_.ui.runModal(w);
  } else {
    w.show();
    w.activate();
  }
}

void ProcessChooser::write(const std::string& text) {
  window_->setText(kProcessText, text);
  *list_ = text;
}

void ProcessChooser::onDoubleClick(ControlId id) {
  if (id != kRunningList) return;
  const int row = window_->listSelection(kRunningList);
  if (row < 0) return;
  write(window_->text(kProcessText) + window_->listText(kRunningList, row) + ",");
}

void ProcessChooser::onClick(ControlId id) {
  switch (id) {
    case kDeleteAll:
      write("");
      break;
    case kProcessOk:
      *list_ = committedCommaList(window_->text(kProcessText));
      close();
      break;
    case kProcessCancel:
      close();
      break;
    default:
      break;
  }
}

}  // namespace temvik

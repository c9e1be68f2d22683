#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/drawing.h"
#include "platform/id_blocks.h"
#include "platform/prompts.h"
#include "platform/services.h"
#include "platform/short_lived_window.h"
#include "store/history.h"
#include "tools/history_stats.h"

namespace temvik {

namespace stats_ids {
enum Control : ControlId {
  kPeriodHeading = id_blocks::kStats + 1,  // 标签4: 时间范围：
  kPeriod,                                 // 下拉框1: 最近 7 天, 最近 30 天
  kChart,                                  // 图表
  kTimes,                                  // 标签1: 计划时长, 实际用时
  kCounts,                                 // 标签2: the counts and 完成比例
  kTopTitle,                               // 标签3
  kTopItems,                               // 列表1
  kExport,                                 // 按钮1
  kOpenFolder,                             // 按钮2
  kClose,                                  // 按钮3
};
}  // namespace stats_ids

// The chart of a period: a bar a day, its finished part solid below and
// the rest hatched above, a value axis in hours and minutes, the dates
// under the bars and the legend; drawn for a surface of `width` × `height`.
[[nodiscard]] Drawing statsChart(const HistoryStats& stats, int width, int height);

// "统计": the time items ran on each of the last 7 or 30 days, the period's
// totals and the items that took the most time, from the history file.
// The file is read off the UI thread each time the window opens; the
// result comes back through Ui::post. One window at a time, not modal.
class StatsWindow final : public ShortLivedWindow {
 public:
  StatsWindow(Services& services, RetiredWindows& retired);
  ~StatsWindow() override;

  // Opens the window over `owner`; one that is open comes to the front.
  void open(Window& owner);

  void onClick(ControlId id) override;
  void onRowSelected(ControlId id) override;

 private:
  struct Read {
    bool failed = false;
    FileFailure failure;
    std::vector<HistoryRecord> records;
  };
  void startRead();
  void readDone(std::uint64_t read, Read result);
  void showPeriod();
  void exportFile();

  Services& services_;
  std::thread reader_;
  std::shared_ptr<StatsWindow*> self_ = std::make_shared<StatsWindow*>(this);
  std::uint64_t read_ = 0;
  enum class State { Reading, Failed, Read } state_ = State::Reading;
  std::vector<HistoryRecord> records_;
  int dayCount_ = 7;
  FileDialog exportDialog_;
};

const WindowDesign& statsDesign();

}  // namespace temvik

#include "tools/stats_window.h"

#include <algorithm>
#include <array>
#include <utility>

#include "store/messages.h"
#include "store/store_error.h"

namespace temvik {

using namespace stats_ids;

namespace {

constexpr std::string_view kCsvFilter = "CSV文件(*.csv)|*.csv";
constexpr std::string_view kNoHistory = "还没有执行记录。";
constexpr std::string_view kReading = "正在读取执行记录……";
constexpr std::string_view kReadFailed = "无法读取执行记录。";

// The periods of 时间范围, in its rows.
struct Period {
  int days;
  std::string_view caption;
};
constexpr std::array<Period, 2> kPeriods{{{7, "最近 7 天"}, {30, "最近 30 天"}}};

constexpr Pixel kInk = rgb(0, 0, 0);
constexpr Pixel kGrid = rgb(217, 217, 217);
constexpr Pixel kFinished = rgb(47, 85, 151);
constexpr Pixel kUnfinished = rgb(197, 90, 17);

// The chart's parts, in the surface's pixels.
constexpr int kAxisWidth = 66;  // the value axis' labels
constexpr int kLegendHeight = 24;
constexpr int kDateHeight = 20;
constexpr int kRightMargin = 8;
constexpr int kLabelHeight = 16;

// The value axis' step in minutes: the smallest that needs no more than
// four steps up to the longest day.
int axisStepMinutes(std::int64_t longestSeconds) {
  static constexpr int kSteps[] = {5, 10, 15, 20, 30, 60, 120, 180, 240, 360, 480, 720};
  for (const int step : kSteps)
    if (longestSeconds <= std::int64_t{step} * 60 * 4) return step;
  return 1440;
}

std::string axisText(int minutes) {
  if (minutes == 0) return "0";
  if (minutes % 60 == 0) return std::to_string(minutes / 60) + "小时";
  return statsDuration(std::int64_t{minutes} * 60);
}

Drawing sentence(std::string_view words, int width, int height) {
  Drawing d;
  d.text({0, 0, width, height}, std::string(words), Drawing::Align::Center, kInk);
  return d;
}

}  // namespace

Drawing statsChart(const HistoryStats& stats, int width, int height) {
  Drawing d;
  const int left = kAxisWidth, right = width - kRightMargin;
  const int top = kLegendHeight + kLabelHeight / 2, bottom = height - kDateHeight;
  const int plotHeight = bottom - top;

  // The legend, top right: the solid shade and the hatch, each with its word.
  const int legendY = (kLegendHeight - 12) / 2;
  d.box({right - 132, legendY, 12, 12}, kFinished);
  d.text({right - 116, 0, 40, kLegendHeight}, "完成", Drawing::Align::Left, kInk);
  d.box({right - 68, legendY, 12, 12}, kUnfinished, Drawing::Fill::Hatched);
  d.text({right - 52, 0, 52, kLegendHeight}, "未完成", Drawing::Align::Left, kInk);

  std::int64_t longest = 0;
  for (const StatsDay& day : stats.days)
    longest = std::max(longest, day.finishedSeconds + day.unfinishedSeconds);
  const int step = axisStepMinutes(longest);
  const int steps = std::max<int>(1, static_cast<int>((longest + step * 60 - 1) / (step * 60)));
  const std::int64_t full = std::int64_t{steps} * step * 60;
  const auto yOf = [&](std::int64_t seconds) {
    return bottom - static_cast<int>(seconds * plotHeight / full);
  };
  for (int i = 0; i <= steps; ++i) {
    const int y = yOf(std::int64_t{i} * step * 60);
    if (i > 0) d.line({left, y}, {right, y}, kGrid);
    d.text({0, y - kLabelHeight / 2, left - 6, kLabelHeight}, axisText(i * step),
           Drawing::Align::Right, kInk);
  }

  const int count = static_cast<int>(stats.days.size());
  if (count > 0) {
    // The days share the width; each bar stands in the middle of its share.
    const auto slotLeft = [&](int i) { return left + i * (right - left) / count; };
    const int barWidth = std::max(3, (right - left) / count * 3 / 5);
    // Every date fits under a week; of a month every fifth, today's among them.
    const int every = count <= 7 ? 1 : 5;
    for (int i = 0; i < count; ++i) {
      const StatsDay& day = stats.days[i];
      const int middle = (slotLeft(i) + slotLeft(i + 1)) / 2;
      const int x = middle - barWidth / 2;
      const int finishedTop = yOf(day.finishedSeconds);
      const int allTop = yOf(day.finishedSeconds + day.unfinishedSeconds);
      if (day.finishedSeconds > 0)
        d.box({x, finishedTop, barWidth, bottom - finishedTop}, kFinished);
      if (day.unfinishedSeconds > 0)
        d.box({x, allTop, barWidth, finishedTop - allTop}, kUnfinished, Drawing::Fill::Hatched);
      if ((count - 1 - i) % every == 0)
        d.text({middle - 24, bottom + 2, 48, kDateHeight - 2},
               std::to_string(day.date.month) + "/" + std::to_string(day.date.day),
               Drawing::Align::Center, kInk);
    }
  }
  d.line({left, top - kLabelHeight / 2}, {left, bottom}, kInk);
  d.line({left, bottom}, {right, bottom}, kInk);
  return d;
}

const WindowDesign& statsDesign() {
  using K = ControlKind;
  static const WindowDesign design{
      .designName = "统计窗口",
      .title = "统计",
      .rect = {80, 60, 560, 520},
      .minimizeBox = false,
      .controls =
          {
              {kPeriodHeading,
               "标签4",
               "periodHeading",
               K::Label,
               {16, 15, 72, 16},
               "时间范围：",
               ""},
              {kPeriod, "下拉框1", "period", K::DropDown, {88, 11, 110, 22}, "", ""},
              {kChart, "图表", "chart", K::Surface, {16, 40, 512, 230}, "", ""},
              {kTimes, "标签1", "times", K::Label, {16, 280, 512, 20}, "", ""},
              {kCounts, "标签2", "counts", K::Label, {16, 302, 512, 20}, "", ""},
              {kTopTitle,
               "标签3",
               "topTitle",
               K::Label,
               {16, 330, 512, 20},
               "用时最多的项目：",
               ""},
              {kTopItems, "列表1", "topItems", K::ListBox, {16, 352, 512, 76}, "", ""},
              {kExport,
               "按钮1",
               "export",
               K::Button,
               {236, 438, 88, 28},
               "导出",
               "把执行记录另存一份"},
              {kOpenFolder,
               "按钮2",
               "openFolder",
               K::Button,
               {332, 438, 100, 28},
               "打开文件夹",
               "打开执行记录所在的文件夹"},
              {kClose, "按钮3", "close", K::Button, {440, 438, 88, 28}, "关闭", ""},
          },
      .defaultControl = kClose,
      .cancelControl = kClose,
  };
  return design;
}

StatsWindow::StatsWindow(Services& services, RetiredWindows& retired)
    : ShortLivedWindow(services.ui, retired),
      services_(services),
      exportDialog_(FileDialog::Kind::Save, std::string(kCsvFilter)) {
  exportDialog_.preset(std::string(kHistoryFile.substr(1)));
}

StatsWindow::~StatsWindow() {
  *self_ = nullptr;
  // A local file's read ends soon; its answer finds no window then.
  if (reader_.joinable()) reader_.join();
}

void StatsWindow::open(Window& owner) {
  if (bringToFront()) return;
  Window& w = create(statsDesign(), &owner);
  for (std::size_t row = 0; row < kPeriods.size(); ++row) {
    w.listAdd(kPeriod, kPeriods[row].caption);
    if (kPeriods[row].days == dayCount_) w.listSelect(kPeriod, static_cast<int>(row));
  }
  startRead();
  w.show();
  w.activate();
}

void StatsWindow::startRead() {
  state_ = State::Reading;
  records_.clear();
  showPeriod();
  if (reader_.joinable()) reader_.join();
  const std::uint64_t read = ++read_;
  reader_ = std::thread([&files = services_.files, poster = services_.ui.poster(),
                         self = std::weak_ptr(self_), read] {
    Read result;
    const std::string path = historyPath(files);
    if (files.exists(path)) {
      if (auto bytes = files.read(path)) {
        result.records = readHistory(*bytes).records;
      } else {
        result.failed = true;
        result.failure = files.lastFailure();
      }
    }
    poster.post([self, read, result = std::move(result)]() mutable {
      if (const auto alive = self.lock(); alive && *alive)
        (*alive)->readDone(read, std::move(result));
    });
  });
}

void StatsWindow::readDone(std::uint64_t read, Read result) {
  // A window closed, or opened again, meanwhile has no use for it.
  if (read != read_ || !isOpen()) return;
  state_ = result.failed ? State::Failed : State::Read;
  records_ = std::move(result.records);
  showPeriod();
  if (result.failed)
    show(services_.prompts, window_.get(), kStoreError, {historyReadFailureText(result.failure)});
}

void StatsWindow::onClick(ControlId id) {
  switch (id) {
    case kExport:
      exportFile();
      break;
    case kOpenFolder:
      services_.shell.open(services_.files.programDirectory());
      break;
    case kClose:
      close();
      break;
    default:
      break;
  }
}

void StatsWindow::onRowSelected(ControlId id) {
  if (id != kPeriod) return;
  const int row = window_->listSelection(kPeriod);
  if (row < 0 || row >= static_cast<int>(kPeriods.size())) return;
  dayCount_ = kPeriods[static_cast<std::size_t>(row)].days;
  showPeriod();
}

void StatsWindow::showPeriod() {
  Window& w = *window_;
  const Rect chart = statsDesign().control(kChart)->rect;
  const bool any = state_ == State::Read && !records_.empty();
  w.setEnabled(kExport, any);
  if (!any) {
    const std::string_view words = state_ == State::Reading  ? kReading
                                   : state_ == State::Failed ? kReadFailed
                                                             : kNoHistory;
    w.surfaceSetDrawing(kChart, sentence(words, chart.width, chart.height));
    w.setText(kTimes, "");
    w.setText(kCounts, "");
    w.listClear(kTopItems);
    return;
  }
  const HistoryStats stats = historyStats(records_, services_.clock.now(), dayCount_);
  w.surfaceSetDrawing(kChart, statsChart(stats, chart.width, chart.height));
  w.setText(kTimes, "计划时长：" + statsDuration(stats.plannedSeconds) + "　　实际用时：" +
                        statsDuration(stats.runSeconds));
  w.setText(kCounts, "完成项目数：" + std::to_string(stats.finishedCount) + "　　放弃项目数：" +
                         std::to_string(stats.unfinishedCount) + "　　完成比例：" +
                         std::to_string(stats.finishedPercent()) + "%");
  std::vector<std::string> rows;
  for (const StatsItem& item : stats.top)
    rows.push_back(item.content + "　" + statsDuration(item.seconds));
  w.listSetRows(kTopItems, rows);
}

void StatsWindow::exportFile() {
  if (!exportDialog_.run(services_.prompts, window_.get())) return;
  Files& files = services_.files;
  const std::string from = historyPath(files);
  const std::string& to = exportDialog_.fileName();
  if (files.sameFile(from, to)) return;  // it is that file already
  if (!files.copy(from, to))
    show(services_.prompts, window_.get(), kStoreError,
         {historyExportFailureText(to, files.lastFailure())});
}

}  // namespace temvik

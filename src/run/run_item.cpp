#include "run/run_item.h"

#include "run/duration.h"
#include "store/comma_list.h"

namespace temvik {

namespace {

bool playsEndSound(const RunItem& item) { return !item.ticked.exitWhenDone && item.ticked.media; }

}  // namespace

std::optional<std::string_view> numberProblem(const RunItem& item) {
  if (auto problem = durationProblem(item.hours, item.minutes, item.seconds)) return problem;
  if (playsEndSound(item)) return playTimeProblem(item.playTime);
  return std::nullopt;
}

std::optional<StartRefusal> startRefusal(const RunItem& item) {
  const RunItem::Ticks& t = item.ticked;
  const ItemOptions& o = item.options;
  // Such an item would end the moment it starts.
  if (isNoTypedTime(item.hours, item.minutes, item.seconds))
    return StartRefusal{"请输入持续时间", "请补充"};
  // A text that is no number is refused as such below.
  if (isNegativeNumber(item.hours)) return StartRefusal{"时是没有负值的", "填的时候要集中注意力"};
  if (isNegativeNumber(item.minutes)) return StartRefusal{"分是没有负值的", "填的时候要集中注意力"};
  if (isNegativeNumber(item.seconds)) return StartRefusal{"秒是没有负值的", "填的时候要集中注意力"};
  if (auto problem = durationProblem(item.hours, item.minutes, item.seconds))
    return StartRefusal{*problem, kPleaseCorrect};
  if (t.runProgram && namesNothing(o.programList))
    return StartRefusal{"请选择一个程序以供到时间执行", "请选择程序"};
  if (t.media && !t.useDefault && item.mediaPath.empty())
    return StartRefusal{"请选择一个提示音以供到时间播放", "请选择提示音"};
  if (t.endProcesses && namesNothing(o.processList))
    return StartRefusal{"请提供完成后要结束的进程", "请补充"};
  if (playsEndSound(item) && item.playTime.empty())
    return StartRefusal{"请输入持续播放提示音的时间", "请补充"};
  if (playsEndSound(item))
    if (auto problem = playTimeProblem(item.playTime))
      return StartRefusal{*problem, kPleaseCorrect};
  if (t.forbid && namesNothing(o.forbiddenList))
    return StartRefusal{"请提供执行中要禁止的进程", "请补充"};
  return std::nullopt;
}

}  // namespace temvik

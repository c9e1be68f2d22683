#include "run/run_item.h"

#include "run/duration.h"

namespace temvik {

std::optional<StartRefusal> startRefusal(const RunItem& item) {
  auto blankOrZero = [](const std::string& t) { return t.empty() || t == "0"; };
  const RunItem::Ticks& t = item.ticked;
  const ItemOptions& o = item.options;
  if (blankOrZero(item.hours) && blankOrZero(item.minutes) && blankOrZero(item.seconds))
    return StartRefusal{"请输入持续时间", "请补充"};
  if (numberValue(item.hours) < -kTolerance)
    return StartRefusal{"时是没有负值的", "填的时候要集中注意力"};
  if (numberValue(item.minutes) < -kTolerance)
    return StartRefusal{"分是没有负值的", "填的时候要集中注意力"};
  if (numberValue(item.seconds) < -kTolerance)
    return StartRefusal{"秒是没有负值的", "填的时候要集中注意力"};
  if (t.runProgram && o.programList.empty())
    return StartRefusal{"请选择一个程序以供到时间执行", "请选择程序"};
  if (t.media && !t.useDefault && item.mediaPath.empty())
    return StartRefusal{"请选择一个提示音以供到时间播放", "请选择提示音"};
  if (t.endProcesses && o.processList.empty())
    return StartRefusal{"请提供完成后要结束的进程", "请补充"};
  if (!t.exitWhenDone && t.media && item.playTime.empty())
    return StartRefusal{"请输入持续播放提示音的时间", "请补充"};
  if (t.forbid && o.forbiddenList.empty())
    return StartRefusal{"请提供执行中要禁止的进程", "请补充"};
  return std::nullopt;
}

}  // namespace temvik

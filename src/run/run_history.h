#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/services.h"
#include "store/history.h"

namespace temvik {

// The history of the item that runs: from its start to the one record its
// end leaves. The time it ran is counted on the monotonic clock, so a change
// of the system time does not alter it.
class RunHistory {
 public:
  explicit RunHistory(Services& services) : services_(services) {}

  // A marker that a run left behind becomes its record, then goes.
  void recoverLeftover();
  // A run begins from the main window or a timed item: a write that fails
  // is told again, once.
  void newRun() { told_ = false; }
  void begin(const std::string& content, std::int64_t plannedSeconds, HistorySource from);
  void remainingChanged() { changed_ = true; }
  // Called every second while the item runs.
  void tick();
  [[nodiscard]] bool running() const { return running_; }
  // 完成, or 改时后完成 after its remaining time was changed.
  [[nodiscard]] HistoryEnd finishedWay() const {
    return changed_ ? HistoryEnd::ChangedThenFinished : HistoryEnd::Finished;
  }
  // The item ended: its record is written, `endAction` the actions taken.
  // Nothing when no item runs.
  void end(HistoryEnd how, const std::string& endAction = {});
  // Ends as `end` does but keeps the record back until a last end action
  // is settled (the notice before the power goes): then `release` writes it
  // with that action's words added, or none.
  void endAndHold(HistoryEnd how, const std::string& endAction);
  void release(std::string_view lastAction = {});
  // The program ends: an item that runs is recorded as 程序结束时中断, a
  // record held back is written. Tells nothing; a record that cannot be
  // written stays in the marker for the next start.
  void programEnds();

 private:
  [[nodiscard]] HistoryRecord soFar(HistoryEnd how, const std::string& endAction) const;
  [[nodiscard]] std::string markerPath() const;
  void writeMarker();
  // False when it failed; `tell` shows that once a run.
  bool write(const HistoryRecord& record, bool tell);
  void tellFailure();

  Services& services_;
  bool running_ = false;
  bool changed_ = false;
  bool told_ = false;
  DateTime start_;
  std::uint64_t startMs_ = 0;
  std::uint64_t markedMs_ = 0;
  std::string content_;
  std::int64_t plannedSeconds_ = 0;
  HistorySource from_ = HistorySource::Sequential;
  std::optional<HistoryRecord> held_;
};

}  // namespace temvik

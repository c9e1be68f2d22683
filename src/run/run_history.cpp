#include "run/run_history.h"

#include "store/messages.h"
#include "store/store_error.h"

namespace temvik {

namespace {

constexpr std::uint64_t kMarkerEveryMs = 60'000;

}  // namespace

std::string RunHistory::markerPath() const {
  return services_.files.programDirectory() + std::string(kHistoryMarkerFile);
}

void RunHistory::recoverLeftover() {
  Files& files = services_.files;
  const std::string path = markerPath();
  if (!files.exists(path)) return;
  const auto bytes = files.read(path);
  if (!bytes) return;  // kept for a later start
  const HistoryRead read = readHistory(*bytes);
  if (!read.records.empty()) {
    HistoryRecord record = read.records.front();
    record.how = HistoryEnd::ProgramEnded;
    if (!appendHistory(files, record)) return;  // tried again at the next start
  }
  files.remove(path);
}

void RunHistory::begin(const std::string& content, std::int64_t plannedSeconds,
                       HistorySource from) {
  if (held_) release();
  running_ = true;
  changed_ = false;
  start_ = services_.clock.now();
  startMs_ = markedMs_ = services_.clock.monotonicMs();
  content_ = content;
  plannedSeconds_ = plannedSeconds;
  from_ = from;
  writeMarker();
}

HistoryRecord RunHistory::soFar(HistoryEnd how, const std::string& endAction) const {
  const auto ran =
      static_cast<std::int64_t>((services_.clock.monotonicMs() - startMs_ + 500) / 1000);
  return {start_, addSeconds(start_, ran), content_, plannedSeconds_, ran, how, endAction, from_};
}

void RunHistory::writeMarker() {
  markedMs_ = services_.clock.monotonicMs();
  const std::string line = historyLine(soFar(HistoryEnd::ProgramEnded, {}));
  if (!services_.files.writeAtomic(markerPath(), line)) tellFailure();
}

void RunHistory::tick() {
  if (running_ && services_.clock.monotonicMs() - markedMs_ >= kMarkerEveryMs) writeMarker();
}

void RunHistory::end(HistoryEnd how, const std::string& endAction) {
  if (!running_) return;
  running_ = false;
  write(soFar(how, endAction), true);
  // Gone even when the record could not be written: it would tell of an end
  // that did not happen.
  services_.files.remove(markerPath());
}

void RunHistory::endAndHold(HistoryEnd how, const std::string& endAction) {
  if (!running_) return;
  running_ = false;
  held_ = soFar(how, endAction);
  services_.files.remove(markerPath());
}

void RunHistory::release(std::string_view lastAction) {
  if (!held_) return;
  HistoryRecord record = std::move(*held_);
  held_.reset();
  if (!lastAction.empty()) {
    if (!record.endAction.empty()) record.endAction += "、";
    record.endAction += lastAction;
  }
  write(record, true);
}

void RunHistory::programEnds() {
  if (held_) {
    HistoryRecord record = std::move(*held_);
    held_.reset();
    write(record, false);
  }
  if (!running_) return;
  running_ = false;
  const HistoryRecord record = soFar(HistoryEnd::ProgramEnded, {});
  if (write(record, false))
    services_.files.remove(markerPath());
  else
    services_.files.writeAtomic(markerPath(), historyLine(record));
}

bool RunHistory::write(const HistoryRecord& record, bool tell) {
  if (appendHistory(services_.files, record)) return true;
  if (tell) tellFailure();
  return false;
}

void RunHistory::tellFailure() {
  if (told_) return;
  told_ = true;
  show(services_.prompts, nullptr, kStoreError,
       {historyWriteFailureText(services_.files.lastFailure())});
}

}  // namespace temvik

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date_time.h"
#include "platform/files.h"

namespace temvik {

// The history of runs: one record for every item a run started, written
// when the item ends, appended to a CSV file beside the exe that Excel on a
// Chinese Windows opens by double click (UTF-8 with a byte-order mark, CR LF,
// fields quoted where needed, one header row). The file is only ever
// appended to; no plan operation rewrites it.
inline constexpr std::string_view kHistoryFile = "\\执行记录.csv";

// Beside the program while an item runs: the record it would leave if the
// program ended now, rewritten about once a minute. The next start makes a
// marker left behind its record (程序结束时中断).
inline constexpr std::string_view kHistoryMarkerFile = "\\执行记录.tmp";

// The header row's columns, in this order.
inline constexpr std::string_view kHistoryColumns[] = {
    "日期", "开始时间", "结束时间", "内容", "计划时长", "实际用时", "结束方式", "结束动作", "来自"};

// How an item ended; each is stored as its Chinese words.
enum class HistoryEnd {
  Finished,             // 完成
  GivenUp,              // 放弃
  ChangedThenFinished,  // 改时后完成: its remaining time was changed, then it finished
  CutByTimed,           // 被同步项目中断
  ProgramEnded,         // 程序结束时中断: the program or the computer ended under it
};

// Which list the item came from.
enum class HistorySource {
  Sequential,  // 非同步计划
  Timed,       // 同步计划
};

struct HistoryRecord {
  DateTime start;       // local; the 日期 column is its date
  DateTime end;         // local
  std::string content;  // the item's 内容
  std::int64_t plannedSeconds = 0;
  std::int64_t runSeconds = 0;  // the time it actually ran
  HistoryEnd how = HistoryEnd::Finished;
  std::string endAction;  // the end actions taken, in words; empty for none
  HistorySource from = HistorySource::Sequential;
  friend bool operator==(const HistoryRecord&, const HistoryRecord&) = default;
};

[[nodiscard]] std::string_view historyEndWords(HistoryEnd how);
[[nodiscard]] std::string_view historySourceWords(HistorySource from);

// One CSV line of the record, CR LF at its end. Dates are "2026-12-09",
// the times whole date-times ("2026-12-09 21:00:05", so an item over
// midnight reads exactly) and the durations h:mm:ss ("1:05:00"), which
// Excel reads as times. A field holding a comma, a quote, CR or LF is
// quoted, its quotes doubled.
[[nodiscard]] std::string historyLine(const HistoryRecord& record);
// What a new history file starts with: the byte-order mark and the header
// row, CR LF at its end.
[[nodiscard]] std::string historyFileStart();
// A duration as the file holds it: h:mm:ss, the hours as many as they are
// ("0:00:05", "25:00:00"); a negative duration counts as 0.
[[nodiscard]] std::string historyDuration(std::int64_t seconds);

// The records of a history file's bytes, in file order. A line that does
// not read as a record (a torn last line, a line edited by hand) is left
// out and counted in `skipped` (the lines between two records that do not
// read count once); it stays in the file. Never throws.
struct HistoryRead {
  std::vector<HistoryRecord> records;
  int skipped = 0;
};
[[nodiscard]] HistoryRead readHistory(std::string_view bytes);

// The history file beside the program.
[[nodiscard]] std::string historyPath(const Files& files);
// Adds the record to the history file and flushes it to disk. A file that
// is new or empty gets its start first; a last line that a crash left
// without its line end gets one, so the record is a line of its own. False
// when the file refused: files.lastFailure() tells why.
bool appendHistory(Files& files, const HistoryRecord& record);

}  // namespace temvik

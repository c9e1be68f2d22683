#include "store/history.h"

#include <gtest/gtest.h>
#include <random>

#include "platform/headless/memory_files.h"

namespace temvik {
namespace {

// Records whose texts hold everything a CSV field must survive.
std::vector<HistoryRecord> generatedRecords(std::mt19937& rng, int count) {
  const std::string_view pieces[] = {"任务", ",", "\"",   "\r\n", "\n", "\r", " ",
                                     "a",    "😀", "\"\"", "、",   "=1", "Ａ"};
  auto text = [&](int most) {
    std::string s;
    for (int n = static_cast<int>(rng() % (most + 1)); n > 0; --n)
      s += pieces[rng() % std::size(pieces)];
    return s;
  };
  std::vector<HistoryRecord> records;
  for (int i = 0; i < count; ++i) {
    HistoryRecord r;
    r.start = dateTimeOfSeconds(secondsOf({2000, 1, 1}) +
                                static_cast<std::int64_t>(rng() % 1'000'000'000));
    r.runSeconds = rng() % 4 == 0 ? 0 : static_cast<std::int64_t>(rng() % 200'000);
    r.plannedSeconds =
        rng() % 4 == 0 ? r.runSeconds : static_cast<std::int64_t>(rng() % 40'000'000);
    r.end = addSeconds(r.start, r.runSeconds + static_cast<std::int64_t>(rng() % 90));
    r.content = text(8);
    r.how = static_cast<HistoryEnd>(rng() % 5);
    r.endAction = rng() % 2 ? std::string() : text(3);
    r.from = static_cast<HistorySource>(rng() % 2);
    records.push_back(r);
  }
  return records;
}

std::string fileOf(const std::vector<HistoryRecord>& records) {
  std::string bytes = historyFileStart();
  for (const auto& r : records) bytes += historyLine(r);
  return bytes;
}

TEST(History, LineHasTheColumnsExcelReads) {
  EXPECT_EQ(historyFileStart(),
            "\xEF\xBB\xBF日期,开始时间,结束时间,内容,计划时长,实际用时,结束方式,结束动作,来自\r\n");
  const HistoryRecord r{
      {2026, 12, 9, 23, 30, 5},        {2026, 12, 10, 0, 35, 5}, "背单词, \"第一\"课", 3900, 3900,
      HistoryEnd::ChangedThenFinished, "运行程序、关机",         HistorySource::Timed};
  EXPECT_EQ(historyLine(r),
            "2026-12-09,2026-12-09 23:30:05,2026-12-10 00:35:05,\"背单词, \"\"第一\"\"课\",1:05:00,"
            "1:05:00,改时后完成,运行程序、关机,同步计划\r\n");
  EXPECT_EQ(historyDuration(5), "0:00:05");
  EXPECT_EQ(historyDuration(36'000'000), "10000:00:00");
  EXPECT_EQ(historyDuration(-3), "0:00:00");
}

TEST(History, GeneratedRecordsReadBackAndTornLinesAreSkippedNeverMisread) {
  std::mt19937 rng(20261209);
  for (int round = 0; round < 40; ++round) {
    const auto records = generatedRecords(rng, 1 + static_cast<int>(rng() % 6));
    const std::string whole = fileOf(records);
    const HistoryRead read = readHistory(whole);
    ASSERT_EQ(read.records, records) << whole;
    EXPECT_EQ(read.skipped, 0);

    // Every prefix of the last line: the earlier records stay, the last is
    // read whole or skipped and counted.
    const std::string last = historyLine(records.back());
    const std::string before = whole.substr(0, whole.size() - last.size());
    const std::vector<HistoryRecord> earlier(records.begin(), records.end() - 1);
    for (std::size_t cut = 0; cut <= last.size(); ++cut) {
      const HistoryRead torn = readHistory(before + last.substr(0, cut));
      const bool readWhole = torn.records.size() == records.size();
      ASSERT_EQ(
          std::vector<HistoryRecord>(torn.records.begin(), torn.records.begin() + earlier.size()),
          earlier)
          << cut;
      if (readWhole) {
        EXPECT_EQ(torn.records.back(), records.back()) << cut;
        EXPECT_EQ(torn.skipped, 0);
      } else {
        EXPECT_EQ(torn.records.size(), earlier.size()) << cut;
        EXPECT_EQ(torn.skipped, cut == 0 ? 0 : 1) << cut << ": " << last.substr(0, cut);
      }
    }

    // A torn record the next start closed with a line end, and a line edited
    // into nonsense, cost only themselves; the records after them stay.
    const auto more = generatedRecords(rng, 3);
    const std::string tornFirst = historyLine(more[0]);
    const std::string damaged = before + tornFirst.substr(0, rng() % (tornFirst.size() - 2)) +
                                "\r\n" + "2026-12-09,垃圾,\"\r\n" + historyLine(more[1]) +
                                historyLine(more[2]);
    const HistoryRead mended = readHistory(damaged);
    std::vector<HistoryRecord> expected = earlier;
    expected.push_back(more[1]);
    expected.push_back(more[2]);
    EXPECT_EQ(mended.records, expected) << damaged;
    EXPECT_GE(mended.skipped, 1);
  }
}

TEST(History, ReadsWithoutByteOrderMarkOrHeaderAndRefusesWrongFields) {
  const std::string line =
      "2026-12-09,2026-12-09 21:00:05,2026-12-09 "
      "21:30:05,读书,0:30:00,0:29:59,放弃,,非同步计划\r\n";
  EXPECT_EQ(readHistory(line).records.size(), 1u);
  EXPECT_EQ(
      readHistory("日期,开始时间,结束时间,内容,计划时长,实际用时,结束方式,结束动作,来自\n" + line)
          .skipped,
      0);
  const std::string wrong[] = {
      "2026-12-08,2026-12-09 21:00:05,2026-12-09 21:30:05,读书,0:30:00,0:29:59,放弃,,非同步计划",
      "2026-12-09,2026-12-9 21:00:05,2026-12-09 21:30:05,读书,0:30:00,0:29:59,放弃,,非同步计划",
      "2026-12-09,2026-12-09 21:00:05,2026-12-09 21:30:05,读书,0:60:00,0:29:59,放弃,,非同步计划",
      "2026-12-09,2026-12-09 21:00:05,2026-12-09 21:30:05,读书,:30:00,0:29:59,放弃,,非同步计划",
      "2026-12-09,2026-12-09 21:00:05,2026-12-09 21:30:05,读书,0:30:00,0:29:59,放,,非同步计划",
      "2026-12-09,2026-12-09 21:00:05,2026-12-09 21:30:05,读书,0:30:00,0:29:59,放弃,,同步",
      "2026-12-09,2026-12-09 21:00:05,2026-12-09 21:30:05,读\"书\",0:30:00,0:29:59,放弃,,同步计划",
      "2026-12-09,2026-12-09 21:00:05,2026-12-09 21:30:05,读书,0:30:00,0:29:59,放弃,,同步计划,",
  };
  for (const auto& w : wrong) {
    const HistoryRead read = readHistory(w + "\r\n" + line);
    EXPECT_EQ(read.records.size(), 1u) << w;
    EXPECT_EQ(read.skipped, 1) << w;
  }
}

TEST(History, AppendStartsTheFileAndKeepsEachRecordOnALineOfItsOwn) {
  std::mt19937 rng(7);
  const auto records = generatedRecords(rng, 4);
  headless::MemoryFiles files;
  const std::string path = files.path("\\执行记录.csv");
  ASSERT_EQ(historyPath(files), path);
  // New, empty, and ending in a torn line that a crash left.
  for (const std::string& held :
       {std::string("-"), std::string(), historyLine(records[3]).substr(0, 30)}) {
    if (held == "-")
      files.remove(path);
    else
      files.put(path, held);
    ASSERT_TRUE(appendHistory(files, records[0]));
    ASSERT_TRUE(appendHistory(files, records[1]));
    const HistoryRead read = readHistory(*files.read(path));
    EXPECT_EQ(read.records, std::vector<HistoryRecord>(records.begin(), records.begin() + 2));
    EXPECT_EQ(read.skipped, held.size() > 1 ? 1 : 0);
    EXPECT_EQ(files.read(path)->starts_with(historyFileStart()), held.size() <= 1);
  }
  files.unwritable.insert(path);
  EXPECT_FALSE(appendHistory(files, records[2]));
  EXPECT_EQ(files.lastFailure().code, headless::kAccessDenied.code);
}

}  // namespace
}  // namespace temvik

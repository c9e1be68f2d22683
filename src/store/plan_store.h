#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "store/history.h"
#include "store/ini.h"

namespace temvik {

// File parts, used exactly as written after the program directory.
inline constexpr std::string_view kItemFile = "\\time.ini";
inline constexpr std::string_view kMarkFile = "\\win.ini";
inline constexpr std::string_view kTimedItemFile = "\\out.ini";
inline constexpr std::string_view kTimedMarkFile = "\\fin.ini";
inline constexpr std::string_view kPlanNameFile = "\\name.ini";
inline constexpr std::string_view kScratchItemFile = "\\time1.ini";
inline constexpr std::string_view kScratchMarkFile = "\\win1.ini";
inline constexpr std::string_view kScratchTimedItemFile = "\\out1.ini";
inline constexpr std::string_view kScratchTimedMarkFile = "\\fin1.ini";
// The program's settings (store/settings.h), no part of the plan.
inline constexpr std::string_view kSettingsFile = "\\settings.ini";
// Every file the program keeps beside itself; no import or export may take
// one of them.
// clang-format off
inline constexpr std::array<std::string_view, 12> kProgramFiles = {
    kItemFile, kMarkFile, kTimedItemFile, kTimedMarkFile, kPlanNameFile,
    kScratchItemFile, kScratchMarkFile, kScratchTimedItemFile, kScratchTimedMarkFile,
    kSettingsFile, kHistoryFile, kHistoryMarkerFile};
// clang-format on

inline constexpr std::string_view kFinishedMark = "已完成--";  // 8 bytes in GBK
inline constexpr std::string_view kFinishedWord = "已完成";
inline constexpr std::string_view kTrue = "真";
inline constexpr std::string_view kFalse = "假";
inline constexpr std::string_view kPasswordSection = "密码";
inline constexpr std::string_view kPasswordKey = "密码";
inline constexpr std::string_view kMarkKey = "win";
inline constexpr std::string_view kTimedMarkKey = "fin";
inline constexpr std::string_view kDefaultPlanName = "默认计划";
inline constexpr std::string_view kDefaultTimedName = "默认同步";
inline constexpr int kMaxPromptPoints = 5;

// The plan-name file: one section with the names of the two plan parts.
inline constexpr std::string_view kPlanNameSection = "名称";
inline constexpr std::string_view kPlanNameKey = "名称";
inline constexpr std::string_view kTimedNameKey = "同步";

// Keys of an item record, in the order a save writes them.
inline constexpr std::string_view kContentKey = "内容";
inline constexpr std::array<std::string_view, 19> kItemKeys = {
    "内容",     "时",       "分",   "秒",     "是否执行", "执行名", "完成退出",
    "结束进程", "进程",     "关机", "重启",   "注销",     "锁定",   "提示音",
    "默认",     "提示音名", "播放", "禁止名", "禁止进程"};
// The two keys a timed item has before the others: its start time (the
// text form of platform/date_time.h) and its start sound.
inline constexpr std::string_view kStartTimeKey = "同步时间";
inline constexpr std::string_view kStartSoundKey = "同步提示";
// A timed item that repeats has one more key, after all the others (an
// earlier version reads the rest as ever): "每天", "工作日" (Monday to
// Friday) or "每周" (its weekday). Absent or any other value: it does not
// repeat.
inline constexpr std::string_view kRepeatKey = "重复";
inline constexpr std::string_view kRepeatDaily = "每天";
inline constexpr std::string_view kRepeatWeekdays = "工作日";
inline constexpr std::string_view kRepeatWeekly = "每周";
// Key parts of prompt point n: "断点" + n + part.
inline constexpr std::string_view kPointNamePart = "名";
inline constexpr std::string_view kPointTimePart = "时间";
inline constexpr std::string_view kPointSoundPart = "音";
[[nodiscard]] std::string promptPointKey(int n, std::string_view part);

// Reading rules of stored values.
[[nodiscard]] inline bool readFlag(std::string_view v) { return v == kTrue; }
// "默认" is false only when it says "假"; absent means the default sound.
[[nodiscard]] inline bool readUseDefault(std::string_view v) { return v != kFalse; }
[[nodiscard]] inline std::string_view flagText(bool on) { return on ? kTrue : kFalse; }

// A row is finished when it begins with the mark.
[[nodiscard]] bool isFinishedRow(std::string_view row);
// The section (content) a row belongs to: the row without its mark.
[[nodiscard]] std::string sectionOfRow(std::string_view row);
// 0-based index of the first row that is not finished; -1 when all are or
// there are none.
[[nodiscard]] int firstUnfinishedRow(const std::vector<std::string>& rows);

// One prompt point of an item, values as stored.
struct PromptPointRecord {
  std::string name;
  std::string packedTime;  // decimal integer text; the point exists when non-empty
  std::string sound;
  friend bool operator==(const PromptPointRecord&, const PromptPointRecord&) = default;
};

// One task item: a section named by its content. Values are kept as the
// stored text so that copying an item changes nothing.
struct ItemRecord {
  std::string content;                          // 内容
  std::string hours;                            // 时
  std::string minutes;                          // 分
  std::string seconds;                          // 秒
  std::string runProgram;                       // 是否执行
  std::string programList;                      // 执行名
  std::string exitApp;                          // 完成退出
  std::string endProcesses;                     // 结束进程
  std::string processList;                      // 进程
  std::string shutdown;                         // 关机
  std::string restart;                          // 重启
  std::string logOff;                           // 注销
  std::string lock;                             // 锁定
  std::string media;                            // 提示音
  std::string useDefault;                       // 默认
  std::string mediaPath;                        // 提示音名
  std::string playSeconds;                      // 播放
  std::string forbiddenList;                    // 禁止名
  std::string forbid;                           // 禁止进程
  std::vector<PromptPointRecord> promptPoints;  // points 1..5 that exist, in order

  friend bool operator==(const ItemRecord&, const ItemRecord&) = default;
};

// Reads an item's keys from a section; absent keys read as "".
[[nodiscard]] ItemRecord readItem(const IniDocument& doc, std::string_view section);
// Writes every key in the stored order, then prompt points 1..P without gaps.
// Keys of points P+1..5 left in the section from an earlier record are
// removed, so that readItem gives back exactly `item`.
void writeItem(IniDocument& doc, std::string_view section, ItemRecord item);
// Writes the record as the whole of its section: an existing section keeps
// its name and its place and holds the record's keys only, in the stored
// order, as a new one would.
void writeWholeItem(IniDocument& doc, std::string_view section, ItemRecord item);

// One item of a list file: the section it lives in and the content its row
// shows. A file the program wrote names the section by the content.
struct ListItem {
  std::string section;
  std::string content;  // "内容"
};

// The items of a list file, in file order: every section with a non-empty
// "内容" except the password section. This alone decides what a list shows,
// which items the scheduler and the overlap test walk, which section a row
// stands for and what a rewrite treats as an item. Every other section (no
// content, the password, a name that repeats an earlier section's, which
// reads by name never reach) is passed over, never an end: the items after
// it are items too. Rewrites keep such sections where they stand.
[[nodiscard]] std::vector<ListItem> listItems(const IniDocument& items);
// Whether the rows (mark + content) show these items, one each, in order.
[[nodiscard]] bool rowsShowItems(const std::vector<ListItem>& items,
                                 const std::vector<std::string>& rows);
// The item that row `row`, whose text is `rowText`, stands for: the row-th
// item while the list shows the file, otherwise the first item with the
// row's content. Nothing when the file holds no such item.
[[nodiscard]] const ListItem* itemOfRow(const std::vector<ListItem>& items, int row,
                                        std::string_view rowText);

struct PlanNames {
  std::string sequential;  // "默认计划" when empty
  std::string timed;       // "默认同步" when empty
};

// The plan files in the program directory. Nothing is cached: every call
// reads the files afresh, and each call parses a file at most once.
// A file that exists but cannot be read, and every failed write, throw
// StoreError: nothing is ever taken for empty and then written over.
class PlanStore {
 public:
  explicit PlanStore(Files& files);

  // Program directory + file part.
  [[nodiscard]] std::string path(std::string_view filePart) const;
  // True when `path`, however it is spelled, names one of kProgramFiles or
  // the program itself: nothing from outside may be written there.
  [[nodiscard]] bool isProgramFile(const std::string& path) const;

  // The file decoded from GBK; an empty document when there is none.
  [[nodiscard]] IniDocument load(std::string_view filePart) const;
  // Writes the whole file atomically, encoded in GBK.
  void save(std::string_view filePart, const IniDocument& doc);
  // Removes the file; nothing to do when there is none.
  void remove(std::string_view filePart);

  // Single-key access, one file operation each.
  [[nodiscard]] std::string read(std::string_view filePart, std::string_view section,
                                 std::string_view key) const;
  // Leaves the file untouched when the key already holds the value.
  void write(std::string_view filePart, std::string_view section, std::string_view key,
             std::string_view value);

  // Section names in file order joined by CR LF, no trailing CR LF.
  [[nodiscard]] std::string sectionList(std::string_view filePart) const;
  // Value of `key` in the n-th (1-based) section; "" when there is none.
  [[nodiscard]] std::string positionalRead(std::string_view filePart, int n,
                                           std::string_view key) const;

  // Rows of a list: mark + content for each of listItems() in file order.
  // Row r takes its mark from the r-th section of the mark file. With an
  // empty markFilePart the rows carry no marks. Each file is read once.
  [[nodiscard]] std::vector<std::string> loadList(std::string_view itemFilePart,
                                                  std::string_view markFilePart,
                                                  std::string_view markKey) const;

  // The same rows from documents already read.
  [[nodiscard]] static std::vector<std::string> listRows(const IniDocument& items,
                                                         const IniDocument& marks,
                                                         std::string_view markKey);

  [[nodiscard]] PlanNames readPlanNames() const;
  [[nodiscard]] std::string readPassword() const;

  [[nodiscard]] Files& files() const { return files_; }

 private:
  Files& files_;
};

}  // namespace temvik

#include "store/plan_store.h"

#include <climits>

#include "store/gbk.h"
#include "store/store_error.h"
#include "store/text.h"

namespace temvik {
namespace {

// The record's fields in the order of kItemKeys.
constexpr std::array<std::string ItemRecord::*, kItemKeys.size()> kItemFields = {
    &ItemRecord::content,   &ItemRecord::hours,        &ItemRecord::minutes,
    &ItemRecord::seconds,   &ItemRecord::runProgram,   &ItemRecord::programList,
    &ItemRecord::exitApp,   &ItemRecord::endProcesses, &ItemRecord::processList,
    &ItemRecord::shutdown,  &ItemRecord::restart,      &ItemRecord::logOff,
    &ItemRecord::lock,      &ItemRecord::media,        &ItemRecord::useDefault,
    &ItemRecord::mediaPath, &ItemRecord::playSeconds,  &ItemRecord::forbiddenList,
    &ItemRecord::forbid};

}  // namespace

bool isFinishedRow(std::string_view row) { return row.starts_with(kFinishedMark); }

std::string sectionOfRow(std::string_view row) {
  if (isFinishedRow(row)) row.remove_prefix(kFinishedMark.size());
  return std::string(row);
}

int firstUnfinishedRow(const std::vector<std::string>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (!isFinishedRow(rows[i])) return static_cast<int>(i);
  return -1;
}

std::string fileBaseName(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  return std::string(path.substr(0, path.find('.')));
}

long long integerValue(std::string_view typed) {
  const std::string text = halfWidthNumber(typed);
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate towards the negative side, which holds one more value.
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (value < (LLONG_MIN + digit) / 10) {
      value = LLONG_MIN;
      break;
    }
    value = value * 10 - digit;
  }
  if (negative) return value;
  return value == LLONG_MIN ? LLONG_MAX : -value;
}

std::string promptPointKey(int n, std::string_view part) {
  std::string key = "断点";
  key += std::to_string(n);
  key += part;
  return key;
}

ItemRecord readItem(const IniDocument& doc, std::string_view section) {
  ItemRecord item;
  for (std::size_t i = 0; i < kItemKeys.size(); ++i)
    item.*kItemFields[i] = doc.value(section, kItemKeys[i]);
  for (int n = 1; n <= kMaxPromptPoints; ++n) {
    std::string time = doc.value(section, promptPointKey(n, kPointTimePart));
    if (time.empty()) continue;
    item.promptPoints.push_back({doc.value(section, promptPointKey(n, kPointNamePart)),
                                 std::move(time),
                                 doc.value(section, promptPointKey(n, kPointSoundPart))});
  }
  return item;
}

void writeItem(IniDocument& doc, std::string_view section, const ItemRecord& item) {
  for (std::size_t i = 0; i < kItemKeys.size(); ++i)
    doc.set(section, kItemKeys[i], item.*kItemFields[i]);
  int n = 0;
  for (const auto& point : item.promptPoints) {
    if (++n > kMaxPromptPoints) break;
    doc.set(section, promptPointKey(n, kPointNamePart), point.name);
    doc.set(section, promptPointKey(n, kPointTimePart), point.packedTime);
    doc.set(section, promptPointKey(n, kPointSoundPart), point.sound);
  }
  for (++n; n <= kMaxPromptPoints; ++n) {
    doc.removeKey(section, promptPointKey(n, kPointNamePart));
    doc.removeKey(section, promptPointKey(n, kPointTimePart));
    doc.removeKey(section, promptPointKey(n, kPointSoundPart));
  }
}

PlanStore::PlanStore(Files& files) : files_(files) {}

std::string PlanStore::path(std::string_view filePart) const {
  return files_.programDirectory() + std::string(filePart);
}

IniDocument PlanStore::load(std::string_view filePart) const {
  const std::string file = path(filePart);
  const auto bytes = files_.read(file);
  if (!bytes) {
    if (files_.exists(file)) throw StoreError(StoreError::Kind::Read, file);
    return {};
  }
  return IniDocument::parse(gbkToUtf8(*bytes));
}

void PlanStore::save(std::string_view filePart, const IniDocument& doc) {
  const std::string file = path(filePart);
  if (!files_.writeAtomic(file, utf8ToGbk(doc.serialize())))
    throw StoreError(StoreError::Kind::Write, file);
}

void PlanStore::remove(std::string_view filePart) {
  const std::string file = path(filePart);
  if (!files_.remove(file) && files_.exists(file)) throw StoreError(StoreError::Kind::Write, file);
}

std::string PlanStore::read(std::string_view filePart, std::string_view section,
                            std::string_view key) const {
  return load(filePart).value(section, key);
}

void PlanStore::write(std::string_view filePart, std::string_view section, std::string_view key,
                      std::string_view value) {
  IniDocument doc = load(filePart);
  if (doc.set(section, key, value)) save(filePart, doc);
}

std::string PlanStore::sectionList(std::string_view filePart) const {
  std::string list;
  for (const auto& name : load(filePart).sectionNames()) {
    if (!list.empty()) list += "\r\n";
    list += name;
  }
  return list;
}

std::string PlanStore::positionalRead(std::string_view filePart, int n,
                                      std::string_view key) const {
  const IniDocument doc = load(filePart);
  const auto names = doc.sectionNames();
  if (n < 1 || static_cast<std::size_t>(n) > names.size()) return {};
  return doc.value(names[static_cast<std::size_t>(n - 1)], key);
}

std::vector<std::string> PlanStore::loadList(std::string_view itemFilePart,
                                             std::string_view markFilePart,
                                             std::string_view markKey) const {
  const IniDocument items = load(itemFilePart);
  const IniDocument marks = markFilePart.empty() ? IniDocument() : load(markFilePart);
  return listRows(items, marks, markKey);
}

std::vector<std::string> PlanStore::listRows(const IniDocument& items, const IniDocument& marks,
                                             std::string_view markKey) {
  const auto markSections = marks.sectionNames();
  std::vector<std::string> rows;
  for (const auto& section : items.sectionNames()) {
    std::string content = items.value(section, kContentKey);
    if (content.empty()) {
      if (equalsIgnoreCase(trimBlanks(section), kPasswordSection)) continue;
      break;
    }
    std::string row = rows.size() < markSections.size()
                          ? marks.value(markSections[rows.size()], markKey)
                          : std::string();
    row += content;
    rows.push_back(std::move(row));
  }
  return rows;
}

PlanNames PlanStore::readPlanNames() const {
  const IniDocument doc = load(kPlanNameFile);
  PlanNames names{doc.value(kPlanNameSection, kPlanNameKey),
                  doc.value(kPlanNameSection, kTimedNameKey)};
  if (names.sequential.empty()) names.sequential = kDefaultPlanName;
  if (names.timed.empty()) names.timed = kDefaultTimedName;
  return names;
}

std::string PlanStore::readPassword() const {
  return read(kItemFile, kPasswordSection, kPasswordKey);
}

}  // namespace temvik

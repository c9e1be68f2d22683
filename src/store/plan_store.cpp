#include "store/plan_store.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

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

std::string promptPointKey(int n, std::string_view part) {
  std::string key = "断点";
  key += std::to_string(n);
  key += part;
  return key;
}

namespace {

// Where a key of an item section goes: a field of the record (0..18), or
// part p of prompt point n (100 + 3 * (n - 1) + p).
constexpr int kPointSlot = 100;
constexpr std::array<std::string_view, 3> kPointParts = {kPointNamePart, kPointTimePart,
                                                         kPointSoundPart};

struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using SlotMap = std::unordered_map<std::string, int, NameHash, std::equal_to<>>;

// Keyed by the names as written and by their compared form, so that the
// keys the program wrote itself are found without folding them.
const SlotMap& itemKeySlots() {
  static const SlotMap slots = [] {
    SlotMap m;
    auto add = [&m](const std::string& key, int slot) {
      m.emplace(key, slot);
      m.emplace(IniDocument::nameKey(key), slot);
    };
    for (std::size_t i = 0; i < kItemKeys.size(); ++i)
      add(std::string(kItemKeys[i]), static_cast<int>(i));
    for (int n = 1; n <= kMaxPromptPoints; ++n)
      for (int p = 0; p < 3; ++p)
        add(promptPointKey(n, kPointParts[static_cast<std::size_t>(p)]),
            kPointSlot + 3 * (n - 1) + p);
    return m;
  }();
  return slots;
}

}  // namespace

ItemRecord readItem(const IniDocument& doc, std::string_view section) {
  ItemRecord item;
  std::array<std::string, 3 * kMaxPromptPoints> points;
  std::array<bool, kItemKeys.size() + 3 * kMaxPromptPoints> seen{};
  const auto& slots = itemKeySlots();
  // One walk over the section; the first line of a key counts, as for get().
  doc.forEachValue(section, [&](std::string_view key, std::string value) {
    auto it = slots.find(key);
    if (it == slots.end()) it = slots.find(IniDocument::nameKey(key));
    if (it == slots.end()) return;
    const int slot = it->second;
    const std::size_t seenAt = slot < kPointSlot
                                   ? static_cast<std::size_t>(slot)
                                   : kItemKeys.size() + static_cast<std::size_t>(slot - kPointSlot);
    if (seen[seenAt]) return;
    seen[seenAt] = true;
    if (slot < kPointSlot)
      item.*kItemFields[static_cast<std::size_t>(slot)] = std::move(value);
    else
      points[static_cast<std::size_t>(slot - kPointSlot)] = std::move(value);
  });
  for (int n = 0; n < kMaxPromptPoints; ++n) {
    const auto at = static_cast<std::size_t>(3 * n);
    if (points[at + 1].empty()) continue;
    item.promptPoints.push_back(
        {std::move(points[at]), std::move(points[at + 1]), std::move(points[at + 2])});
  }
  return item;
}

namespace {

// Every key of the record in the stored order, prompt points 1..P.
std::vector<std::pair<std::string, std::string>> itemEntries(ItemRecord&& item) {
  const std::size_t points =
      std::min<std::size_t>(item.promptPoints.size(), static_cast<std::size_t>(kMaxPromptPoints));
  std::vector<std::pair<std::string, std::string>> entries;
  entries.reserve(kItemKeys.size() + 3 * points);
  for (std::size_t i = 0; i < kItemKeys.size(); ++i)
    entries.emplace_back(kItemKeys[i], std::move(item.*kItemFields[i]));
  for (std::size_t n = 0; n < points; ++n) {
    PromptPointRecord& point = item.promptPoints[n];
    const std::array<std::string*, 3> values = {&point.name, &point.packedTime, &point.sound};
    for (std::size_t p = 0; p < 3; ++p)
      entries.emplace_back(promptPointKey(static_cast<int>(n + 1), kPointParts[p]),
                           std::move(*values[p]));
  }
  return entries;
}

}  // namespace

void writeWholeItem(IniDocument& doc, std::string_view section, ItemRecord item) {
  if (!doc.hasSection(section))
    doc.appendSection(section, itemEntries(std::move(item)));
  else
    doc.replaceSection(section, itemEntries(std::move(item)));
}

void writeItem(IniDocument& doc, std::string_view section, ItemRecord item) {
  if (!doc.hasSection(section)) {
    // A new section: every key at once, in the stored order.
    doc.appendSection(section, itemEntries(std::move(item)));
    return;
  }
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

bool PlanStore::isProgramFile(const std::string& path) const {
  if (files_.sameFile(path, files_.programPath())) return true;
  for (std::string_view file : kProgramFiles)
    if (files_.sameFile(path, this->path(file))) return true;
  return false;
}

IniDocument PlanStore::load(std::string_view filePart) const {
  const std::string file = path(filePart);
  const auto bytes = files_.read(file);
  if (!bytes) {
    if (files_.exists(file)) throw StoreError(StoreError::Kind::Read, file, files_.lastFailure());
    return {};
  }
  return IniDocument::parse(gbkToUtf8(*bytes));
}

void PlanStore::save(std::string_view filePart, const IniDocument& doc) {
  const std::string file = path(filePart);
  if (!files_.writeAtomic(file, utf8ToGbk(doc.serialize())))
    throw StoreError(StoreError::Kind::Write, file, files_.lastFailure());
}

void PlanStore::remove(std::string_view filePart) {
  const std::string file = path(filePart);
  if (!files_.remove(file) && files_.exists(file))
    throw StoreError(StoreError::Kind::Write, file, files_.lastFailure());
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
  for (auto& item : listItems(items)) {
    std::string row = rows.size() < markSections.size()
                          ? marks.value(markSections[rows.size()], markKey)
                          : std::string();
    row += item.content;
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<ListItem> listItems(const IniDocument& items) {
  std::vector<ListItem> list;
  const std::vector<std::string> names = items.sectionNames();
  std::unordered_set<std::string> seen;
  const bool repeats = items.hasRepeatedNames();
  if (repeats) seen.reserve(names.size());
  list.reserve(names.size());
  for (const auto& section : names) {
    if (repeats && !seen.insert(IniDocument::nameKey(section)).second) continue;
    if (equalsIgnoreCase(trimBlanks(section), kPasswordSection)) continue;
    std::string content = items.value(section, kContentKey);
    if (content.empty()) continue;
    list.push_back({section, std::move(content)});
  }
  return list;
}

bool rowsShowItems(const std::vector<ListItem>& items, const std::vector<std::string>& rows) {
  if (items.size() != rows.size()) return false;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (sectionOfRow(rows[i]) != items[i].content) return false;
  return true;
}

const ListItem* itemOfRow(const std::vector<ListItem>& items, int row, std::string_view rowText) {
  const std::string content = sectionOfRow(rowText);
  if (row >= 0 && static_cast<std::size_t>(row) < items.size() &&
      items[static_cast<std::size_t>(row)].content == content)
    return &items[static_cast<std::size_t>(row)];
  for (const ListItem& item : items)
    if (item.content == content) return &item;
  return nullptr;
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

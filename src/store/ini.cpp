#include "store/ini.h"

#include <algorithm>

#include "store/text.h"

namespace temvik {
namespace {

std::string sectionKey(std::string_view name) { return foldCase(trimBlanks(name)); }

bool sameName(std::string_view stored, std::string_view wanted) {
  return equalsIgnoreCase(trimBlanks(stored), trimBlanks(wanted));
}

std::string_view stripQuotes(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

IniDocument IniDocument::parse(std::string_view text) {
  IniDocument doc;
  // Room for every section at once, and for each section as many entries
  // as the one before had: a plan's sections are alike.
  std::size_t headers = 1;
  for (std::size_t at = text.find('['); at != std::string_view::npos; at = text.find('[', at + 1))
    ++headers;
  doc.sections_.reserve(headers);
  std::size_t lastEntries = 0;
  doc.sections_.push_back({.name = {}, .entries = {}, .header = false});
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.find('\r', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = trimBlanks(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty()) continue;

    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        lastEntries = std::max(lastEntries, doc.sections_.back().entries.size());
        doc.sections_.push_back({std::string(trimBlanks(line.substr(1, close - 1))), {}});
        doc.sections_.back().entries.reserve(lastEntries);
        continue;
      }
    }
    Entry entry;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      entry.key = line;
    } else {
      entry.key = trimTrailingBlanks(line.substr(0, eq));
      entry.value = std::string(trimLeadingBlanks(line.substr(eq + 1)));
    }
    doc.sections_.back().entries.push_back(std::move(entry));
  }
  doc.reindex();
  return doc;
}

std::string IniDocument::serialize() const {
  std::string out;
  std::size_t size = 0;
  for (const auto& section : sections_) {
    size += section.name.size() + 4;
    for (const auto& entry : section.entries)
      size += entry.key.size() + (entry.value ? entry.value->size() + 1 : 0) + 2;
  }
  out.reserve(size);
  for (const auto& section : sections_) {
    if (section.header) {
      out += '[';
      out += section.name;
      out += "]\r\n";
    }
    for (const auto& entry : section.entries) {
      out += entry.key;
      if (entry.value) {
        out += '=';
        out += *entry.value;
      }
      out += "\r\n";
    }
  }
  return out;
}

bool IniDocument::empty() const {
  for (const auto& section : sections_)
    if (section.header || !section.entries.empty()) return false;
  return true;
}

std::vector<std::string> IniDocument::sectionNames() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const auto& section : sections_)
    if (section.header) names.push_back(section.name);
  return names;
}

bool IniDocument::hasSection(std::string_view section) const { return find(section) != nullptr; }

std::optional<std::string> IniDocument::get(std::string_view section, std::string_view key) const {
  const Section* s = find(section);
  if (s == nullptr) return std::nullopt;
  for (const auto& entry : s->entries) {
    if (!sameName(entry.key, key)) continue;
    if (!entry.value) return std::nullopt;
    return std::string(stripQuotes(trimBlanks(*entry.value)));
  }
  return std::nullopt;
}

std::string IniDocument::value(std::string_view section, std::string_view key) const {
  return get(section, key).value_or(std::string());
}

void IniDocument::forEachValue(
    std::string_view section,
    const std::function<void(std::string_view key, std::string value)>& visit) const {
  const Section* s = find(section);
  if (s == nullptr) return;
  for (const auto& entry : s->entries)
    visit(entry.key, entry.value ? std::string(stripQuotes(trimBlanks(*entry.value))) : "");
}

std::string IniDocument::nameKey(std::string_view name) { return sectionKey(name); }

namespace {

// Key lines as set() writes them: leading blanks of key and value dropped.
template <typename Entry>
void fillEntries(std::vector<Entry>& lines,
                 std::vector<std::pair<std::string, std::string>>&& entries) {
  lines.reserve(entries.size());
  auto dropLeadingBlanks = [](std::string& s) {
    const std::size_t keep = trimLeadingBlanks(s).size();
    if (keep != s.size()) s.erase(0, s.size() - keep);
  };
  for (auto& [key, value] : entries) {
    dropLeadingBlanks(key);
    dropLeadingBlanks(value);
    lines.push_back({std::move(key), std::move(value)});
  }
}

}  // namespace

void IniDocument::appendSection(std::string_view section,
                                std::vector<std::pair<std::string, std::string>>&& entries) {
  sections_.push_back({std::string(trimLeadingBlanks(section)), {}});
  index_.emplace(sectionKey(section), sections_.size() - 1);
  fillEntries(sections_.back().entries, std::move(entries));
}

bool IniDocument::replaceSection(std::string_view section,
                                 std::vector<std::pair<std::string, std::string>>&& entries) {
  Section* s = find(section);
  if (s == nullptr || !s->header) return false;
  s->entries.clear();
  fillEntries(s->entries, std::move(entries));
  return true;
}

std::size_t IniDocument::removeSections(const std::vector<std::string>& names) {
  std::vector<bool> removed(sections_.size(), false);
  std::size_t count = 0;
  for (const auto& name : names) {
    const auto it = index_.find(sectionKey(name));
    if (it == index_.end() || removed[it->second] || !sections_[it->second].header) continue;
    removed[it->second] = true;
    ++count;
  }
  if (count == 0) return 0;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (removed[i]) continue;
    if (kept != i) sections_[kept] = std::move(sections_[i]);
    ++kept;
  }
  sections_.resize(kept);
  reindex();
  return count;
}

bool IniDocument::renameSection(std::string_view from, std::string_view to) {
  Section* s = find(from);
  if (s == nullptr || !s->header) return false;
  s->name = std::string(trimLeadingBlanks(to));
  reindex();
  return true;
}

bool IniDocument::swapSections(std::string_view a, std::string_view b) {
  Section* first = find(a);
  Section* second = find(b);
  if (first == nullptr || second == nullptr || !first->header || !second->header) return false;
  std::swap(*first, *second);
  reindex();
  return true;
}

bool IniDocument::moveSectionToEnd(std::string_view section) {
  const Section* s = find(section);
  if (s == nullptr || !s->header) return false;
  const auto at = sections_.begin() + (s - sections_.data());
  std::rotate(at, at + 1, sections_.end());
  reindex();
  return true;
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view newValue = trimLeadingBlanks(value);
  Section* s = find(section);
  if (s == nullptr) {
    sections_.push_back({std::string(trimLeadingBlanks(section)), {}});
    index_.emplace(sectionKey(section), sections_.size() - 1);
    s = &sections_.back();
  }
  for (auto& entry : s->entries) {
    if (!sameName(entry.key, key)) continue;
    if (entry.value == newValue) return false;
    entry.value = std::string(newValue);
    return true;
  }
  s->entries.push_back({std::string(trimLeadingBlanks(key)), std::string(newValue)});
  return true;
}

bool IniDocument::removeSection(std::string_view section) {
  const auto it = index_.find(sectionKey(section));
  if (it == index_.end()) return false;
  sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(it->second));
  reindex();
  return true;
}

bool IniDocument::removeKey(std::string_view section, std::string_view key) {
  if (!repeatedNames_) {
    // One section of each name: found through the index, not by a walk.
    Section* s = find(section);
    if (s == nullptr) return false;
    for (auto it = s->entries.begin(); it != s->entries.end(); ++it) {
      if (sameName(it->key, key)) {
        s->entries.erase(it);
        return true;
      }
    }
    return false;
  }
  for (auto& s : sections_) {
    if (!s.header || !sameName(s.name, section)) continue;
    for (auto it = s.entries.begin(); it != s.entries.end(); ++it) {
      if (sameName(it->key, key)) {
        s.entries.erase(it);
        return true;
      }
    }
  }
  return false;
}

const IniDocument::Section* IniDocument::find(std::string_view name) const {
  const auto it = index_.find(sectionKey(name));
  return it == index_.end() ? nullptr : &sections_[it->second];
}

IniDocument::Section* IniDocument::find(std::string_view name) {
  const auto it = index_.find(sectionKey(name));
  return it == index_.end() ? nullptr : &sections_[it->second];
}

void IniDocument::reindex() {
  index_.clear();
  index_.reserve(sections_.size());
  repeatedNames_ = false;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    // Keeps the first of a name; the text before the first header has none.
    if (!sections_[i].header) continue;
    if (!index_.emplace(sectionKey(sections_[i].name), i).second) repeatedNames_ = true;
  }
}

}  // namespace temvik

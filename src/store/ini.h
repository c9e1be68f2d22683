#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace temvik {

// An INI file held in memory, UTF-8. Behaves as the Windows private-profile
// routines do: names compare without regard to letter case, a new section is
// appended at the end, a new key at the end of its section, lines end in
// CR LF. Text outside sections and comment lines survive a round trip.
//
// The layout follows what WritePrivateProfileString writes back after any
// change: every line is stripped of surrounding blanks, blank lines are
// dropped, "key = value" becomes "key=value", a section header keeps the
// name between its '[' and its last ']', and sections follow each other
// without blank lines in between. A line that is neither a header nor has a
// '=' is kept as a key without a value (comments are such lines). An
// unchanged document serializes to those same bytes, so callers write a
// file only when set/remove report a change, as the Windows routines do.
class IniDocument {
 public:
  IniDocument() = default;
  // Lines end at LF; a file without any LF after a point is split at CR.
  [[nodiscard]] static IniDocument parse(std::string_view utf8);
  [[nodiscard]] std::string serialize() const;

  // True when serialize() gives the empty text.
  [[nodiscard]] bool empty() const;
  // Named sections in file order, a repeated name as often as it occurs;
  // a header "[]" gives the name "".
  [[nodiscard]] std::vector<std::string> sectionNames() const;
  [[nodiscard]] bool hasSection(std::string_view section) const;
  // Whether some name stands for more than one section (a file written by
  // hand); reads by name reach only the first of them.
  [[nodiscard]] bool hasRepeatedNames() const { return repeatedNames_; }
  // The value as GetPrivateProfileString reads it: of the first section and
  // key with these names (surrounding blanks ignored), stripped of blanks
  // and of one pair of enclosing double or single quotes. Nothing when the
  // section or key is absent, or the key's line has no '='.
  [[nodiscard]] std::optional<std::string> get(std::string_view section,
                                               std::string_view key) const;
  // "" when absent.
  [[nodiscard]] std::string value(std::string_view section, std::string_view key) const;
  // Every key line of the first section of this name, in file order, with
  // its value as get() reads it ("" for a line without '='): reading many
  // keys of one section in one walk.
  void forEachValue(
      std::string_view section,
      const std::function<void(std::string_view key, std::string value)>& visit) const;
  // The form in which two names compare equal: trimmed and case-folded.
  [[nodiscard]] static std::string nameKey(std::string_view name);
  // Creates the section or key when absent. Leading blanks of the names and
  // of the value are dropped. Returns false when the key already held
  // exactly this value (nothing changed).
  bool set(std::string_view section, std::string_view key, std::string_view value);
  // Appends a section that does not exist yet with these keys, all
  // different, and values: the result of set() for each, in one step.
  void appendSection(std::string_view section,
                     std::vector<std::pair<std::string, std::string>>&& entries);
  // Removes the first section with this name; false when there is none.
  bool removeSection(std::string_view section);
  // Removes the first key with this name from the first named section of
  // this name holding it; false when there is none.
  bool removeKey(std::string_view section, std::string_view key);

  // Rewrites that keep every other section where it stands, each acting on
  // the first section of a name. Removes those of these names in one pass;
  // the number removed.
  std::size_t removeSections(const std::vector<std::string>& names);
  // The following return false when there is no such section.
  // Gives the section a new name in its place (leading blanks dropped).
  bool renameSection(std::string_view from, std::string_view to);
  // The two sections change places; everything between them stays.
  bool swapSections(std::string_view a, std::string_view b);
  // Moves the section, every line of it, behind all the others.
  bool moveSectionToEnd(std::string_view section);
  // Replaces every line of the section with these keys and values, as
  // appendSection() takes them; its name and its place stay.
  bool replaceSection(std::string_view section,
                      std::vector<std::pair<std::string, std::string>>&& entries);

 private:
  struct Entry {
    std::string key;                   // as written
    std::optional<std::string> value;  // nothing for a line without '='
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    // False only for the lines before the first header, which belong to no
    // section: "[]" is a section of its own, named "".
    bool header = true;
  };
  [[nodiscard]] const Section* find(std::string_view name) const;
  Section* find(std::string_view name);
  void reindex();
  std::vector<Section> sections_;
  // Folded, trimmed section name -> index of the first section of that name.
  std::unordered_map<std::string, std::size_t> index_;
  // Some name stands for more than one section (a file written by hand).
  bool repeatedNames_ = false;
};

}  // namespace temvik

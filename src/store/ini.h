#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace temvik {

// An INI file held in memory, UTF-8. Behaves as the Windows private-profile
// routines do: names compare without regard to letter case, a new section is
// appended at the end, a new key at the end of its section, lines end in
// CR LF. Text outside sections and comment lines survive a round trip.
class IniDocument {
 public:
  IniDocument() = default;
  [[nodiscard]] static IniDocument parse(std::string_view utf8);
  [[nodiscard]] std::string serialize() const;

  [[nodiscard]] bool empty() const;
  // Named sections in file order.
  [[nodiscard]] std::vector<std::string> sectionNames() const;
  [[nodiscard]] bool hasSection(std::string_view section) const;
  [[nodiscard]] std::optional<std::string> get(std::string_view section, std::string_view key) const;
  // "" when absent.
  [[nodiscard]] std::string value(std::string_view section, std::string_view key) const;
  void set(std::string_view section, std::string_view key, std::string_view value);
  void removeSection(std::string_view section);
  void removeKey(std::string_view section, std::string_view key);

 private:
  struct Entry {
    std::string key;  // as written
    std::optional<std::string> value;  // nothing for a line without '='
  };
  struct Section {
    std::string name;  // "" for the lines before the first section
    std::vector<Entry> entries;
  };
  [[nodiscard]] const Section* find(std::string_view name) const;
  Section* find(std::string_view name);
  std::vector<Section> sections_;
};

}  // namespace temvik

#pragma once

// Random spellings of one file that Windows resolves to the same full path.

#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace temvik::testing {

// A spelling of `folder` + "\" + `name` (folder a full "X:\a\b" path).
// When `currentFolder` is `folder`, relative forms are made too.
inline std::string spellingOf(std::mt19937& rng, std::string_view folder, std::string_view name,
                              std::string_view currentFolder = {}) {
  const auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
  const auto cased = [&](std::string_view text) {
    std::string out(text);
    for (char& c : out)
      if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && chance(50)) c ^= 0x20;
    return out;
  };
  const auto separator = [&] {
    std::string out;
    for (int n = 1 + static_cast<int>(rng() % (chance(30) ? 3 : 1)); n > 0; --n)
      out += chance(50) ? '\\' : '/';
    return out;
  };
  // Detours that come back where they left: ".", "x\..".
  const auto detour = [&] {
    static const char* const kNames[] = {"x", "新建 文件夹", "a.b", "Temvik"};
    std::string out;
    while (chance(25)) {
      out += chance(50) ? std::string(".") : std::string(kNames[rng() % 4]) + separator() + "..";
      out += separator();
    }
    return out;
  };

  std::vector<std::string> parts;
  size_t begin = 3;  // after "X:\"
  while (begin < folder.size()) {
    size_t end = folder.find('\\', begin);
    if (end == std::string_view::npos) end = folder.size();
    parts.emplace_back(folder.substr(begin, end - begin));
    begin = end + 1;
  }
  const std::string drive = cased(folder.substr(0, 2));

  std::string out;
  size_t first = 0;  // the first folder part spelled out
  switch (currentFolder == folder ? rng() % 7 : rng() % 3) {
    case 0:
      out = drive + separator();
      break;
    case 1: {  // taken as it stands: only letter case may differ
      out = "\\\\?\\" + drive;
      for (const auto& part : parts) out += "\\" + cased(part);
      return out + "\\" + cased(name);
    }
    case 2:  // ".." above the root stays at the root
      out = drive + separator() + ".." + separator();
      break;
    case 3:
      first = parts.size();
      if (chance(50)) out = "." + separator();
      break;
    case 4:  // from the parent folder
      first = parts.size() - 1;
      out = ".." + separator();
      break;
    case 5:  // from the root of the current drive
      out = chance(50) ? "\\" : "/";
      break;
    default:  // drive-relative: counts from the current folder of that drive
      first = parts.size();
      out = drive;
      break;
  }
  for (size_t i = first; i < parts.size(); ++i) {
    out += detour() + cased(parts[i]);
    if (chance(15)) out += ".";  // one trailing dot of a folder goes
    out += separator();
  }
  out += detour() + cased(name);
  while (chance(25)) out += chance(50) ? "." : " ";
  return out;
}

}  // namespace temvik::testing

#include "platform/file_paths.h"

#include <optional>
#include <vector>

namespace temvik {
namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithDrive(std::string_view s) { return s.size() >= 2 && isLetter(s[0]) && s[1] == ':'; }

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

struct Root {
  std::string name;   // "C:" or "\\server\share"
  size_t length = 0;  // characters of the path it takes
};

// The root of a full path; nothing for a relative one, one that starts
// with a single separator, or a drive without a separator after it.
std::optional<Root> rootOf(std::string_view s) {
  if (s.size() >= 2 && s[0] == '\\' && s[1] == '\\') {
    const size_t server = s.find('\\', 2);
    if (server == std::string_view::npos) return Root{std::string(s), s.size()};
    const size_t share = s.find('\\', server + 1);
    const size_t end = share == std::string_view::npos ? s.size() : share;
    return Root{std::string(s.substr(0, end)), end};
  }
  if (startsWithDrive(s) && s.size() >= 3 && s[2] == '\\')
    return Root{std::string(s.substr(0, 2)), 2};
  return std::nullopt;
}

}  // namespace

std::string withoutDevicePrefix(std::string_view path) {
  std::string s(path);
  for (char& c : s)
    if (c == '/') c = '\\';
  if (s.size() >= 4 && s[0] == '\\' && s[1] == '\\' && (s[2] == '?' || s[2] == '.') &&
      s[3] == '\\') {
    const std::string_view tail = std::string_view(s).substr(4);
    if (startsWithDrive(tail)) return std::string(tail);
    if (tail.size() >= 4 && sameIgnoringCase(tail.substr(0, 4), "UNC\\"))
      return "\\\\" + std::string(tail.substr(4));
  }
  return s;
}

std::string fullPathOf(std::string_view path, std::string_view currentDirectory) {
  const std::string s = withoutDevicePrefix(path);
  const std::string base = withoutDevicePrefix(currentDirectory);
  const auto baseRoot = rootOf(base);
  const std::string_view baseRest =
      baseRoot ? std::string_view(base).substr(baseRoot->length) : std::string_view(base);
  std::string root;
  std::string rest;
  if (const auto r = rootOf(s)) {
    root = r->name;
    rest = s.substr(r->length);
  } else if (startsWithDrive(s)) {
    // "C:name" counts from the current folder when that is on drive C.
    root = s.substr(0, 2);
    rest = s.substr(2);
    if (baseRoot && sameIgnoringCase(baseRoot->name, root)) {
      root = baseRoot->name;
      rest = std::string(baseRest) + "\\" + rest;
    }
  } else {
    root = baseRoot ? baseRoot->name : std::string();
    rest = !s.empty() && s[0] == '\\' ? s : std::string(baseRest) + "\\" + s;
  }

  std::vector<std::string> parts;
  size_t begin = 0;
  while (begin <= rest.size()) {
    size_t end = rest.find('\\', begin);
    if (end == std::string::npos) end = rest.size();
    std::string part = rest.substr(begin, end - begin);
    const bool last = end == rest.size();
    begin = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    if (last) {
      while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
      if (part.empty()) continue;
    } else if (part.back() == '.' && part.find_first_not_of('.') != std::string::npos) {
      part.pop_back();
    }
    parts.push_back(std::move(part));
  }
  std::string full = root;
  for (const auto& part : parts) full += "\\" + part;
  if (parts.empty()) full += "\\";
  return full;
}

std::string pathKey(std::string_view path, std::string_view currentDirectory) {
  std::string key = fullPathOf(path, currentDirectory);
  for (char& c : key) c = lower(c);
  return key;
}

}  // namespace temvik

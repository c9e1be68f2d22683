#pragma once

#include <map>
#include <string>

#include "platform/files.h"

namespace temvik::testing {

// Files kept in a map, for the store's tests. Counts reads and writes so
// that tests can check how often a file is touched.
class MemoryFiles : public Files {
 public:
  explicit MemoryFiles(std::string directory = "C:\\plan") : directory_(std::move(directory)) {}

  std::string programDirectory() const override { return directory_; }
  bool exists(const std::string& path) const override { return files_.count(path) != 0; }
  std::optional<std::string> read(const std::string& path) const override {
    ++reads;
    const auto it = files_.find(path);
    if (it == files_.end()) return std::nullopt;
    return it->second;
  }
  bool writeAtomic(const std::string& path, std::string_view bytes) override {
    ++writes;
    files_[path] = std::string(bytes);
    return true;
  }
  bool copy(const std::string& from, const std::string& to) override {
    const auto it = files_.find(from);
    if (it == files_.end()) return false;
    files_[to] = it->second;
    return true;
  }
  bool remove(const std::string& path) override { return files_.erase(path) != 0; }
  bool replace(const std::string& from, const std::string& to) override {
    const auto it = files_.find(from);
    if (it == files_.end()) return false;
    std::string bytes = std::move(it->second);
    files_.erase(it);
    files_[to] = std::move(bytes);
    return true;
  }

  // Test helpers: paths relative to the program directory ("\\time.ini").
  void put(std::string_view part, std::string bytes) {
    files_[directory_ + std::string(part)] = std::move(bytes);
  }
  std::optional<std::string> get(std::string_view part) const {
    const auto it = files_.find(directory_ + std::string(part));
    if (it == files_.end()) return std::nullopt;
    return it->second;
  }

  mutable int reads = 0;
  int writes = 0;

 private:
  std::string directory_;
  std::map<std::string, std::string> files_;
};

}  // namespace temvik::testing

// MemoryFiles: a map of paths to bytes, with failures a test asks for.

#include "platform/headless/memory_files.h"

#include <algorithm>

#include "platform/file_paths.h"

namespace temvik::headless {

bool MemoryFiles::sameFile(const std::string& a, const std::string& b) const {
  return pathKey(a, dir_) == pathKey(b, dir_);
}

std::string MemoryFiles::held(const std::string& path) const {
  if (files_.contains(path)) return path;
  const std::string key = pathKey(path, dir_);
  for (const auto& [name, bytes] : files_)
    if (pathKey(name, dir_) == key) return name;
  return path;
}

bool MemoryFiles::listed(const std::set<std::string>& paths, const std::string& path) const {
  if (paths.contains(path)) return true;
  return std::any_of(paths.begin(), paths.end(),
                     [&](const std::string& p) { return sameFile(p, path); });
}

bool MemoryFiles::fail(const FileFailure& failure) const {
  last_ = failure;
  return false;
}

bool MemoryFiles::refuse(const std::string& path) const {
  refused.push_back(path);
  return fail(refusal);
}

bool MemoryFiles::mayChange(const std::string& path) {
  const int n = operations_++;
  if (listed(unwritable, path) || n == failOnce_ || (failAfter_ >= 0 && n >= failAfter_))
    return refuse(path);
  return true;
}

bool MemoryFiles::exists(const std::string& path) const { return files_.contains(held(path)); }

std::optional<std::string> MemoryFiles::read(const std::string& path) const {
  ++reads;
  const int n = readCount_++;
  auto it = files_.find(held(path));
  if (it == files_.end()) {
    last_ = {};
    return std::nullopt;
  }
  if (listed(unreadable, path) || n == failReadOnce_) {
    refuse(path);
    return std::nullopt;
  }
  return it->second;
}

bool MemoryFiles::writeAtomic(const std::string& path, std::string_view bytes) {
  if (!mayChange(path)) return false;
  ++writes;
  files_[held(path)] = std::string(bytes);
  return true;
}

bool MemoryFiles::append(const std::string& path, std::string_view bytes) {
  if (!mayChange(path)) return false;
  ++writes;
  files_[held(path)] += bytes;
  return true;
}

bool MemoryFiles::copy(const std::string& from, const std::string& to) {
  if (!mayChange(to)) return false;
  auto it = files_.find(held(from));
  if (it == files_.end()) return fail(kFileNotFound);
  files_[held(to)] = it->second;
  return true;
}

bool MemoryFiles::remove(const std::string& path) {
  if (!mayChange(path)) return false;
  return files_.erase(held(path)) > 0 || fail(kFileNotFound);
}

bool MemoryFiles::replace(const std::string& from, const std::string& to) {
  if (!mayChange(to)) return false;
  auto it = files_.find(held(from));
  if (it == files_.end()) return fail(kFileNotFound);
  std::string bytes = std::move(it->second);
  files_.erase(it);
  files_[held(to)] = std::move(bytes);
  return true;
}

}  // namespace temvik::headless

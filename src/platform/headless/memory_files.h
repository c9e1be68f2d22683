#pragma once

// MemoryFiles: the headless disk (the Win32 twin: win32_files.cpp).

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace temvik::headless {

// Failures as a Chinese Windows words them.
inline const FileFailure kAccessDenied{5, "拒绝访问。"};
inline const FileFailure kSharingViolation{32, "另一个程序正在使用此文件，进程无法访问。"};
inline const FileFailure kDiskFull{112, "磁盘空间不足。"};
inline const FileFailure kFileNotFound{2, "系统找不到指定的文件。"};

// Files in memory. A path finds the file put or written under any spelling
// of it that pathKey (platform/file_paths) takes for the same, relative ones
// counted from the program directory; short names are not modelled.
// Failures can be injected.
class MemoryFiles final : public Files {
 public:
  explicit MemoryFiles(std::string programDirectory = "C:\\Temvik")
      : dir_(std::move(programDirectory)) {}

  [[nodiscard]] std::string programDirectory() const override { return dir_; }
  [[nodiscard]] std::string programPath() const override { return dir_ + "\\temvik.exe"; }
  [[nodiscard]] bool sameFile(const std::string& a, const std::string& b) const override;
  [[nodiscard]] bool exists(const std::string& path) const override;
  [[nodiscard]] std::optional<std::string> read(const std::string& path) const override;
  bool writeAtomic(const std::string& path, std::string_view bytes) override;
  bool append(const std::string& path, std::string_view bytes) override;
  bool copy(const std::string& from, const std::string& to) override;
  bool remove(const std::string& path) override;
  bool replace(const std::string& from, const std::string& to) override;
  [[nodiscard]] FileFailure lastFailure() const override { return last_; }

  // Program directory + part ("\\time.ini").
  [[nodiscard]] std::string path(std::string_view part) const { return dir_ + std::string(part); }
  void put(const std::string& path, std::string bytes) { files_[path] = std::move(bytes); }
  [[nodiscard]] const std::map<std::string, std::string>& all() const { return files_; }

  // The n-th changing operation from now on (0 = the next) fails and every
  // one after it too, as if the program died there. -1 turns it off.
  void failFrom(int n) { failAfter_ = n; }
  // Only the n-th changing operation from now on fails (0 = the next).
  void failOnce(int n) { failOnce_ = operations_ + n; }
  // Only the n-th read from now on fails, though the file is there.
  void failReadOnce(int n) { failReadOnce_ = readCount_ + n; }
  [[nodiscard]] int operationCount() const { return operations_; }
  [[nodiscard]] int readCount() const { return readCount_; }
  // Paths the disk refuses to change (written, replaced, copied onto or
  // removed), and existing paths it refuses to read.
  std::set<std::string> unwritable;
  std::set<std::string> unreadable;
  // What every refusal above reports; a test may set another.
  FileFailure refusal = kAccessDenied;
  // The paths of the refused calls, in order (the target of a copy or move).
  mutable std::vector<std::string> refused;

  // How often files were read and written, for tests of file traffic.
  mutable int reads = 0;
  int writes = 0;

 private:
  bool mayChange(const std::string& path);
  // Keeps why the call failed; false.
  bool fail(const FileFailure& failure) const;
  bool refuse(const std::string& path) const;
  // The name the file `path` is held under, or `path` when there is none.
  [[nodiscard]] std::string held(const std::string& path) const;
  [[nodiscard]] bool listed(const std::set<std::string>& paths, const std::string& path) const;
  std::string dir_;
  std::map<std::string, std::string> files_;
  int failAfter_ = -1;
  int failOnce_ = -1;
  int operations_ = 0;
  mutable int failReadOnce_ = -1;
  mutable int readCount_ = 0;
  mutable FileFailure last_;
};

}  // namespace temvik::headless

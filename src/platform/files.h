#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace temvik {

// Why a file operation failed, as the system tells it: its error code and
// its own words for it in the user's language, one line ("拒绝访问。").
// Code 0 and no text: no reason is known.
struct FileFailure {
  unsigned long code = 0;
  std::string text;
};

// File access. Paths are UTF-8 with Windows separators ("C:\\dir\\time.ini").
// Contents are raw bytes.
class Files {
 public:
  virtual ~Files() = default;

  // Directory of the running program, without a trailing backslash.
  [[nodiscard]] virtual std::string programDirectory() const = 0;
  // The running program's own file (the .exe).
  [[nodiscard]] virtual std::string programPath() const = 0;
  // True when both paths name one file as Windows resolves them: letter
  // case, "/" for "\\", ".", "..", repeated separators, trailing dots, and
  // on a real disk short names and other names of the same file.
  [[nodiscard]] virtual bool sameFile(const std::string& a, const std::string& b) const = 0;

  [[nodiscard]] virtual bool exists(const std::string& path) const = 0;
  // The whole file, or nothing when it cannot be read.
  [[nodiscard]] virtual std::optional<std::string> read(const std::string& path) const = 0;
  // Writes the file completely and flushes it to disk before it takes the
  // name `path`: a reader sees the old or the new content, never a mix.
  virtual bool writeAtomic(const std::string& path, std::string_view bytes) = 0;
  // Adds the bytes at the end of the file, making it when it is not there,
  // and flushes them to disk before it returns.
  virtual bool append(const std::string& path, std::string_view bytes) = 0;
  virtual bool copy(const std::string& from, const std::string& to) = 0;
  virtual bool remove(const std::string& path) = 0;
  // Moves `from` over `to` in one step (replacing `to` when it exists).
  virtual bool replace(const std::string& from, const std::string& to) = 0;

  // Why the last call on this thread that failed failed; calls that succeed
  // leave it as it is. A read of a file that is not there is no failure:
  // after it no reason is known.
  [[nodiscard]] virtual FileFailure lastFailure() const = 0;
};

}  // namespace temvik

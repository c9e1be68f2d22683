#pragma once

#include <stdexcept>
#include <string>

#include "platform/files.h"
#include "platform/prompts.h"
#include "store/messages.h"

namespace temvik {

// A plan file that exists could not be read, a file could not be written,
// moved or removed, or an exported copy could not be written. The
// operation stops where this is thrown; the window whose event started it
// tells the user (reportStoreError) and shows the lists as the files hold
// them. It carries the system's reason (Files::lastFailure, taken right
// after the failed call).
class StoreError : public std::runtime_error {
 public:
  enum class Kind { Read, Write, Export };
  StoreError(Kind kind, std::string path, FileFailure failure);
  [[nodiscard]] Kind kind() const { return kind_; }
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] const FileFailure& failure() const { return failure_; }

 private:
  Kind kind_;
  std::string path_;
  FileFailure failure_;
};

// What the user is told: the file, the system's reason when it gave one
// (else what to check), and that nothing was changed.
[[nodiscard]] std::string storeErrorText(const StoreError& error);

// A history record could not be written: that, and the system's reason
// when it gave one (else what to check). The run goes on.
[[nodiscard]] std::string historyWriteFailureText(const FileFailure& failure);

// The history file could not be copied to `path` (the statistics' export),
// or could not be read: the same words as any other file, and what did not
// happen.
[[nodiscard]] std::string historyExportFailureText(const std::string& path,
                                                   const FileFailure& failure);
[[nodiscard]] std::string historyReadFailureText(const FileFailure& failure);

// Shows the one message box of a failed read or write (kStoreError).
void reportStoreError(Prompts& prompts, const Window* owner, const StoreError& error);

}  // namespace temvik

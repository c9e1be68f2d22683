#pragma once

// The real clock, file system and modal prompts of the Win32 backend.

#include "platform/clock.h"
#include "platform/crypto.h"
#include "platform/files.h"
#include "platform/prompts.h"

namespace temvik {

class Win32Clock final : public Clock {
 public:
  [[nodiscard]] DateTime now() const override;
  [[nodiscard]] std::uint64_t monotonicMs() const override;
};

class Win32Files final : public Files {
 public:
  [[nodiscard]] std::string programDirectory() const override;
  [[nodiscard]] std::string programPath() const override;
  [[nodiscard]] bool sameFile(const std::string& a, const std::string& b) const override;
  [[nodiscard]] bool exists(const std::string& path) const override;
  [[nodiscard]] std::optional<std::string> read(const std::string& path) const override;
  bool writeAtomic(const std::string& path, std::string_view bytes) override;
  bool append(const std::string& path, std::string_view bytes) override;
  bool copy(const std::string& from, const std::string& to) override;
  bool remove(const std::string& path) override;
  bool replace(const std::string& from, const std::string& to) override;
  [[nodiscard]] FileFailure lastFailure() const override;
};

// Message boxes and the common file dialogs, owned by the given window or,
// without one, by the thread's active window.
class Win32Prompts final : public Prompts {
 public:
  MessageAnswer message(const Window* owner, std::string_view text, std::string_view title,
                        MessageIcon icon, MessageButtons buttons) override;
  void alert(const Window* owner, std::string_view text, std::string_view title) override;
  std::optional<std::string> openFile(const Window* owner, std::string_view filter,
                                      std::string_view presetName) override;
  std::optional<std::string> saveFile(const Window* owner, std::string_view filter,
                                      std::string_view presetName) override;
};

// CNG (bcrypt.dll, part of Windows since Vista): BCryptGenRandom with the
// system-preferred generator, BCryptDeriveKeyPBKDF2 with HMAC-SHA-256.
class Win32Crypto final : public Crypto {
 public:
  bool randomBytes(std::span<std::uint8_t> out) override;
  bool pbkdf2Sha256(std::string_view password, std::span<const std::uint8_t> salt,
                    std::uint32_t iterations, std::span<std::uint8_t> out) override;
};

}  // namespace temvik

#pragma once

// FakeCrypto: the headless cryptography (the Win32 twin: win32_crypto.cpp).

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/crypto.h"

namespace temvik::headless {

// Cheap, deterministic stand-ins for the system's cryptography. The key
// derivation is NOT PBKDF2 and protects nothing: a 64-bit FNV-1a of the
// password, the salt and the round count, stretched to the asked length;
// it costs the same whatever the rounds. It is only a function of its
// inputs, so tests can check that a password matches its stored form. The
// random bytes repeat from run to run.
class FakeCrypto final : public Crypto {
 public:
  bool randomBytes(std::span<std::uint8_t> out) override;
  bool pbkdf2Sha256(std::string_view password, std::span<const std::uint8_t> salt,
                    std::uint32_t iterations, std::span<std::uint8_t> out) override;
  bool failRandom = false;  // randomBytes fails while set
  bool failDerive = false;  // pbkdf2Sha256 fails while set
  int derivations = 0;      // calls of pbkdf2Sha256

 private:
  std::uint64_t state_ = 0x54656d76696bULL;
};

}  // namespace temvik::headless

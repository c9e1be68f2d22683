#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace temvik {

// The system's cryptography, for keeping the administrator password as a
// salted, slow hash rather than as itself.
class Crypto {
 public:
  virtual ~Crypto() = default;

  // Fills `out` from the system's random number generator; false when it
  // fails (and `out` must not be used).
  virtual bool randomBytes(std::span<std::uint8_t> out) = 0;

  // PBKDF2 with HMAC-SHA-256 (RFC 8018) of `password` (its bytes as given)
  // and `salt` over `iterations` rounds, `out.size()` bytes long; false
  // when it fails.
  virtual bool pbkdf2Sha256(std::string_view password, std::span<const std::uint8_t> salt,
                            std::uint32_t iterations, std::span<std::uint8_t> out) = 0;
};

}  // namespace temvik

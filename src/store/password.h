#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/crypto.h"

namespace temvik {

// How the administrator password is kept in section "密码", key "密码" of
// the item file:
//
//   pbkdf2-sha256$<rounds>$<salt>$<hash>
//
// <rounds> in decimal, <salt> (16 random bytes) and <hash> (32 bytes of
// PBKDF2-HMAC-SHA-256 of the password's UTF-8 bytes) in lower-case hex.
// An empty value means no password. Any other value is a password an
// earlier version stored as itself: it is compared as it stands, letter
// case included, until the next password write stores its hash instead.
inline constexpr std::string_view kPasswordHashScheme = "pbkdf2-sha256";
// About 50-100 ms for one check on a common PC.
inline constexpr std::uint32_t kPasswordRounds = 200'000;
// What a stored value may ask for: more rounds than this are no hash of ours.
inline constexpr std::uint32_t kMaxPasswordRounds = 10'000'000;
inline constexpr std::size_t kPasswordSaltBytes = 16;
inline constexpr std::size_t kPasswordHashBytes = 32;

// The stored form of `password`, which must not be empty; nothing when the
// system's cryptography failed.
[[nodiscard]] std::optional<std::string> hashPassword(Crypto& crypto, std::string_view password,
                                                      std::uint32_t rounds = kPasswordRounds);

// Whether `stored` is a hash in the form above (rather than a plain value).
[[nodiscard]] bool isPasswordHash(std::string_view stored);

// Whether `entry` is the password whose stored form is `stored` (not
// empty), exactly and with letter case; nothing when the cryptography
// failed. Compares in time that does not depend on where the bytes differ.
[[nodiscard]] std::optional<bool> passwordMatches(Crypto& crypto, std::string_view stored,
                                                  std::string_view entry);

}  // namespace temvik

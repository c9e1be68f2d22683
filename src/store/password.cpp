#include "store/password.h"

#include <array>
#include <charconv>
#include <vector>

namespace temvik {

namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";

std::string hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    text += kHexDigits[b >> 4];
    text += kHexDigits[b & 0xf];
  }
  return text;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;  // upper case is not ours either
}

std::optional<std::vector<std::uint8_t>> unhex(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = hexValue(text[i]);
    const int low = hexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
  }
  return bytes;
}

struct ParsedHash {
  std::uint32_t rounds = 0;
  std::vector<std::uint8_t> salt;
  std::vector<std::uint8_t> hash;
};

std::optional<ParsedHash> parse(std::string_view stored) {
  std::array<std::string_view, 4> parts;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::size_t sep = stored.find('$');
    if ((sep == std::string_view::npos) != (i == parts.size() - 1)) return std::nullopt;
    parts[i] = stored.substr(0, sep);
    if (sep != std::string_view::npos) stored.remove_prefix(sep + 1);
  }
  if (parts[0] != kPasswordHashScheme) return std::nullopt;
  ParsedHash parsed;
  const std::string_view rounds = parts[1];
  if (rounds.empty() || rounds.size() > 9 || rounds.front() == '0') return std::nullopt;
  const auto [end, error] =
      std::from_chars(rounds.data(), rounds.data() + rounds.size(), parsed.rounds);
  if (error != std::errc() || end != rounds.data() + rounds.size() || parsed.rounds == 0 ||
      parsed.rounds > kMaxPasswordRounds)
    return std::nullopt;
  auto salt = unhex(parts[2]);
  auto hash = unhex(parts[3]);
  if (!salt || salt->empty() || salt->size() > 64 || !hash || hash->size() != kPasswordHashBytes)
    return std::nullopt;
  parsed.salt = std::move(*salt);
  parsed.hash = std::move(*hash);
  return parsed;
}

// Equal lengths compared in full, whatever the first difference.
bool sameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  if (a.size() != b.size()) return false;
  volatile std::uint8_t difference = 0;
  for (std::size_t i = 0; i < a.size(); ++i) difference = difference | (a[i] ^ b[i]);
  return difference == 0;
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::optional<std::string> hashPassword(Crypto& crypto, std::string_view password,
                                        std::uint32_t rounds) {
  std::array<std::uint8_t, kPasswordSaltBytes> salt{};
  std::array<std::uint8_t, kPasswordHashBytes> hash{};
  if (!crypto.randomBytes(salt) || !crypto.pbkdf2Sha256(password, salt, rounds, hash))
    return std::nullopt;
  return std::string(kPasswordHashScheme) + "$" + std::to_string(rounds) + "$" + hex(salt) + "$" +
         hex(hash);
}

bool isPasswordHash(std::string_view stored) { return parse(stored).has_value(); }

std::optional<bool> passwordMatches(Crypto& crypto, std::string_view stored,
                                    std::string_view entry) {
  const auto parsed = parse(stored);
  if (!parsed) return sameBytes(bytesOf(stored), bytesOf(entry));
  std::array<std::uint8_t, kPasswordHashBytes> hash{};
  if (!crypto.pbkdf2Sha256(entry, parsed->salt, parsed->rounds, hash)) return std::nullopt;
  return sameBytes(hash, parsed->hash);
}

}  // namespace temvik

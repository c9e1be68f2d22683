// FakeCrypto: a seeded generator and a cheap keyed hash.

#include "platform/headless/fake_crypto.h"

namespace temvik::headless {

namespace {

std::uint64_t splitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

}  // namespace

bool FakeCrypto::randomBytes(std::span<std::uint8_t> out) {
  if (failRandom) return false;
  for (auto& b : out) b = static_cast<std::uint8_t>(splitMix(state_));
  return true;
}

bool FakeCrypto::pbkdf2Sha256(std::string_view password, std::span<const std::uint8_t> salt,
                              std::uint32_t iterations, std::span<std::uint8_t> out) {
  ++derivations;
  if (failDerive) return false;
  std::uint64_t h = 0xcbf29ce484222325ULL;
  const auto mix = [&h](std::uint8_t b) { h = (h ^ b) * 0x100000001b3ULL; };
  for (char c : password) mix(static_cast<std::uint8_t>(c));
  mix(0xff);  // keeps ("ab", "c") apart from ("a", "bc")
  for (std::uint8_t b : salt) mix(b);
  for (int i = 0; i < 4; ++i) mix(static_cast<std::uint8_t>(iterations >> (8 * i)));
  for (auto& b : out) b = static_cast<std::uint8_t>(splitMix(h));
  return true;
}

}  // namespace temvik::headless

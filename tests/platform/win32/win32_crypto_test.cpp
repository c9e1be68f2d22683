// The system's cryptography through CNG: PBKDF2-HMAC-SHA-256 against the
// published test vectors, random salts, and the stored password form made
// and checked with it.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/win32/win32_services.h"
#include "store/password.h"

namespace temvik {
namespace {

std::string hex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 0xf];
  }
  return text;
}

struct Vector {
  std::string password;
  std::string salt;
  std::uint32_t iterations;
  std::size_t length;
  const char* expected;
};

// RFC 7914, section 11 (the PBKDF2-HMAC-SHA256 vectors), and the SHA-256
// counterparts of the RFC 6070 vectors as widely published; the empty
// password was checked with another implementation (OpenSSL).
const std::vector<Vector>& vectors() {
  using namespace std::string_literals;
  static const std::vector<Vector> v = {
      {"passwd", "salt", 1, 64,
       "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc49ca9cccf179b645991664b3"
       "9d77ef317c71b845b1e30bd509112041d3a19783"},
      {"Password", "NaCl", 80000, 64,
       "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56a1d425a1225833549adb841b"
       "51c9b3176a272bdebba1d078478f62b397f33c8d"},
      {"password", "salt", 1, 32,
       "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"},
      {"password", "salt", 2, 32,
       "ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"},
      {"password", "salt", 4096, 32,
       "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"},
      {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 40,
       "348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1c635518c7dac47e9"},
      {"pass\0word"s, "sa\0lt"s, 4096, 16, "89b69d0516f829893c696226650a8687"},
      {"", "salt", 1000, 32, "94fb56af3ea22e5d3ed1b054085b136ca301b75d8b406c802c489479f27387c6"},
  };
  return v;
}

TEST(Win32Crypto, Pbkdf2Sha256GivesThePublishedVectors) {
  Win32Crypto crypto;
  for (const Vector& v : vectors()) {
    SCOPED_TRACE(v.password + " / " + std::to_string(v.iterations));
    std::vector<std::uint8_t> out(v.length);
    const std::vector<std::uint8_t> salt(v.salt.begin(), v.salt.end());
    ASSERT_TRUE(crypto.pbkdf2Sha256(v.password, salt, v.iterations, out));
    EXPECT_EQ(hex(out), v.expected);
  }
}

TEST(Win32Crypto, RandomBytesDifferFromCallToCall) {
  Win32Crypto crypto;
  std::vector<std::uint8_t> a(16), b(16);
  ASSERT_TRUE(crypto.randomBytes(a));
  ASSERT_TRUE(crypto.randomBytes(b));
  EXPECT_NE(a, b);
  EXPECT_NE(a, std::vector<std::uint8_t>(16, 0));
}

TEST(Win32Crypto, APasswordIsStoredAsItsHashAndCheckedAgainstIt) {
  Win32Crypto crypto;
  const auto started = std::chrono::steady_clock::now();
  const auto stored = hashPassword(crypto, "Secret密码");
  const auto took = std::chrono::steady_clock::now() - started;
  ASSERT_TRUE(stored.has_value());
  std::printf(
      "note: one password hash of %u rounds took %lld ms\n", kPasswordRounds,
      static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
  EXPECT_TRUE(isPasswordHash(*stored)) << *stored;
  EXPECT_EQ(passwordMatches(crypto, *stored, "Secret密码"), true);
  EXPECT_EQ(passwordMatches(crypto, *stored, "secret密码"), false);
  EXPECT_NE(hashPassword(crypto, "Secret密码"), stored) << "a salt of its own";
  // A value this program wrote with known inputs: the same on every PC.
  EXPECT_EQ(passwordMatches(crypto,
                            "pbkdf2-sha256$4096$73616c74$"
                            "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a",
                            "password"),
            true);
}

}  // namespace
}  // namespace temvik

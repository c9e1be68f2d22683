// The stored form of the administrator password: a salted hash that only
// the right password matches, and plain values of earlier versions.

#include "store/password.h"

#include <gtest/gtest.h>

#include "platform/headless/headless.h"

namespace temvik::testing {
namespace {

class PasswordTest : public ::testing::Test {
 protected:
  std::string hashed(std::string_view password) {
    auto stored = hashPassword(crypto, password);
    EXPECT_TRUE(stored.has_value());
    return stored.value_or("");
  }
  headless::FakeCrypto crypto;
};

TEST_F(PasswordTest, AHashHasTheDocumentedFormAndANewSaltEachTime) {
  const std::string stored = hashed("Secret");
  // pbkdf2-sha256$200000$<32 hex>$<64 hex>
  const std::string prefix = "pbkdf2-sha256$" + std::to_string(kPasswordRounds) + "$";
  ASSERT_TRUE(stored.starts_with(prefix)) << stored;
  const std::string rest = stored.substr(prefix.size());
  ASSERT_EQ(rest.size(), 32u + 1 + 64u) << stored;
  EXPECT_EQ(rest[32], '$');
  for (std::size_t i = 0; i < rest.size(); ++i)
    EXPECT_TRUE(i == 32 || std::string_view("0123456789abcdef").find(rest[i]) != std::string::npos)
        << stored;
  EXPECT_TRUE(isPasswordHash(stored));
  EXPECT_EQ(stored.find("Secret"), std::string::npos);
  EXPECT_NE(hashed("Secret"), stored) << "every hash has a salt of its own";
}

TEST_F(PasswordTest, OnlyTheExactPasswordMatchesItsHash) {
  const std::string stored = hashed("Secret密码");
  EXPECT_EQ(passwordMatches(crypto, stored, "Secret密码"), true);
  for (const char* wrong : {"secret密码", "SECRET密码", "Secret", "Secret密码 ", " Secret密码", ""})
    EXPECT_EQ(passwordMatches(crypto, stored, wrong), false) << wrong;
  // The rounds a value names are the rounds it is checked with.
  const std::string fewer = hashPassword(crypto, "x", 1000).value();
  EXPECT_TRUE(fewer.starts_with("pbkdf2-sha256$1000$"));
  EXPECT_EQ(passwordMatches(crypto, fewer, "x"), true);
}

TEST_F(PasswordTest, APlainValueOfAnEarlierVersionIsComparedAsItStands) {
  EXPECT_FALSE(isPasswordHash("Secret"));
  EXPECT_EQ(passwordMatches(crypto, "Secret", "Secret"), true);
  EXPECT_EQ(passwordMatches(crypto, "Secret", "secret"), false);
  EXPECT_EQ(passwordMatches(crypto, "Secret", "Secre"), false);
  EXPECT_EQ(passwordMatches(crypto, "密码", "密码"), true);
  EXPECT_EQ(crypto.derivations, 0) << "a plain value needs no hashing";
}

TEST_F(PasswordTest, ValuesThatAreNotQuiteOurHashAreTakenAsPlainText) {
  const std::string good = hashed("a");
  const std::string salt = good.substr(good.find('$', 15) + 1, 32);
  const std::string hash = good.substr(good.rfind('$') + 1);
  const std::vector<std::string> notOurs = {
      "pbkdf2-sha256",
      "pbkdf2-sha256$200000$" + salt,
      "pbkdf2-sha256$200000$" + salt + "$" + hash + "$",
      "pbkdf2-sha256$$" + salt + "$" + hash,
      "pbkdf2-sha256$0$" + salt + "$" + hash,
      "pbkdf2-sha256$0200$" + salt + "$" + hash,
      "pbkdf2-sha256$-5$" + salt + "$" + hash,
      "pbkdf2-sha256$99999999999$" + salt + "$" + hash,
      "pbkdf2-sha256$10000001$" + salt + "$" + hash,  // more rounds than we allow
      "pbkdf2-sha256$200000$$" + hash,
      "pbkdf2-sha256$200000$abc$" + hash,  // odd length
      "pbkdf2-sha256$200000$" + salt + "$" + hash.substr(2),
      "pbkdf2-sha1$200000$" + salt + "$" + hash,
      "PBKDF2-SHA256$200000$" + salt + "$" + hash,
  };
  for (const auto& value : notOurs) {
    EXPECT_FALSE(isPasswordHash(value)) << value;
    EXPECT_EQ(passwordMatches(crypto, value, value), true) << value;
    EXPECT_EQ(passwordMatches(crypto, value, "a"), false) << value;
  }
  EXPECT_FALSE(isPasswordHash("pbkdf2-sha256$200000$" + salt + "$" + hash.substr(0, 63) + "G"));
}

TEST_F(PasswordTest, AFailingSystemCryptographyIsNeverAnAnswer) {
  const std::string stored = hashed("a");
  crypto.failRandom = true;
  EXPECT_FALSE(hashPassword(crypto, "b").has_value());
  crypto.failRandom = false;
  crypto.failDerive = true;
  EXPECT_FALSE(hashPassword(crypto, "b").has_value());
  EXPECT_FALSE(passwordMatches(crypto, stored, "a").has_value());
}

}  // namespace
}  // namespace temvik::testing

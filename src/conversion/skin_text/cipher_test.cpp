#include "conversion/skin_text/cipher.h"

#include <gtest/gtest.h>

#include <random>

namespace fendrix {
namespace {

// The rule written out byte by byte, independent of the implementation.
std::string Reference(std::string bytes, std::string_view key) {
  for (std::size_t p = 0; p < bytes.size(); ++p) {
    unsigned c = key.empty() ? 0 : static_cast<unsigned char>(key[p % key.size()]);
    bytes[p] = static_cast<char>(static_cast<unsigned char>(bytes[p]) ^ 255 ^ c ^ (p % 256));
  }
  return bytes;
}

TEST(CipherTest, KnownLineEnciphersToKnownBytes) {
  // "Form=1" under "kvt3": F^255^k^0 = 0xD2, o^255^v^1 = 0xE7, ...
  std::string line = "Form=1";
  CryptLine(line, kSkinKey);
  EXPECT_EQ(line, std::string("\xD2\xE7\xFB\xA2\xAD\xBD", 6));
  CryptLine(line, kSkinKey);
  EXPECT_EQ(line, "Form=1");
}

TEST(CipherTest, MatchesTheRuleForEveryKeyLengthAndWrapsAt256) {
  std::mt19937 random(7);
  for (std::string key : {"", "k", "kvt3", "a much longer key"}) {
    for (std::size_t length : {0u, 1u, 3u, 255u, 256u, 257u, 1000u}) {
      std::string bytes(length, '\0');
      for (char& b : bytes) b = static_cast<char>(random());
      std::string enciphered = bytes;
      XorCrypt(enciphered, key);
      EXPECT_EQ(enciphered, Reference(bytes, key)) << "key " << key << " length " << length;
      EXPECT_EQ(enciphered.size(), bytes.size());
      XorCrypt(enciphered, key);
      EXPECT_EQ(enciphered, bytes);
    }
  }
}

TEST(CipherTest, EmptyLineStaysEmptyAndAnyByteCanResult) {
  std::string empty;
  CryptLine(empty, kSkinKey);
  EXPECT_TRUE(empty.empty());

  // The cipher escapes nothing: a plain byte chosen for position 0 gives CR.
  std::string line(1, static_cast<char>(13 ^ 255 ^ 'k'));
  CryptLine(line, kSkinKey);
  EXPECT_EQ(line, "\r");
}

}  // namespace
}  // namespace fendrix

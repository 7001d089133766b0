#include "cli/json_name.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

constexpr const char* kFffd = "\xEF\xBF\xBD";

struct Expected {
  std::string text;
  std::optional<std::string> raw;
};

TEST(JsonNameTest, BytesOutsideUtf8BecomeOneReplacementAPiece) {
  const std::pair<std::string, Expected> rows[] = {
      {"back\\slash", {"back\\slash", std::nullopt}},
      {"\xF0\x9F\x8E\xB5", {"\xF0\x9F\x8E\xB5", std::nullopt}},
      // Overlong, encoded surrogate, beyond U+10FFFF: cut where they go wrong.
      {"\xC0\xAF", {std::string(kFffd) + kFffd, "\\xC0\\xAF"}},
      {"\xED\xA0\x80", {std::string(kFffd) + kFffd + kFffd, "\\xED\\xA0\\x80"}},
      {"\xF4\x90\x80\x80", {std::string(kFffd) + kFffd + kFffd + kFffd, "\\xF4\\x90\\x80\\x80"}},
      // A sequence cut short by the next character, and one by the end.
      {"\xF0\x9F\x8E"
       "A\xE9",
       {std::string(kFffd) + "A" + kFffd, "\\xF0\\x9F\\x8EA\\xE9"}},
      {"\\\xFF\xC3\xA4", {std::string("\\") + kFffd + "\xC3\xA4", "\\\\\\xFF\xC3\xA4"}},
  };
  for (const auto& [bytes, expected] : rows) {
    JsonName name = JsonNameFromBytes(bytes);
    EXPECT_EQ(name.text, expected.text) << bytes;
    EXPECT_EQ(name.raw, expected.raw) << bytes;
  }
}

TEST(JsonNameTest, UnpairedSurrogatesBecomeReplacements) {
  const std::pair<std::u16string, Expected> rows[] = {
      {u"K\u00FChl", {"K\xC3\xBChl", std::nullopt}},
      {u"\U0001F3B5", {"\xF0\x9F\x8E\xB5", std::nullopt}},
      {std::u16string(u"a") + char16_t(0xD83C), {std::string("a") + kFffd, "a\\uD83C"}},
      {std::u16string(1, char16_t(0xDFB5)) + u"\u00E9",
       {std::string(kFffd) + "\xC3\xA9", "\\uDFB5\xC3\xA9"}},
      // Reversed, the two halves pair with nothing.
      {std::u16string{char16_t(0xDFB5), char16_t(0xD83C)},
       {std::string(kFffd) + kFffd, "\\uDFB5\\uD83C"}},
  };
  for (const auto& [units, expected] : rows) {
    JsonName name = JsonNameFromUtf16(units);
    EXPECT_EQ(name.text, expected.text) << expected.text;
    EXPECT_EQ(name.raw, expected.raw) << expected.text;
  }
}

}  // namespace
}  // namespace fendrix

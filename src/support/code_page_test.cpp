#include "support/code_page.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

TEST(CodePageTest, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string back;
  ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), &back));
  EXPECT_EQ(back, all);
}

TEST(CodePageTest, MapsTheHighRangeAsWindows1252) {
  struct {
    std::uint8_t byte;
    char32_t code_point;
  } cases[] = {
      {0x80, 0x20AC}, {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090},
      {0x9D, 0x009D}, {0x9F, 0x0178}, {0xE4, 0x00E4}, {0x41, 0x0041}, {0xA0, 0x00A0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1252ToCodePoint(c.byte), c.code_point) << int(c.byte);
    EXPECT_EQ(CodePointToCp1252(c.code_point), c.byte) << int(c.byte);
  }
  EXPECT_EQ(Cp1252ToUtf8("Lautst\xE4rke"), "Lautstärke");
}

TEST(CodePageTest, RefusesWhatTheCodePageLacksAndSaysWhere) {
  std::string out = "untouched";
  std::size_t bad = 0;
  EXPECT_FALSE(
      Utf8ToCp1252("ab\xE2\x82\xAC"
                   "c\xE2\x98\x83",
                   &out, &bad));  // € is fine, ☃ is not
  EXPECT_EQ(bad, 6u);
  EXPECT_EQ(out, "untouched");
  EXPECT_FALSE(Utf8ToCp1252("a\xC3", &out, &bad));  // cut-off sequence
  EXPECT_EQ(bad, 1u);
  EXPECT_FALSE(Utf8ToCp1252("\xC0\x80", &out, &bad));  // overlong NUL
}

TEST(CodePageTest, WideAndUtf8ConvertBothWays) {
  std::string utf8 = "Auswahl: C:\\Sk\xC3\xAEns\\\xF0\x9F\x8E\xB5";  // î and a note outside the BMP
  EXPECT_EQ(WideToUtf8(Utf8ToWide(utf8)), utf8);
}

}  // namespace
}  // namespace fendrix

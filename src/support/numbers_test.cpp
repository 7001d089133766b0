#include "support/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace fendrix {
namespace {

TEST(ParseNumberTest, AcceptsTheLocaleAwareForms) {
  struct {
    std::string text;
    char separator;
    double expected;
  } cases[] = {
      {"1280", ',', 1280}, {" 1024 ", ',', 1024}, {"-5", ',', -5},     {"+7", ',', 7},
      {"8,25", ',', 8.25}, {"8.25", '.', 8.25},   {",5", ',', 0.5},    {"5,", ',', 5},
      {"1e3", '.', 1000},  {"1E+3", '.', 1000},   {"25e-1", '.', 2.5}, {"1D2", '.', 100},
      {"\t12\t", '.', 12}, {"-0", '.', 0},        {"007", '.', 7},
  };
  for (const auto& c : cases) {
    std::optional<double> value = ParseNumber(c.text, c.separator);
    ASSERT_TRUE(value.has_value()) << c.text;
    EXPECT_DOUBLE_EQ(*value, c.expected) << c.text;
  }
}

TEST(ParseNumberTest, RefusesEverythingElse) {
  struct {
    std::string text;
    char separator;
  } cases[] = {
      {"", '.'},     {" ", '.'},   {"abc", '.'}, {"8.25", ','}, {"8,25", '.'}, {"1,2,3", ','},
      {"1e", '.'},   {"e5", '.'},  {"--5", '.'}, {"5-", '.'},   {"12px", '.'}, {"1e400", '.'},
      {"0x10", '.'}, {"1 2", '.'}, {",", ','},   {"+", '.'},    {"1e+", '.'},
  };
  for (const auto& c : cases) EXPECT_FALSE(IsNumeric(c.text, c.separator)) << c.text;
}

TEST(RoundTest, RoundsHalvesToEvenAndChecksTheRange) {
  EXPECT_EQ(RoundToInt16(800.4), 800);
  EXPECT_EQ(RoundToInt16(0.5), 0);
  EXPECT_EQ(RoundToInt16(1.5), 2);
  EXPECT_EQ(RoundToInt16(2.5), 2);
  EXPECT_EQ(RoundToInt16(-2.5), -2);
  EXPECT_EQ(RoundToInt16(32767.4), 32767);
  EXPECT_FALSE(RoundToInt16(32767.5).has_value());  // rounds to 32768
  EXPECT_EQ(RoundToInt16(-32768), -32768);
  EXPECT_FALSE(RoundToInt16(40000).has_value());
  EXPECT_EQ(RoundToInt32(2147483647.0), 2147483647);
  EXPECT_FALSE(RoundToInt32(2147483648.0).has_value());
  EXPECT_FALSE(RoundToInt32(9e99).has_value());
  EXPECT_FALSE(RoundToInt32(std::nan("")).has_value());
}

}  // namespace
}  // namespace fendrix

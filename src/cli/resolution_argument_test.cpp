#include "cli/resolution_argument.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

// Only two fields of digits make a resolution: whatever else a script may
// hold is refused, not read as far as it goes.
TEST(ResolutionArgumentTest, TakesTwoFieldsOfDigitsOnly) {
  const struct {
    const char* text;
    const char* name;  // nullptr: refused
  } rows[] = {
      {"1024x768", "1024x768"},  {"01024x0768", "1024x768"},
      {"1x32767", "1x32767"},    {"1024x768x2", nullptr},
      {"1024x768xfoo", nullptr}, {"1024x768x", nullptr},
      {"0x0", nullptr},          {"1024x0", nullptr},
      {"32768x768", nullptr},    {"1024X768", nullptr},
      {"1024", nullptr},         {"x768", nullptr},
      {"+1024x768", nullptr},    {" 1024x768", nullptr},
      {"1024,4x768", nullptr},   {"", nullptr},
  };
  for (const auto& row : rows) {
    const std::optional<BaseResolution> parsed = ParseResolutionArgument(row.text);
    const auto expected = row.name ? std::optional<std::string>(row.name) : std::nullopt;
    EXPECT_EQ(parsed ? std::optional(parsed->name) : std::nullopt, expected) << row.text;
  }
}

}  // namespace
}  // namespace fendrix

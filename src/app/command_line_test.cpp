#include "app/command_line.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

TEST(CommandLineTest, ArgumentsFollowTheProgramName) {
  struct {
    std::wstring command_line, arguments;
  } cases[] = {
      {L"Fendrix.exe", L""},
      {L"Fendrix.exe /demo", L"/demo"},
      {L"\"C:\\Player\\Tools\\Fendrix.exe\" 1024x768", L"1024x768"},
      {L"\"C:\\Program Files\\Fendrix.exe\"   /Mein Skin ", L"/Mein Skin "},
      {L"\"C:\\Program Files\\Fendrix.exe\"/demo", L"/demo"},
      {L"C:\\Tools\\Fendrix.exe\t800x600x2", L"800x600x2"},
      {L"\"unclosed quote /demo", L""},
      {L"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CommandLineArguments(c.command_line), c.arguments) << c.command_line;
  }
}

TEST(CommandLineTest, SlashNamesTheSkinToConvert) {
  std::wstring skin = L"unchanged";
  EXPECT_FALSE(AutoConversionSkin(L"", &skin));
  EXPECT_FALSE(AutoConversionSkin(L"1024x768", &skin));
  EXPECT_FALSE(AutoConversionSkin(L" /demo", &skin));
  EXPECT_EQ(skin, L"unchanged");
  ASSERT_TRUE(AutoConversionSkin(L"/Mein Skin", &skin));
  EXPECT_EQ(skin, L"Mein Skin");
  ASSERT_TRUE(AutoConversionSkin(L"/", &skin));
  EXPECT_EQ(skin, L"");
}

}  // namespace
}  // namespace fendrix

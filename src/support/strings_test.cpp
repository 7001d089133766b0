#include "support/strings.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

struct FieldCase {
  std::string text;
  int index;
  std::string separator;
  int count;
  std::string expected;
};

TEST(GetFieldTest, SplitsLikeTheSkinFilesExpect) {
  const FieldCase cases[] = {
      {"1280x1024", 1, "x", 1, "1280"},
      {"1280x1024", 2, "x", 1, "1024"},
      {"1280x1024", 3, "x", 1, ""},
      {"abc", 1, "=", 1, ""},  // no separator: no fields at all
      {"", 1, "x", 1, ""},
      {"=b", 1, "=", 1, ""},
      {"a=", 2, "=", 1, ""},
      {"a=b=c", 2, "=", 1, "b"},
      {"a=b", 2, "=", 0, "b"},
      {"a=b", 2, "=", -5, "b"},
      {"a=b", 3, "=", 2, ""},
      {"a=b", 2, "=", 3, "b="},
      {"C:\\Skins\\Name\\", 1, "\\", 2, "C:\\Skins\\"},
      {"C:\\Skins\\Name\\", 1, "\\", 3, "C:\\Skins\\Name\\"},
      {"C:\\Skins\\Name\\", 1, "\\", 4, "C:\\Skins\\Name\\\\"},
      {"a==b", 2, "=", 1, ""},
      {"a==b", 3, "=", 1, "b"},
      {"a=b", 0, "=", 1, ""},  // an index below 1 finds nothing
      {"a=b", 1, "", 1, ""},   // nor does an empty separator
      {"1::2::3", 2, "::", 1, "2"},
  };
  for (const FieldCase& c : cases) {
    EXPECT_EQ(GetField(c.text, c.index, c.separator, c.count), c.expected)
        << c.text << " index " << c.index << " count " << c.count;
  }
}

TEST(GetFileNameTest, TakesTheNameAfterTheLastBackslash) {
  struct {
    std::string path;
    bool keep;
    std::string expected;
  } cases[] = {
      {"C:\\Skins\\Name\\back.bmp", false, "back"},
      {"C:\\Skins\\Name\\back.bmp", true, "back.bmp"},
      {"back.ground.bmp", false, "back.ground"},
      {".bmp", false, ""},
      {"name.", false, "name"},
      {"back", false, "back"},
      {"C:\\Skins\\", false, ""},
      {"sub/bild.gif", false, "sub/bild"},  // only the backslash separates
      {"a.b\\c", false, "c"},               // a dot in a folder is not an extension
  };
  for (const auto& c : cases) EXPECT_EQ(GetFileName(c.path, c.keep), c.expected) << c.path;
}

TEST(StringsTest, ReplaceAndCaseHelpers) {
  EXPECT_EQ(ReplaceAll("8,25,0", ",", "."), "8.25.0");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(AsciiLower("MeinSkin\xC4"), "meinskin\xC4");
}

}  // namespace
}  // namespace fendrix

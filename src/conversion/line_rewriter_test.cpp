#include "conversion/line_rewriter.h"

#include <gtest/gtest.h>

#include "support/strings.h"

namespace fendrix {
namespace {

TEST(FactorsTest, FollowTheSingleAndDoublePrecisionRules) {
  ConversionFactors f = ComputeFactors(1280, 1024, 1024, 768);
  EXPECT_EQ(f.x, 1.25f);
  EXPECT_EQ(f.y, static_cast<float>(1024.0 / 768.0));
  EXPECT_EQ(f.font, static_cast<float>((static_cast<double>(f.y) + 1.25) / 2.0));
  EXPECT_FLOAT_EQ(f.font, 1.2916667f);
}

struct RewriteCase {
  std::string line;
  std::optional<std::string> expected;
  std::optional<std::string> bitmap = std::nullopt;  // the value of a bitmap line
  bool warns = false;
};

void Check(const RewriteCase& c, const ConversionFactors& factors, char separator) {
  RewrittenLine out = RewriteLine(c.line, factors, separator);
  EXPECT_EQ(out.line, c.expected) << c.line;
  EXPECT_EQ(out.names_bitmap ? std::optional(out.bitmap) : std::nullopt, c.bitmap) << c.line;
  EXPECT_EQ(!out.warning.empty(), c.warns) << c.line << ": " << out.warning;
}

TEST(RewriteLineTest, WorkedExampleFrom1280x1024To1024x768) {
  ConversionFactors f = ComputeFactors(1280, 1024, 1024, 768);
  const RewriteCase cases[] = {
      {"Titel.Left=120", "Titel.Left=96"},
      {"Titel.Top=96", "Titel.Top=71"},  // 96 / 1.3333334 lies just below 72
      {"Titel.FontSize=10", "Titel.FontSize=7"},
      {"Titel.FontSize=8,25", "Titel.FontSize=6"},
      {"Titel.Caption=Hallo", "Titel.Caption=Hallo"},
      {"Titel.Width=1280", "Titel.Width=1024"},
      {"Titel.Height=1024", "Titel.Height=767"},
  };
  for (const RewriteCase& c : cases) Check(c, f, ',');
}

TEST(RewriteLineTest, KeysValuesAndBitmaps) {
  ConversionFactors f{1.25f, 2.0f, 1.5f};
  const RewriteCase cases[] = {
      {"", std::nullopt},
      {"Bare", "Bare"},
      {"Form=irgendwas=mit.Punkt", "Form=irgendwas=mit.Punkt"},
      {"Kein.Punkt", "Kein.Punkt"},  // no "=": key and value are empty
      {"a.b.Left=10", "a.b=10"},
      {"x.Left=10=5", "x.Left=8"},
      {"plain=10=5", "plain=10=5"},
      {"x.Top=-5", "x.Top=-3"},  // rounds down, not toward zero
      {"x.left=10", "x.left=10"},
      {"x.Left= 10 ", "x.Left=8"},
      {"x.Top=-0", "x.Top=0"},
      {"gfxHintergrund=back.jpg", "gfxHintergrund=back.bmp", "back.jpg"},
      {"gfxLautst\xE4rkeregler=sub\\bild.gif", "gfxLautst\xE4rkeregler=bild.bmp", "sub\\bild.gif"},
      {"gfxSchluss=bild", "gfxSchluss=bild.bmp", "bild"},
      {"gfxSongsuche=a.b.c", "gfxSongsuche=a.b.bmp", "a.b.c"},
      {"gfxWunschliste=", "gfxWunschliste=.bmp", std::string()},
      {"gfxhintergrund=back.jpg", "gfxhintergrund=back.jpg"},
      {"gfxHintergrund=x=y", "gfxHintergrund=x.bmp", "x"},
  };
  for (const RewriteCase& c : cases) Check(c, f, ',');
}

TEST(RewriteLineTest, UnusableValuesStayAndWarn) {
  ConversionFactors f{1.25f, 1.25f, 1.25f};
  const RewriteCase cases[] = {
      {"x.Left=abc", "x.Left=abc", std::nullopt, true},
      {"x.Left=", "x.Left=", std::nullopt, true},
      {"x.Width=1e400", "x.Width=1e400", std::nullopt, true},
      {"x.Width=99999999999", "x.Width=99999999999", std::nullopt, true},
      {"x.Height=12px", "x.Height=12px", std::nullopt, true},
      {"x.Caption=abc", "x.Caption=abc"},  // not a scaled property: no warning
  };
  for (const RewriteCase& c : cases) Check(c, f, ',');
}

TEST(RewriteLineTest, CommaValuesFollowTheDecimalSeparator) {
  ConversionFactors f{1.0f, 1.0f, 1.0f};
  Check({"x.FontSize=8,75", "x.FontSize=8"}, f, '.');  // comma read as the separator
  Check({"x.FontSize=8.75", "x.FontSize=8"}, f, '.');
  Check({"x.FontSize=8.75", "x.FontSize=8.75", std::nullopt, true}, f,
        ',');  // "." is no separator here
}

// Separators before, on and after every eight-byte boundary, checked
// against the fields GetField cuts, which the rule is written in.
TEST(RewriteLineTest, FindsTheFieldsWhereverTheSeparatorsFall) {
  const ConversionFactors one{1.0f, 1.0f, 1.0f};
  const std::string letters = "Abcdefghijklmnopqrstuvwxyz";
  for (std::size_t element = 0; element <= 17; ++element) {
    for (const char* property : {"Left", "Caption"}) {
      for (const char* extra : {"", ".Rest", "."}) {
        for (std::size_t digits = 1; digits <= 10; digits += 3) {
          for (const char* tail : {"", "=9", "=.x="}) {
            const std::string key = letters.substr(0, element) + "." + property + extra;
            const std::string line = key + "=" + std::string("1234567891").substr(0, digits) + tail;
            const std::string value = GetField(line, 2, "=");
            const std::string expected =
                GetField(key, 1, ".") + "." + GetField(key, 2, ".") + "=" + value;
            Check({line, expected}, one, ',');
          }
        }
      }
    }
  }
  for (std::size_t before = 0; before <= 17; ++before) {
    const std::string key = letters.substr(0, before);
    Check({key + "=a.b.c", key + "=a.b.c"}, one, ',');  // dots after the "=" are value
    Check({key + ".b", key + ".b"}, one, ',');          // no "=" at all
  }
}

TEST(BitmapTargetNameTest, IsTheBaseNameWithBmp) {
  EXPECT_EQ(BitmapTargetName("sub\\bild.gif"), "bild.bmp");
  EXPECT_EQ(BitmapTargetName("back"), "back.bmp");
  EXPECT_EQ(BitmapTargetName("..\\..\\evil.jpg"), "evil.bmp");
}

}  // namespace
}  // namespace fendrix

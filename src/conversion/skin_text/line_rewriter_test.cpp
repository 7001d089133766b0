#include "conversion/skin_text/line_rewriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/skin_text/naive_rewrite_reference.h"
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

// The rewriter against the reference, for a line whose outcome the
// reference alone tells.
void CheckAgainstReference(const std::string& line, const ConversionFactors& factors,
                           char separator) {
  const testing::NaiveRewrite expected = testing::NaiveRewriteLine(line, factors, separator);
  RewrittenLine out = RewriteLine(line, factors, separator);
  EXPECT_EQ(out.line, expected.line) << line;
  EXPECT_EQ(out.names_bitmap ? std::optional(out.bitmap) : std::nullopt, expected.bitmap) << line;
  EXPECT_EQ(!out.warning.empty(), expected.kept) << line << ": " << out.warning;
}

// A line with a known outcome; the reference must know it too.
void Check(const RewriteCase& c, const ConversionFactors& factors, char separator) {
  RewrittenLine out = RewriteLine(c.line, factors, separator);
  EXPECT_EQ(out.line, c.expected) << c.line;
  EXPECT_EQ(out.names_bitmap ? std::optional(out.bitmap) : std::nullopt, c.bitmap) << c.line;
  EXPECT_EQ(!out.warning.empty(), c.warns) << c.line << ": " << out.warning;
  EXPECT_EQ(testing::NaiveRewriteLine(c.line, factors, separator).line, c.expected) << c.line;
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
  EXPECT_EQ(RewriteLine("x.Left=\xE4", f, ',').warning,
            "Wert ist keine verwendbare Zahl und bleibt unver\u00e4ndert: x.Left=\u00e4");
}

TEST(RewriteLineTest, CommaValuesFollowTheDecimalSeparator) {
  ConversionFactors f{1.0f, 1.0f, 1.0f};
  Check({"x.FontSize=8,75", "x.FontSize=8"}, f, '.');  // comma read as the separator
  Check({"x.FontSize=8.75", "x.FontSize=8"}, f, '.');
  Check({"x.FontSize=8.75", "x.FontSize=8.75", std::nullopt, true}, f,
        ',');  // "." is no separator here
}

// Values of every shape: short and long, with leading zeros, signs and
// decimal separators, and some that only look like numbers.
constexpr const char* kValues[] = {"0",
                                   "7",
                                   "12",
                                   "999",
                                   "1280",
                                   "0042",
                                   "9999",
                                   "10000",
                                   "99999999",
                                   "100000000",
                                   "00000042",
                                   "-5",
                                   "-0",
                                   "8,25",
                                   "99,9",
                                   "0,1",
                                   "-0,5",
                                   "12345678,5",
                                   "1,000000000000001",
                                   "123456789012345",
                                   "1234567890123456",
                                   "5,",
                                   ",5",
                                   "1,2,3",
                                   "1 ",
                                   "+3",
                                   "8.75",
                                   "1e3"};

// Factors that shrink, enlarge, mix and centre.
const ConversionFactors kFactorSets[] = {ComputeFactors(1280, 1024, 1024, 768),
                                         ComputeFactors(800, 600, 1920, 1200),
                                         {3.0f, 3.0f, 0.1f},
                                         {1e-7f, 1e-7f, 1e-7f},
                                         KeepAspectFactors(1280, 1024, 1920, 1080)};

// Separators at the start, near it and far into the line, and value
// readings of every shape, under factors that shrink, enlarge, mix and
// centre: the rewriter must agree with the reference on each.
TEST(RewriteLineTest, AgreesWithTheReference) {
  const ConversionFactors one{1.0f, 1.0f, 1.0f};
  const std::string letters(60, 'z');
  for (std::size_t element : {0u, 1u, 7u, 60u}) {
    const std::string name = letters.substr(0, element);
    for (const char* property : {"Left", "Caption"}) {
      for (const char* extra : {"", ".Rest", "."}) {
        for (const char* value : {"1", "1234567891"}) {
          for (const char* tail : {"", "=9", "=.x="}) {
            CheckAgainstReference(name + "." + property + extra + "=" + value + tail, one, ',');
          }
        }
      }
    }
    Check({name + "=a.b.c", name + "=a.b.c"}, one, ',');  // dots after the "=" are value
    Check({name + ".b", name + ".b"}, one, ',');          // no "=" at all
  }

  for (const ConversionFactors& f : kFactorSets) {
    for (const char* property : {"Left", "Top", "FontSize"}) {
      for (const char* value : kValues) {
        for (char separator : {',', '.'}) {
          CheckAgainstReference(std::string("x.") + property + "=" + value, f, separator);
        }
      }
    }
  }
}

TEST(RewriteLineTest, OnlyTheFiveSizePropertiesAreScaled) {
  const ConversionFactors f{2.0f, 4.0f, 8.0f};
  const std::string scaled[][2] = {
      {"Left", "8"}, {"Width", "8"}, {"Top", "4"}, {"Height", "4"}, {"FontSize", "2"}};
  for (const auto& [property, value] : scaled) {
    Check({"x." + property + "=16", "x." + property + "=" + value}, f, ',');
  }
  // Names that share a start, an end or a first letter with them.
  const std::string kept[] = {"Lefts",
                              "Lef",
                              "L",
                              "",
                              "left",
                              "Topp",
                              "Heigh",
                              "Width2",
                              "FontSizes",
                              "FontSiz",
                              "Caption",
                              "ForeColor",
                              std::string("Top\0", 4)};
  for (const std::string& property : kept) {
    Check({"x." + property + "=16", "x." + property + "=16"}, f, ',');
  }
}

}  // namespace
}  // namespace fendrix

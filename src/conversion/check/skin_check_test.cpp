#include "conversion/check/skin_check.h"

#include <gtest/gtest.h>

#include <tuple>

#include "conversion/run/test_skin.h"
#include "support/memory_file_system.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;

// A plain line whose stored form holds a carriage return after "ab".
std::string LineStoredWithCarriageReturn() {
  std::string line = "Titel.Caption=ab";
  std::string probe(line.size() + 1, '\r');
  XorCrypt(probe, kSkinKey);  // the plain byte that is stored as 13 there
  return line + probe.back() + "cd";
}

using Found = std::tuple<std::optional<std::size_t>, std::string, std::optional<fs::path>>;

struct CheckCase {
  const char* name;
  std::vector<std::string> lines;                          // after the clean skin's
  std::vector<std::pair<std::string, std::string>> files;  // name, contents
  std::vector<Found> expected;
  std::optional<std::pair<std::int32_t, std::int32_t>> convert_to = std::nullopt;
  bool without_background = false;
};

// One row a kind of finding, each on the clean skin with its own lines
// and files.
const std::vector<CheckCase> kCases = {
    {"clean, bitmap found without case",
     {"gfxSchluss=sub\\CLOSE.BMP"},
     {{"Sub/close.bmp", testing::BmpFile(4, 4)}},
     {}},
    {"missing bitmap", {"gfxSchluss=close.gif"}, {}, {{8, "missing_bitmap", "close.gif"}}},
    {"unreadable bitmap",
     {"gfxSchluss=close.bmp"},
     {{"close.bmp", "BM kaputt"}},
     {{8, "unreadable_bitmap", "close.bmp"}}},
    {"unreadable arrow",
     {},
     {{"arrowb.bmp", "kaputt"}},
     {{std::nullopt, "unreadable_bitmap", "ArrowB.bmp"}}},
    {"unsafe name", {"gfxSchluss=..\\close.bmp"}, {}, {{8, "refused_bitmap", "..\\close.bmp"}}},
    {"beyond the right edge and above the top",
     {"Knopf.Left=750", "Knopf.Width=51", "Knopf.Top=-1", "Knopf.Height=5"},
     {},
     {{8, "off_screen", std::nullopt}, {10, "off_screen", std::nullopt}}},
    {"not a number", {"Knopf.FontSize=abc"}, {}, {{8, "not_a_number", std::nullopt}}},
    {"split line", {LineStoredWithCarriageReturn()}, {}, {{8, "split_line", std::nullopt}}},
    {"key given twice", {"Titel.Left=0"}, {}, {{8, "duplicate_key", std::nullopt}}},
    {"unused files, in a sub-folder too",
     {},
     {{"alt.bmp", "x"}, {"ArrowT.bmp", testing::BmpFile(2, 2)}, {"alt/alt.bmp", "x"}},
     {{std::nullopt, "unused_file", "alt/alt.bmp"}, {std::nullopt, "unused_file", "alt.bmp"}}},
    {"property in other letter case", {"Knopf.left=10"}, {}, {{8, "property_case", std::nullopt}}},
    {"key without a value", {"Regler.Top 200"}, {}, {{8, "no_value", std::nullopt}}},
    {"element without a size", {"Knopf.Left=5"}, {}, {{8, "incomplete_element", std::nullopt}}},
    {"no background",
     {},
     {},
     {{std::nullopt, "no_background", std::nullopt}, {std::nullopt, "unused_file", "Zelback.jpg"}},
     std::nullopt,
     true},
    {"shrunk to nothing by the conversion",
     {"Strich.Left=0", "Strich.Top=0", "Strich.Width=100", "Strich.Height=1"},
     {},
     {{11, "vanishes", std::nullopt}},
     std::pair{640, 480}},
    {"number only under a decimal point",
     {"Knopf.FontSize=10.5"},
     {},
     {{8, "locale_number", std::nullopt}}},
};

TEST(SkinCheckTest, FindsWhatTheConversionWouldStumbleOver) {
  const std::vector<std::string> clean = {"Form=1",
                                          "gfxHintergrund=Zelback.jpg",
                                          "Titel.Left=0",
                                          "Titel.Width=800",
                                          "Titel.Top=20",
                                          "Titel.Height=30",
                                          "Titel.FontSize=8,25"};
  for (const CheckCase& row : kCases) {
    SCOPED_TRACE(row.name);
    MemoryFileSystem files;
    const fs::path folder = "/Skins/Demo/800x600";
    std::vector<std::string> lines = clean;
    if (row.without_background) lines.erase(lines.begin() + 1);
    lines.insert(lines.end(), row.lines.begin(), row.lines.end());
    files.AddFile(folder / "Skin.vsk", EncipherLines(lines));
    files.AddFile(folder / "Zelback.jpg",
                  testing::ReadAll(fs::path(FENDRIX_SOURCE_DIR) /
                                   "src/conversion/imaging/testdata/baseline.jpg"));
    for (const auto& [name, contents] : row.files) files.AddFile(folder / name, contents);

    std::vector<CheckFinding> findings;
    std::string err;
    CheckRequest request{folder, 800, 600, '.'};
    if (row.convert_to) {
      const auto [width, height] = *row.convert_to;
      request.conversion = {ComputeFactors(800, 600, width, height),
                            std::to_string(width) + "x" + std::to_string(height)};
    }
    ASSERT_TRUE(CheckSkinFolder(files, request, &findings, &err)) << err;
    std::vector<Found> found;
    for (const CheckFinding& finding : findings) {
      found.emplace_back(finding.line, finding.kind, finding.file);
      EXPECT_FALSE(finding.text.empty());
    }
    EXPECT_EQ(found, row.expected) << (findings.empty() ? "" : findings[0].text);
  }
}

}  // namespace
}  // namespace fendrix

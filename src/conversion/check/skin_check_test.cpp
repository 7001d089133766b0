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
};

TEST(SkinCheckTest, FindsWhatTheConversionWouldStumbleOver) {
  const std::vector<std::string> clean = {"Form=1",       "gfxHintergrund=Zelback.jpg",
                                          "Titel.Left=0", "Titel.Width=800",
                                          "Titel.Top=20", "Titel.FontSize=8,25"};
  const std::vector<CheckCase> cases = {
      {"clean, bitmap found without case",
       {"gfxSchluss=sub\\CLOSE.BMP"},
       {{"Sub/close.bmp", testing::BmpFile(4, 4)}},
       {}},
      {"missing bitmap", {"gfxSchluss=close.gif"}, {}, {{7, "missing_bitmap", "close.gif"}}},
      {"unreadable bitmap",
       {"gfxSchluss=close.bmp"},
       {{"close.bmp", "BM kaputt"}},
       {{7, "unreadable_bitmap", "close.bmp"}}},
      {"unreadable arrow",
       {},
       {{"arrowb.bmp", "kaputt"}},
       {{std::nullopt, "unreadable_bitmap", "ArrowB.bmp"}}},
      {"unsafe name", {"gfxSchluss=..\\close.bmp"}, {}, {{7, "refused_bitmap", "..\\close.bmp"}}},
      {"beyond the right edge and above the top",
       {"Knopf.Left=750", "Knopf.Width=51", "Knopf.Top=-1"},
       {},
       {{7, "off_screen", std::nullopt}, {9, "off_screen", std::nullopt}}},
      {"not a number", {"Titel.Height=abc"}, {}, {{7, "not_a_number", std::nullopt}}},
      {"split line", {LineStoredWithCarriageReturn()}, {}, {{7, "split_line", std::nullopt}}},
      {"key given twice", {"Titel.Left=0"}, {}, {{7, "duplicate_key", std::nullopt}}},
      {"unused file",
       {},
       {{"alt.bmp", "x"}, {"ArrowT.bmp", testing::BmpFile(2, 2)}},
       {{std::nullopt, "unused_file", "alt.bmp"}}},
  };
  for (const CheckCase& row : cases) {
    SCOPED_TRACE(row.name);
    MemoryFileSystem files;
    const fs::path folder = "/Skins/Demo/800x600";
    std::vector<std::string> lines = clean;
    lines.insert(lines.end(), row.lines.begin(), row.lines.end());
    files.AddFile(folder / "Skin.vsk", EncipherLines(lines));
    files.AddFile(folder / "Zelback.jpg",
                  testing::ReadAll(fs::path(FENDRIX_SOURCE_DIR) /
                                   "src/conversion/imaging/testdata/baseline.jpg"));
    for (const auto& [name, contents] : row.files) files.AddFile(folder / name, contents);

    std::vector<CheckFinding> findings;
    std::string err;
    ASSERT_TRUE(CheckSkinFolder(files, {folder, 800, 600, '.'}, &findings, &err)) << err;
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

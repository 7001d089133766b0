#include "repository/skin_repository.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_folder.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;
using testing::MemoryFolder;

// A skin with the given resolution folders, each with a Skin.vsk unless its
// name is prefixed with "-".
void MakeSkin(MemoryFolder& dir, const std::string& skin, std::vector<std::string> folders) {
  for (const std::string& folder : folders) {
    if (folder.starts_with("-")) {
      dir.MakeFolder(fs::path(skin) / folder.substr(1));
    } else {
      dir.Write(fs::path(skin) / folder / "Skin.vsk", "x");
    }
  }
  dir.MakeFolder(skin);
}

TEST(ParseResolutionNameTest, NeedsTwoNumbersWithinSixteenBits) {
  struct {
    std::string name;
    bool ok;
    int width, height;
  } cases[] = {
      {"1280x1024", true, 1280, 1024}, {"01024x768", true, 1024, 768},
      {"800,4x600", true, 800, 600},   {"800x600x2", true, 800, 600},
      {"800X600", false, 0, 0},        {"Backup", false, 0, 0},
      {"40000x600", false, 0, 0},      {"1e6x600", false, 0, 0},
      {"x600", false, 0, 0},           {"1024x", false, 0, 0},
  };
  for (const auto& c : cases) {
    auto parsed = ParseResolutionName(c.name, ',');
    ASSERT_EQ(parsed.has_value(), c.ok) << c.name;
    if (!c.ok) continue;
    EXPECT_EQ(parsed->name, c.name);
    EXPECT_EQ(parsed->width, c.width) << c.name;
    EXPECT_EQ(parsed->height, c.height) << c.name;
  }
}

TEST(DefaultSkinsPathTest, FollowsAProgramFolderNamedTools) {
  EXPECT_EQ(DefaultSkinsPath(fs::path("Player") / "Tools"), fs::path("Player") / "Skins");
  // Only the last five characters count, and the one before them is dropped.
  EXPECT_EQ(DefaultSkinsPath(fs::path("Player") / "MyTools"), fs::path("Player") / "M" / "Skins");
  EXPECT_FALSE(DefaultSkinsPath(fs::path("Player") / "tools"));
  EXPECT_FALSE(DefaultSkinsPath(fs::path("Player") / "Tool"));
  EXPECT_FALSE(DefaultSkinsPath("Tools"));
}

TEST(ListSkinsTest, ListsFoldersOnlyAndFailsOnAMissingFolder) {
  MemoryFolder dir;
  MemoryFileSystem& files = dir.files;
  MakeSkin(dir, "A", {"1280x1024"});
  dir.MakeFolder("Empty");
  dir.Write("notes.txt", "x");
  std::vector<fs::path> skins;
  std::string err;
  ASSERT_TRUE(ListSkins(files, dir.path(), &skins, &err));
  std::sort(skins.begin(), skins.end());
  EXPECT_EQ(skins, (std::vector<fs::path>{"A", "Empty"}));
  EXPECT_FALSE(ListSkins(files, dir.path() / "missing", &skins, &err));
  EXPECT_NE(err.find("missing"), std::string::npos);
}

TEST(ResolutionFoldersTest, CountOnlyNumberedFoldersWithASkinFile) {
  MemoryFolder dir;
  MemoryFileSystem& files = dir.files;
  MakeSkin(dir, "S",
           {"800x600", "1280x1024", "1280x960", "-1600x1200", "800X600", "Backup", "40000x600"});
  std::vector<std::string> listed = ListResolutionFolders(files, dir.path(), "S", ',');
  std::sort(listed.begin(), listed.end());
  // 40000x600 is numeric, so it is listed; it is only skipped as a base.
  EXPECT_EQ(listed, (std::vector<std::string>{"1280x1024", "1280x960", "40000x600", "800x600"}));

  auto highest = GetHighestBaseResolution(files, dir.path(), "S", ',');
  ASSERT_TRUE(highest);
  EXPECT_EQ(highest->name, "1280x1024");
  EXPECT_EQ(highest->width, 1280);
  EXPECT_EQ(highest->height, 1024);
}

TEST(ResolutionFoldersTest, HighestIsWrittenAsItsNumbersAndMayBeMissing) {
  MemoryFolder dir;
  MemoryFileSystem& files = dir.files;
  MakeSkin(dir, "Zero", {"01024x768"});
  MakeSkin(dir, "Bare", {"-1280x1024"});
  MakeSkin(dir, "Lower", {"1024x768", "1024x600"});
  EXPECT_EQ(GetHighestBaseResolution(files, dir.path(), "Zero", ',')->name, "1024x768");
  EXPECT_FALSE(GetHighestBaseResolution(files, dir.path(), "Bare", ','));
  EXPECT_FALSE(GetHighestBaseResolution(files, dir.path(), "Missing", ','));
  EXPECT_EQ(GetHighestBaseResolution(files, dir.path(), "Lower", ',')->name, "1024x768");
}

TEST(ResolutionFoldersTest, FindTheSkinFileWhateverItsCase) {
  MemoryFolder dir;
  MemoryFileSystem& files = dir.files;
  dir.Write("S/1024x768/SKIN.VSK", "x");
  EXPECT_EQ(ListResolutionFolders(files, dir.path(), "S", ','),
            std::vector<std::string>{"1024x768"});
}

}  // namespace
}  // namespace fendrix

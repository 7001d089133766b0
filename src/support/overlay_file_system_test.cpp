#include "support/overlay_file_system.h"

#include <gtest/gtest.h>

#include "support/memory_file_system.h"
#include "support/test_folder.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;

// What the overlay shows of the disk and what it keeps from it, in the
// steps of a run that replaces an old folder.
TEST(OverlayFileSystemTest, ShowsTheDiskAndKeepsEveryChangeFromIt) {
  const fs::path skin = fs::path("/") / "Skins" / "Demo";
  MemoryFileSystem disk;
  disk.AddFile(skin / "1280x1024" / "back.bmp", "disk");
  disk.AddFile(skin / "1024x768" / "old.bmp", "old");
  OverlayFileSystem overlay(disk);
  const auto listed = [&](const fs::path& folder) {
    std::vector<DirectoryEntry> entries;
    std::string err, names;
    EXPECT_TRUE(overlay.ListDirectory(folder, &entries, &err)) << err;
    for (const DirectoryEntry& entry : entries) names += entry.name.string() + " ";
    return names;
  };
  std::string err;

  disk.AddFile(skin / "1280x1024" / "back.bmp", "later");  // read when asked, not before
  EXPECT_EQ(ReadAll(overlay, skin / "1280x1024" / "back.bmp"), "later");
  ASSERT_TRUE(overlay.MakeDirectory(skin / "~new", &err)) << err;
  ASSERT_TRUE(overlay.Copy(skin / "1280x1024" / "back.bmp", skin / "~new" / "copy.bmp", &err));
  ASSERT_TRUE(overlay.WriteFile(skin / "1280x1024" / "back.bmp", "memory", &err)) << err;
  EXPECT_EQ(ReadAll(overlay, skin / "~new" / "copy.bmp"), "later");
  EXPECT_EQ(ReadAll(overlay, skin / "1280x1024" / "back.bmp"), "memory");
  EXPECT_EQ(listed(skin), "1024x768 1280x1024 ~new ");

  // The old folder moves aside with what the disk holds in it, then goes.
  ASSERT_TRUE(overlay.Rename(skin / "1024x768", skin / "~old", &err)) << err;
  ASSERT_TRUE(overlay.Rename(skin / "~new", skin / "1024x768", &err)) << err;
  EXPECT_EQ(ReadAll(overlay, skin / "~old" / "old.bmp"), "old");
  EXPECT_EQ(listed(skin / "1024x768"), "copy.bmp ");
  ASSERT_TRUE(overlay.RemoveTree(skin / "~old", &err)) << err;
  EXPECT_EQ(overlay.Stat(skin / "~old"), EntryKind::kMissing);
  EXPECT_EQ(listed(skin), "1024x768 1280x1024 ");

  EXPECT_EQ(ReadAll(disk, skin / "1280x1024" / "back.bmp"), "later");
  EXPECT_EQ(ReadAll(disk, skin / "1024x768" / "old.bmp"), "old");
  EXPECT_EQ(disk.Stat(skin / "~new"), EntryKind::kMissing);

  // What the disk cannot remove the overlay cannot replace, in the disk's words.
  disk.MarkReadOnly(skin / "1280x1024" / "back.bmp");
  std::string disk_err;
  EXPECT_FALSE(disk.CheckRemovable(skin / "1280x1024", &disk_err));
  EXPECT_FALSE(overlay.CheckRemovable(skin / "1280x1024", &err));
  EXPECT_EQ(err, disk_err);
}

}  // namespace
}  // namespace fendrix

#include "support/memory_file_system.h"

#include <gtest/gtest.h>

#include "support/test_folder.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;

// A dry run reads the skin's pictures through such files: whatever the run
// does to them in memory must never reach the disk, and each must read as
// the disk's file until the run replaces it.
TEST(MemoryFileSystemTest, FileFromAnotherSystemIsReadThereAndWrittenHereAlone) {
  MemoryFileSystem disk;
  const fs::path picture = "/Skins/Demo/1280x1024/back.bmp";
  disk.AddFile(picture, "disk");
  MemoryFileSystem memory;
  memory.AddFileFrom(picture, disk);
  EXPECT_EQ(testing::ReadAll(memory, picture), "disk");
  disk.AddFile(picture, "later");  // read when asked, not when added
  EXPECT_EQ(testing::ReadAll(memory, picture), "later");

  std::string err;
  const fs::path copy = "/Skins/Demo/~1024x768.neu/back.bmp";
  memory.AddFolder(copy.parent_path());
  ASSERT_TRUE(memory.Copy(picture, copy, &err)) << err;
  ASSERT_TRUE(memory.WriteFile(picture, "memory", &err)) << err;
  EXPECT_EQ(testing::ReadAll(memory, copy), "later");
  EXPECT_EQ(testing::ReadAll(memory, picture), "memory");
  EXPECT_EQ(testing::ReadAll(disk, picture), "later");

  disk.AddFile("/Skins/Demo/1280x1024/gone.bmp", "x");
  memory.AddFileFrom("/Skins/Demo/1280x1024/gone.bmp", disk);
  ASSERT_TRUE(disk.RemoveTree("/Skins/Demo/1280x1024/gone.bmp", &err));
  std::string contents;
  EXPECT_FALSE(memory.ReadFile("/Skins/Demo/1280x1024/gone.bmp", &contents, &err));
  EXPECT_NE(err.find("gone.bmp"), std::string::npos) << err;
}

}  // namespace
}  // namespace fendrix

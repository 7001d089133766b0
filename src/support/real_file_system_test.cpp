// The disk itself, for what the in-memory file system of the other tests
// only imitates: the platform's read-only marks and locks between two users.

#include <gtest/gtest.h>

#include "support/file_system.h"
#include "support/test_folder.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;

TEST(RealFileSystemTest, AReadOnlyMarkMakesATreeUnremovable) {
  testing::TestFolder dir;
  const fs::path old = dir.Write(fs::path("old") / "sub" / "old.bmp", "old").parent_path();
  // What the platform's own tools would mark: a folder nobody may write to,
  // a file with the read-only attribute.
#ifdef _WIN32
  const fs::path marked = old / "old.bmp";
#else
  const fs::path marked = old;
#endif
  RealFileSystem files;
  std::string err;
  ASSERT_TRUE(files.CheckRemovable(dir.path() / "old", &err)) << err;
  fs::permissions(marked, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const bool removable = files.CheckRemovable(dir.path() / "old", &err);
  fs::permissions(marked, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_FALSE(removable);
  EXPECT_NE(err.find(DisplayPath(dir.path() / "old")), std::string::npos) << err;
  EXPECT_NE(err.find("schreibgeschützt: " + DisplayPath(marked)), std::string::npos) << err;
}

TEST(RealFileSystemTest, ALockKeepsASecondUserOutUntilItGoes) {
  testing::TestFolder dir;
  RealFileSystem first, second;
  const fs::path lock_file = dir.path() / "~1024x768.lock";
  bool held_elsewhere = true;
  std::string err;
  auto held = first.TryLock(lock_file, &held_elsewhere, &err);
  ASSERT_TRUE(held) << err;
  EXPECT_FALSE(held_elsewhere);
  EXPECT_FALSE(second.TryLock(lock_file, &held_elsewhere, &err));
  EXPECT_TRUE(held_elsewhere);
  held.reset();
  EXPECT_TRUE(second.TryLock(lock_file, &held_elsewhere, &err)) << err;
}

}  // namespace
}  // namespace fendrix

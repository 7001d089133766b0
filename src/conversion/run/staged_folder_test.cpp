#include "conversion/run/staged_folder.h"

#include <gtest/gtest.h>

#include "conversion/run/run_lock.h"
#include "conversion/run/test_skin.h"

namespace fendrix {
namespace {

using testing::Names;
using testing::ReadAll;

// What dead runs left on three resolutions of one skin, as the window's skin
// selection or `skinconv list` would find it; one of them is being built.
TEST(RecoverSkinTest, RepairsEveryBuildButTheOneARunHolds) {
  testing::MemoryFolder dir;
  dir.Write("1280x1024/Skin.vsk", "base");
  dir.Write("~1024x768.alt/Skin.vsk", "old");  // died between the renames
  dir.Write("~1024x768.neu/Skin.vsk", "new, maybe half");
  dir.Write("800x600/Skin.vsk", "new");  // died after the swap
  dir.Write("~800x600.alt/Skin.vsk", "old");
  dir.Write("~640x480.neu/Skin.vsk", "being written");
  MemoryFileSystem& files = dir.files;
  bool held_elsewhere = false;
  std::string err;
  auto live_run = LockRunTarget(files, dir.path(), "640x480", &held_elsewhere, &err);
  ASSERT_TRUE(live_run) << err;

  ASSERT_TRUE(RecoverSkin(files, dir.path(), &err)) << err;
  EXPECT_EQ(ReadAll(files, dir.path() / "1024x768" / "Skin.vsk"), "old");
  EXPECT_EQ(ReadAll(files, dir.path() / "800x600" / "Skin.vsk"), "new");
  std::vector<std::string> left = Names(files, dir.path());
  std::erase(left, "~640x480.lock");  // the live run's own
  EXPECT_EQ(left, (std::vector<std::string>{"1024x768", "1280x1024", "800x600", "~640x480.neu"}));

  live_run.reset();
  ASSERT_TRUE(RecoverSkin(files, dir.path(), &err)) << err;
  EXPECT_EQ(Names(files, dir.path()), (std::vector<std::string>{"1024x768", "1280x1024", "800x600"}));
}

}  // namespace
}  // namespace fendrix

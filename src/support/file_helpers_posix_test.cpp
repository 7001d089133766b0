#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/file_helpers.h"
#include "support/test_folder.h"

namespace fendrix {
namespace {

// A pipe or device named by a skin must not count as a file: reading it
// would block the run for good.
TEST(FileExistsPosixTest, APipeIsNoFile) {
  testing::TestFolder dir;
  RealFileSystem real;
  std::filesystem::path pipe = dir.path() / "back.bmp";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(FileExists(real, pipe));
  EXPECT_FALSE(FileExists(real, "/dev/zero"));
}

}  // namespace
}  // namespace fendrix

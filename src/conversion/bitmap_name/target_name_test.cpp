#include "conversion/bitmap_name/target_name.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

TEST(BitmapTargetNameTest, IsTheBaseNameWithBmp) {
  EXPECT_EQ(BitmapTargetName("sub\\bild.gif"), "bild.bmp");
  EXPECT_EQ(BitmapTargetName("back"), "back.bmp");
  EXPECT_EQ(BitmapTargetName("..\\..\\evil.jpg"), "evil.bmp");
}

}  // namespace
}  // namespace fendrix

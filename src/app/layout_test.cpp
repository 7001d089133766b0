#include "app/layout.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

TEST(LayoutTest, ConvertsTwipsToPixelsWithHalvesToEven) {
  struct {
    double twips;
    float twips_per_pixel;
    int pixels;
  } cases[] = {
      {6855, 15, 457}, {4155, 15, 277}, {990, 15, 66}, {726, 12, 60},    {738, 12, 62},
      {6855, 12, 571}, {7.5, 15, 0},    {22.5, 15, 2}, {1545, 7.5, 206}, {-22.5, 15, -2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.twips_per_pixel), c.pixels)
        << c.twips << " / " << c.twips_per_pixel;
  }
}

TEST(LayoutTest, ConvertsEachEdgeOnItsOwnInItsOwnDirection) {
  TwipsPerPixel scale = TwipsPerPixelFor(120, 144);
  EXPECT_FLOAT_EQ(scale.x, 12);
  EXPECT_FLOAT_EQ(scale.y, 10);
  PixelRect rect = ToPixels({3030, 2520, 90, 240}, scale);
  EXPECT_EQ(rect.left, 252);  // 252.5
  EXPECT_EQ(rect.top, 252);
  EXPECT_EQ(rect.width, 8);  // 7.5
  EXPECT_EQ(rect.height, 24);
}

TEST(LayoutTest, FontHeightsFollowTheScreen) {
  EXPECT_EQ(FontHeightPixels(9.75, 96), -13);
  EXPECT_EQ(FontHeightPixels(8.25, 96), -11);
  EXPECT_EQ(FontHeightPixels(13.5, 96), -18);
  EXPECT_EQ(FontHeightPixels(9.75, 120), -16);  // 16.25
  EXPECT_EQ(FontHeightPixels(13.5, 120), -23);  // 22.5, away from zero as MulDiv does
}

}  // namespace
}  // namespace fendrix

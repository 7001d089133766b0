#include "app/preview_fit.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

TEST(FitPreviewTest, ShrinksInWholePercentStepsAndCentres) {
  struct {
    const char* what;
    int box_width, box_height, picture_width, picture_height;
    PreviewPlacement expected;
  } cases[] = {
      {"too wide", 300, 300, 600, 300, {0, 75, 300, 150}},
      {"a hair below 50 percent", 161, 300, 322, 100, {1.5, 125.5, 158, 49}},
      {"smaller in both", 300, 300, 100, 50, {100, 125, 100, 50}},
      {"fits in width, too tall", 300, 100, 200, 400, {125, 0, 50, 100}},
      {"too wide, then still too tall", 100, 20, 200, 100, {30, 0, 40, 20}},
      {"halves to even", 71, 100, 150, 10, {0.5, 47.5, 70, 5}},
      {"exactly the box", 2295, 1935, 2295, 1935, {0, 0, 2295, 1935}},
      {"a skin background in the preview box", 2295, 1935, 9000, 4500, {22.5, 405, 2250, 1125}},
  };
  for (const auto& c : cases) {
    PreviewPlacement got = FitPreview(c.box_width, c.box_height, c.picture_width, c.picture_height);
    EXPECT_DOUBLE_EQ(got.x, c.expected.x) << c.what;
    EXPECT_DOUBLE_EQ(got.y, c.expected.y) << c.what;
    EXPECT_EQ(got.width, c.expected.width) << c.what;
    EXPECT_EQ(got.height, c.expected.height) << c.what;
  }
}

}  // namespace
}  // namespace fendrix

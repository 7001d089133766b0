#include "conversion/imaging/bars.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

// A picture of 100 x 50 in the bars' colour with the content, a pattern that
// never has that colour, in columns [x0, x1) and rows [y0, y1).
Image Picture(std::int32_t x0, std::int32_t x1, std::int32_t y0, std::int32_t y1) {
  Image image{100, 50, std::vector<std::uint8_t>(100 * 50 * 3, 7)};
  for (std::int32_t y = y0; y < y1; ++y) {
    for (std::int32_t x = x0; x < x1; ++x)
      image.Row(y)[3 * x + 1] = static_cast<std::uint8_t>(8 + x);
  }
  return image;
}

TEST(FindBarsTest, FindsBandsAlongTwoOppositeEdgesOnly) {
  const struct {
    const char* name;
    Image picture;
    std::optional<std::tuple<bool, std::int32_t, std::int32_t>> bars;
  } rows[] = {
      {"pillars", Picture(20, 80, 0, 50), std::tuple{true, 20, 20}},
      {"letterbox", Picture(0, 100, 10, 40), std::tuple{false, 10, 10}},
      {"a small background padded", Picture(20, 41, 0, 30), std::tuple{true, 20, 59}},
      {"a frame on all sides", Picture(5, 95, 5, 45), std::nullopt},
      {"one colour", Picture(0, 0, 0, 0), std::nullopt},
      {"bands of one pixel", Picture(1, 99, 0, 50), std::nullopt},
      {"a band on one side", Picture(20, 100, 0, 50), std::nullopt},
  };
  for (const auto& row : rows) {
    const std::optional<PictureBars> found = FindBars(ReadRows(row.picture));
    EXPECT_EQ(found ? std::optional(std::tuple{found->left_and_right, found->first, found->second})
                    : std::nullopt,
              row.bars)
        << row.name;
  }
}

}  // namespace
}  // namespace fendrix

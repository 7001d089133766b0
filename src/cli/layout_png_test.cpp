#include "cli/layout_png.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace fendrix {
namespace {

std::uint32_t BigEndian32(const std::string& bytes, std::size_t at) {
  auto byte = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i]));
  };
  return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

// Whatever draws it, the file is a PNG of the screen's size, also when the
// background is smaller or larger than the screen and a box leaves it.
TEST(LayoutPngTest, IsAPngOfTheScreensSize) {
  for (std::int32_t background : {0, 30, 200}) {
    LayoutDrawing drawing{.width = 64, .height = 48};
    drawing.background = Image{
        background, background,
        std::vector<std::uint8_t>(static_cast<std::size_t>(background) * background * 3, 200)};
    drawing.boxes = {{"Titel", 4, 4, 20, 10}, {"Liste", 50, 40, 30, 30, true}};
    drawing.notes = {"1 Befund in 64x48:", "Zeile 3: Element Liste liegt außerhalb"};
    std::string png, err;
    ASSERT_TRUE(DrawLayoutPng(drawing, &png, &err)) << err;
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian32(png, 16), 64u) << background;
    EXPECT_EQ(BigEndian32(png, 20), 48u) << background;
  }
}

}  // namespace
}  // namespace fendrix

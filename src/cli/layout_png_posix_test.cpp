#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "cli/layout_png.h"

namespace fendrix {
namespace {

struct PngSource {
  const std::string* bytes;
  std::size_t at = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* data, unsigned int length) {
  auto* source = static_cast<PngSource*>(closure);
  if (source->bytes->size() - source->at < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, source->bytes->data() + source->at, length);
  source->at += length;
  return CAIRO_STATUS_SUCCESS;
}

// Read back, the picture shows the background where it lies, black beyond
// it, and each box's outline, one with findings in a colour of its own.
TEST(LayoutPngPosixTest, DrawsBackgroundPaddingAndOutlines) {
  LayoutDrawing drawing{.width = 40, .height = 30};
  drawing.background = Image{20, 30, std::vector<std::uint8_t>(20 * 30 * 3)};
  for (std::size_t i = 0; i < drawing.background.pixels.size(); i += 3) {
    drawing.background.pixels[i] = 10;      // blue
    drawing.background.pixels[i + 1] = 20;  // green
    drawing.background.pixels[i + 2] = 30;  // red
  }
  drawing.boxes = {{"", 2, 2, 12, 20}, {"", 24, 2, 12, 20, true}};
  std::string png, err;
  ASSERT_TRUE(DrawLayoutPng(drawing, &png, &err)) << err;

  PngSource source{&png};
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create_from_png_stream(ReadPng, &source), cairo_surface_destroy);
  ASSERT_EQ(cairo_surface_status(surface.get()), CAIRO_STATUS_SUCCESS);
  ASSERT_EQ(cairo_image_surface_get_width(surface.get()), 40);
  ASSERT_EQ(cairo_image_surface_get_height(surface.get()), 30);
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  auto pixel = [&](int x, int y) {
    std::uint32_t value;
    std::memcpy(&value, data + y * stride + x * 4, 4);
    return value & 0xFFFFFF;
  };
  EXPECT_EQ(pixel(18, 28), 0x1E140Au);  // the background, red 30 green 20 blue 10
  EXPECT_EQ(pixel(30, 10), 0u);         // beyond the background
  EXPECT_NE(pixel(2, 12), 0x1E140Au);   // the left edge of the box
  EXPECT_NE(pixel(24, 12), 0u);         // the flagged box's edge, beyond the background
  EXPECT_NE(pixel(24, 12), pixel(2, 12));
  EXPECT_EQ(pixel(8, 18), 0x1E140Au);  // inside the box, below its label
}

}  // namespace
}  // namespace fendrix

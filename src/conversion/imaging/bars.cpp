#include "conversion/imaging/bars.h"

#include <algorithm>
#include <cstring>

namespace fendrix {
namespace {

// How many columns (with `rows`, rows) from one edge, the first or with
// `from_end` the last, hold only the colour of the top left pixel.
std::int32_t Band(const PixelRows& picture, bool rows, bool from_end) {
  const std::int32_t lines = rows ? picture.height : picture.width;
  const std::int32_t length = rows ? picture.width : picture.height;
  for (std::int32_t i = 0; i < lines; ++i) {
    const std::int32_t line = from_end ? lines - 1 - i : i;
    for (std::int32_t along = 0; along < length; ++along) {
      const std::int32_t x = rows ? along : line;
      const std::int32_t y = rows ? line : along;
      if (std::memcmp(picture.Row(y) + 3 * x, picture.Row(0), 3) != 0) return i;
    }
  }
  return lines;
}

// A band wide enough to be a bar and not a frame's line.
bool IsBar(std::int32_t band, std::int32_t side) { return band >= std::max(2, side / 100); }

}  // namespace

std::optional<PictureBars> FindBars(const PixelRows& picture) {
  if (picture.width < 1 || picture.height < 1) return std::nullopt;
  const std::int32_t left = Band(picture, false, false);
  if (left == picture.width) return std::nullopt;  // one colour
  const std::int32_t right = Band(picture, false, true);
  const std::int32_t top = Band(picture, true, false);
  const std::int32_t bottom = Band(picture, true, true);
  // A frame leaves a margin on all four sides; a padded picture reaches at
  // least one edge across its bars.
  if ((top == 0 || bottom == 0) && IsBar(left, picture.width) && IsBar(right, picture.width)) {
    return PictureBars{true, left, right};
  }
  if ((left == 0 || right == 0) && IsBar(top, picture.height) && IsBar(bottom, picture.height)) {
    return PictureBars{false, top, bottom};
  }
  return std::nullopt;
}

void PlaceOnBars(const PixelRows& picture, std::int32_t offset_x, std::int32_t offset_y,
                 const std::uint8_t (&bar_bgr)[3], const MutablePixelRows& canvas) {
  const std::int32_t width = std::min(picture.width, canvas.width - offset_x);
  for (std::int32_t y = 0; y < canvas.height; ++y) {
    std::uint8_t* out = canvas.Row(y);
    for (std::int32_t x = 0; x < canvas.width; ++x) std::memcpy(out + 3 * x, bar_bgr, 3);
    const std::int32_t from_y = y - offset_y;
    if (from_y < 0 || from_y >= picture.height) continue;
    if (width > 0) std::memcpy(out + 3 * offset_x, picture.Row(from_y), 3 * width);
  }
}

}  // namespace fendrix

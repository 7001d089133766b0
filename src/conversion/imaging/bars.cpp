#include "conversion/imaging/bars.h"

#include <algorithm>
#include <cstring>

namespace fendrix {
namespace {

class Margins {
 public:
  explicit Margins(const PixelRows& picture) : picture_(picture) {}

  // How many columns from the left (or, with `from_right`, the right) hold
  // only the corner's colour.
  std::int32_t Columns(bool from_right) const {
    for (std::int32_t i = 0; i < picture_.width; ++i) {
      const std::int32_t x = from_right ? picture_.width - 1 - i : i;
      for (std::int32_t y = 0; y < picture_.height; ++y) {
        if (!IsCorner(x, y)) return i;
      }
    }
    return picture_.width;
  }
  std::int32_t Rows(bool from_bottom) const {
    for (std::int32_t i = 0; i < picture_.height; ++i) {
      const std::int32_t y = from_bottom ? picture_.height - 1 - i : i;
      for (std::int32_t x = 0; x < picture_.width; ++x) {
        if (!IsCorner(x, y)) return i;
      }
    }
    return picture_.height;
  }

 private:
  bool IsCorner(std::int32_t x, std::int32_t y) const {
    return std::memcmp(picture_.Row(y) + 3 * x, picture_.Row(0), 3) == 0;
  }

  const PixelRows& picture_;
};

// A band wide enough to be a bar and not a frame's line.
bool IsBar(std::int32_t band, std::int32_t side) { return band >= std::max(2, side / 100); }

}  // namespace

std::optional<PictureBars> FindBars(const PixelRows& picture) {
  if (picture.width < 1 || picture.height < 1) return std::nullopt;
  const Margins margins(picture);
  const std::int32_t left = margins.Columns(false);
  if (left == picture.width) return std::nullopt;  // one colour
  const std::int32_t right = margins.Columns(true);
  const std::int32_t top = margins.Rows(false);
  const std::int32_t bottom = margins.Rows(true);
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

}  // namespace fendrix

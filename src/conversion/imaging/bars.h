#pragma once

#include <cstdint>
#include <optional>

#include "conversion/imaging/image.h"

// A background padded with bars, as a conversion that keeps the layout's
// proportions writes it, carries them into every later conversion from its
// folder: stretched, or padded once more. They are found in the pixels
// alone, so that a folder needs no mark of its own and one made by any
// version, or by hand, is known as well.

namespace fendrix {

/// Bands of one colour along two opposite edges.
struct PictureBars {
  bool left_and_right = false;  ///< else top and bottom
  std::int32_t first = 0;       ///< the left (top) band's width (height)
  std::int32_t second = 0;      ///< the right (bottom) band's
};

/// The bars of `picture`: the colour of its top left pixel fills the whole
/// of a band at the left and one at the right, each at least a hundredth of
/// the width and 2 pixels, while the rest reaches the top or the bottom edge;
/// or the same turned by a quarter. Nothing for a picture of one colour, one
/// framed on all sides, or one without such bands.
std::optional<PictureBars> FindBars(const PixelRows& picture);

/// Fills `canvas` with `bar_bgr` and places `picture` on it with its top left
/// corner at (`offset_x`, `offset_y`), both at least 0, clipped to the canvas.
void PlaceOnBars(const PixelRows& picture, std::int32_t offset_x, std::int32_t offset_y,
                 const std::uint8_t (&bar_bgr)[3], const MutablePixelRows& canvas);

}  // namespace fendrix

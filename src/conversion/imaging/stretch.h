#pragma once

#include <cstdint>

#include "conversion/imaging/image.h"

namespace fendrix {

/// How a bitmap is resampled.
enum class StretchFilter {
  /// The platform's plain stretch: every target pixel takes the colour of one
  /// source pixel, so a colour keyed as transparent stays exact.
  kNearest,
  /// Area average when shrinking, bilinear when enlarging.
  kSmooth,
};

/// `source` resampled to `width` x `height` (each at least 1).
Image Stretch(const Image& source, std::int32_t width, std::int32_t height, StretchFilter filter);

/// `source` resampled into `target`, whose rows say the size (each at least
/// 1), wherever the rows of either lie: the pixels are those Stretch makes.
/// The rows must not overlap.
void StretchRows(const PixelRows& source, const MutablePixelRows& target, StretchFilter filter);

}  // namespace fendrix

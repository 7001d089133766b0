#pragma once

#include <cstdint>
#include <vector>

namespace fendrix {

/// A decoded picture. The pixel contract, the same for every decoder and for
/// the scaler: three bytes per pixel in the order blue, green, red; rows from
/// the top; each row exactly `width` * 3 bytes, no padding; `pixels` holds
/// `width` * `height` * 3 bytes. Alpha is dropped: the stretch of a skin
/// bitmap is opaque.
struct Image {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> pixels;

  std::uint8_t* Row(std::int32_t y) {
    return pixels.data() + static_cast<std::size_t>(y) * width * 3;
  }
  const std::uint8_t* Row(std::int32_t y) const {
    return pixels.data() + static_cast<std::size_t>(y) * width * 3;
  }
};

/// The largest picture any decoder accepts: a header claiming more is refused
/// before anything is allocated.
inline constexpr std::int32_t kMaxImageSide = 16384;
inline constexpr std::int64_t kMaxImagePixels = 64LL * 1024 * 1024;

/// True when a picture of this size may be allocated.
inline bool ImageSizeAllowed(std::int64_t width, std::int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

}  // namespace fendrix

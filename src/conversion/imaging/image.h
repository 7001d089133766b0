#pragma once

#include <cstddef>
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

/// Rows of pixels in the order of the pixel contract wherever they lie: in an
/// Image, or in the bytes of a BMP file. Row y, counted from the top, starts
/// at `top` + y * `stride`; a bottom-up bitmap has a negative stride, and a
/// stride beyond `width` * 3 steps over row padding. `Byte` is const for rows
/// that are only read.
template <typename Byte>
struct PixelRowsOf {
  Byte* top = nullptr;
  std::ptrdiff_t stride = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  Byte* Row(std::int32_t y) const { return top + static_cast<std::ptrdiff_t>(y) * stride; }
};

/// Rows to read.
using PixelRows = PixelRowsOf<const std::uint8_t>;
/// Rows to write.
using MutablePixelRows = PixelRowsOf<std::uint8_t>;

/// The rows of `image`, to read.
inline PixelRows ReadRows(const Image& image) {
  return {image.pixels.data(), static_cast<std::ptrdiff_t>(image.width) * 3, image.width,
          image.height};
}

/// The rows of `image`, to write.
inline MutablePixelRows WriteRows(Image& image) {
  return {image.pixels.data(), static_cast<std::ptrdiff_t>(image.width) * 3, image.width,
          image.height};
}

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

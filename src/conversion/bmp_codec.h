#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "conversion/image.h"

namespace fendrix {

/// Decodes a Windows bitmap in every variant a Windows picture loader reads:
/// 1, 4 and 8 bits with a palette, RLE4 and RLE8, 16, 24 and 32 bits (also
/// with bit fields), bottom-up and top-down. See DecodePicture for failures.
bool DecodeBmp(std::span<const std::uint8_t> data, Image* image, std::string* reason);

/// A 24-bit bottom-up BMP file of `image`, readable by any Windows program.
std::string EncodeBmp24(const Image& image);

}  // namespace fendrix

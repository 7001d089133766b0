#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "conversion/imaging/image.h"

namespace fendrix {

/// Decodes a Windows bitmap in every variant a Windows picture loader reads:
/// 1, 4 and 8 bits with a palette, RLE4 and RLE8, 16, 24 and 32 bits (also
/// with bit fields), bottom-up and top-down. RLE that runs past a row's end
/// is clipped there, and past the last row ends the picture, as that loader
/// shows such files. See DecodePicture for failures.
bool DecodeBmp(std::span<const std::uint8_t> data, Image* image, std::string* reason);

/// How many of a BMP's first bytes ReadBmpSize needs.
inline constexpr std::size_t kBmpSizeBytes = 26;

/// The size in pixels a BMP's headers give, read from its first
/// kBmpSizeBytes bytes alone, for a report that needs no pixels; not checked
/// as DecodeBmp checks it. False when `head` is not the start of a BMP.
bool ReadBmpSize(std::span<const std::uint8_t> head, std::int64_t* width, std::int64_t* height);

/// The pixels of an uncompressed 24-bit BMP where they lie in `data`: the
/// rows DecodeBmp would copy, without copying them. False for any other file,
/// which DecodeBmp then decodes or refuses with its reason.
bool FindBmp24Rows(std::span<const std::uint8_t> data, PixelRows* rows);

}  // namespace fendrix

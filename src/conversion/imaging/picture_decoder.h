#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "conversion/imaging/image.h"

namespace fendrix {

/// Decodes a BMP, JPEG or GIF (its first frame) held in memory, recognised by
/// its first bytes, not by its name. On failure `image` is untouched and
/// `reason` says why in a few German words ("abgeschnitten", "unbekanntes
/// Bildformat", "zu groß: 100000 x 100000 Pixel"); the caller adds the path.
bool DecodePicture(std::span<const std::uint8_t> data, Image* image, std::string* reason);

}  // namespace fendrix

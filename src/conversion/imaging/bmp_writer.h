#pragma once

#include <cstdint>
#include <string>

#include "conversion/imaging/image.h"

// Every picture a run writes is a plain 24-bit bottom-up BMP, the one format
// every Windows program reads.

namespace fendrix {

/// A 24-bit bottom-up BMP file of `image`, readable by any Windows program.
std::string EncodeBmp24(const Image& image);

/// Makes `file` the BMP that EncodeBmp24 writes for a picture of `width` x
/// `height`, all but the pixels: the caller writes them into the rows given
/// back. The buffer keeps its capacity, so that one buffer serves many files.
MutablePixelRows PrepareBmp24(std::int32_t width, std::int32_t height, std::string* file);

}  // namespace fendrix

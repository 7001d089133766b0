#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "conversion/imaging/image.h"

// The decoders that use the platform's libraries: libjpeg-turbo and giflib
// natively, the Windows Imaging Component on Windows. DecodePicture checks a
// file's structure and size itself before it hands the file to one of them,
// so both platforms refuse the same files with the same reasons.

namespace fendrix {

/// Decodes a baseline or progressive JPEG (grey, YCbCr, RGB, CMYK or YCCK).
bool DecodeJpeg(std::span<const std::uint8_t> data, Image* image, std::string* reason);

/// Where a GIF's first frame lies on the picture DecodeGif makes of it.
///
/// The picture is the logical screen, grown where the frame reaches past it.
/// Pixels outside the frame and pixels of the transparent colour take the
/// background colour of the global colour table, or black when the file has
/// none: a skin bitmap is opaque, and this is the colour the file itself
/// names for what lies behind its frames.
struct GifPlacement {
  std::int32_t width = 0;  ///< of the whole picture
  std::int32_t height = 0;
  std::int32_t frame_left = 0;
  std::int32_t frame_top = 0;
  std::int32_t frame_width = 0;
  std::int32_t frame_height = 0;
  std::uint8_t background[3] = {0, 0, 0};  ///< blue, green, red
};

/// Reads the placement from the headers of a GIF and checks that the data of
/// its first frame is complete. False with a reason, before anything large is
/// allocated, when it is not or the picture is too large.
bool ReadGifPlacement(std::span<const std::uint8_t> data, GifPlacement* placement,
                      std::string* reason);

/// A picture of the placement's size filled with its background.
Image MakeGifCanvas(const GifPlacement& placement);

/// Decodes the first frame of a GIF whose placement ReadGifPlacement found.
bool DecodeGif(std::span<const std::uint8_t> data, const GifPlacement& placement, Image* image,
               std::string* reason);

}  // namespace fendrix

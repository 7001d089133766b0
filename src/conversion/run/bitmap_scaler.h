#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/imaging/image.h"
#include "conversion/imaging/stretch.h"
#include "conversion/run/run_result.h"
#include "conversion/skin_text/factors.h"
#include "support/file_system.h"

// The run's bitmap step: the bitmap a line names is looked up, planned,
// stretched and written to the new folder. The pixel work is imaging's.

namespace fendrix {

/// What becomes of a bitmap of a given pixel size.
struct BitmapPlan {
  bool scale = false;  ///< false: copied, since it would end up 1 pixel or less
  std::int32_t width = 0;
  std::int32_t height = 0;
};

/// The sizes the way the window measured them in twips: the picture's size in
/// twips (pixels times twips per pixel, rounded, halves to even), divided by
/// the factors in double and stored as float; scaled when both new sizes are
/// more than one pixel (the quotients in float). The pixel size is the new
/// twips size over twips per pixel, rounded to the nearest pixel, so 1280 x
/// 1024 at 1280x1024 → 1024x768 comes out exactly 1024 x 768. A size beyond
/// 32 bits saturates at the largest one, which no picture may have.
BitmapPlan PlanBitmap(std::int32_t width, std::int32_t height, const ConversionFactors& factors,
                      float twips_per_pixel_x, float twips_per_pixel_y);

/// Buffers that the bitmaps of one run share, so that a run allocates them
/// for its largest bitmap only, not once per bitmap.
struct ScaleBuffers {
  std::string source;  ///< the picture file's bytes
  Image picture;       ///< the decoded picture, unless its file holds the rows as they are
  std::string target;  ///< the BMP file to write
};

/// The whole screen a background is padded to when a layout keeps its
/// proportions: the scaled picture placed at the offset, bars around it.
struct BackgroundCanvas {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t offset_x = 0;
  std::int32_t offset_y = 0;
  std::uint8_t bar_bgr[3] = {0, 0, 0};
};

/// Settings and tallies shared by every bitmap of one run.
struct ScaleContext {
  FileSystem& fs;
  std::filesystem::path source_folder;
  std::filesystem::path target_folder;
  ConversionFactors factors;
  StretchFilter filter = StretchFilter::kNearest;
  float twips_per_pixel_x = 15;
  float twips_per_pixel_y = 15;
  /// Only when the layout keeps its proportions.
  std::optional<BackgroundCanvas> canvas;
  /// The screen of the source folder: a background of just its size with
  /// bars in it (from a conversion that kept the proportions) gets a
  /// warning, since the bars are scaled along.
  std::int32_t source_width = 0;
  std::int32_t source_height = 0;
  std::size_t scaled = 0;
  std::size_t copied = 0;
  std::vector<RunWarning> warnings;
  ScaleBuffers buffers;
};

/// Writes the new folder's copy of the bitmap `value` names (code-page bytes,
/// relative to the source folder) as "<base name>.bmp": stretched by the
/// factors, or copied when it would shrink to a single pixel. A missing
/// bitmap, a name that would leave the skin or a path through a link or
/// junction is a warning (tied to `line`) and writes nothing. False, with
/// `err` naming the file and the reason, when a picture cannot be read, its
/// result would exceed the largest picture allowed, or the result cannot be
/// written.
/// With a canvas, the background (`background`) is scaled and then padded to
/// the whole canvas. A background with bars is a warning.
bool ScaleBitmap(ScaleContext& context, std::string_view value, std::size_t line, bool background,
                 std::string* err);

}  // namespace fendrix

#include "conversion/run/bitmap_scaler.h"

#include <cmath>
#include <limits>
#include <span>

#include "conversion/bitmap_name/bitmap_source.h"
#include "conversion/bitmap_name/target_name.h"
#include "conversion/imaging/bars.h"
#include "conversion/imaging/bmp_codec.h"
#include "conversion/imaging/bmp_writer.h"
#include "conversion/imaging/picture_decoder.h"
#include "support/path_text.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

// Rounds halves to even. A size beyond 32 bits (a base folder named 1x1, a
// typed resolution of nine digits) saturates, so that the caller refuses it
// instead of allocating; the cast alone would be undefined.
std::int32_t RoundHalfEven(double value) {
  double rounded = std::nearbyint(value);
  if (!(rounded < static_cast<double>(std::numeric_limits<std::int32_t>::max()))) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (rounded < 0) return 0;
  return static_cast<std::int32_t>(rounded);
}

void Warn(ScaleContext& context, std::size_t line, std::string text) {
  context.warnings.push_back({line, std::move(text)});
}

// The picture stretched to the plan's size and placed on the canvas, which
// it is clipped to; the rest of the canvas has the bars' colour.
std::string PaddedBackground(ScaleContext& context, const PixelRows& picture,
                             const BitmapPlan& plan) {
  const BackgroundCanvas& canvas = *context.canvas;
  Image scaled{plan.width, plan.height,
               std::vector<std::uint8_t>(static_cast<std::size_t>(plan.width) * plan.height * 3)};
  StretchRows(picture, WriteRows(scaled), context.filter);
  std::string file;
  PlaceOnBars(ReadRows(scaled), canvas.offset_x, canvas.offset_y, canvas.bar_bgr,
              PrepareBmp24(canvas.width, canvas.height, &file));
  return file;
}

// The pixels of the picture file `source`, in the context's buffers.
bool ReadPicture(ScaleContext& context, const fs::path& source, PixelRows* picture,
                 std::string* err) {
  ScaleBuffers& buffers = context.buffers;
  buffers.picture = Image{};  // the last bitmap's pixels are not needed any more
  if (!context.fs.ReadFile(source, &buffers.source, err)) return false;
  std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(buffers.source.data()),
                                     buffers.source.size());
  // A plain 24-bit BMP is sampled where its rows lie in the file: decoding it
  // would only copy them.
  if (FindBmp24Rows(data, picture)) return true;
  std::string why;
  if (!DecodePicture(data, &buffers.picture, &why)) {
    *err = "Bild kann nicht gelesen werden: " + DisplayPath(source) + " (" + why + ")";
    return false;
  }
  *picture = ReadRows(buffers.picture);
  return true;
}

// A background that already has bars passes them on to every folder made
// from it; the user should convert from a folder without.
void WarnOfBars(ScaleContext& context, const PixelRows& picture, std::size_t line) {
  if (picture.width != context.source_width || picture.height != context.source_height) return;
  const std::optional<PictureBars> bars = FindBars(picture);
  if (!bars) return;
  Warn(context, line,
       "Der Hintergrund in " + DisplayPath(context.source_folder) + " hat einfarbige Balken (" +
           (bars->left_and_right ? "links " : "oben ") + std::to_string(bars->first) +
           (bars->left_and_right ? ", rechts " : ", unten ") + std::to_string(bars->second) +
           " Pixel), wie sie das Umwandeln mit beibehaltenem Seitenverhältnis anlegt; sie werden "
           "mit umgewandelt. Besser aus einem Ordner ohne Balken umwandeln");
}

}  // namespace

BitmapPlan PlanBitmap(std::int32_t width, std::int32_t height, const ConversionFactors& factors,
                      float twips_per_pixel_x, float twips_per_pixel_y) {
  std::int32_t source_w = RoundHalfEven(static_cast<double>(width) * twips_per_pixel_x);
  std::int32_t source_h = RoundHalfEven(static_cast<double>(height) * twips_per_pixel_y);
  auto new_w = static_cast<float>(source_w / static_cast<double>(factors.x));
  auto new_h = static_cast<float>(source_h / static_cast<double>(factors.y));

  BitmapPlan plan;
  plan.scale = new_h / twips_per_pixel_y > 1.0f && new_w / twips_per_pixel_x > 1.0f;
  if (plan.scale) {
    plan.width = RoundHalfEven(static_cast<double>(new_w) / twips_per_pixel_x);
    plan.height = RoundHalfEven(static_cast<double>(new_h) / twips_per_pixel_y);
  }
  return plan;
}

bool ScaleBitmap(ScaleContext& context, std::string_view value, std::size_t line, bool background,
                 std::string* err) {
  std::string target_name = BitmapTargetName(value);
  fs::path source;
  std::string why;
  if (FindBitmapSource(context.fs, context.source_folder, value, target_name, &source, &why) !=
      BitmapLookup::kFound) {
    Warn(context, line, std::move(why));
    return true;
  }

  ScaleBuffers& buffers = context.buffers;
  PixelRows picture;
  if (!ReadPicture(context, source, &picture, err)) return false;
  if (background) WarnOfBars(context, picture, line);

  fs::path target = context.target_folder / PathFromCp1252(target_name);
  BitmapPlan plan = PlanBitmap(picture.width, picture.height, context.factors,
                               context.twips_per_pixel_x, context.twips_per_pixel_y);
  if (plan.scale && !ImageSizeAllowed(plan.width, plan.height)) {
    *err = "Bild wäre in der neuen Auflösung zu groß: " + DisplayPath(source) + " (mehr als " +
           std::to_string(kMaxImageSide) + " Pixel Seitenlänge oder " +
           std::to_string(kMaxImagePixels / (1024 * 1024)) + " Megapixel)";
    return false;
  }
  if (background && context.canvas) {
    if (!plan.scale) plan = {true, picture.width, picture.height};
    if (!context.fs.WriteFile(target, PaddedBackground(context, picture, plan), err)) return false;
    ++context.scaled;
    return true;
  }
  if (plan.scale) {
    // Resampled straight into the rows of the file to write.
    StretchRows(picture, PrepareBmp24(plan.width, plan.height, &buffers.target), context.filter);
    if (!context.fs.WriteFile(target, buffers.target, err)) return false;
    ++context.scaled;
    return true;
  }

  // Too small to scale: the .bmp of the same base name goes over as it is.
  // When the picture was a JPEG or GIF there may be no such file; then the
  // picture itself is saved unscaled, so the new Skin.vsk names no missing file.
  fs::path same_name;
  bool copied;
  if (FindSameNameBitmap(context.fs, context.source_folder, target_name, &same_name)) {
    copied = context.fs.Copy(same_name, target, err);
  } else {
    StretchRows(picture, PrepareBmp24(picture.width, picture.height, &buffers.target),
                context.filter);
    copied = context.fs.WriteFile(target, buffers.target, err);
  }
  if (!copied) return false;
  ++context.copied;
  return true;
}

}  // namespace fendrix

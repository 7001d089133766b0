#pragma once

// What every decoded skin picture must satisfy, and what the scaler must do
// with it, shared by the decoder fuzz targets.

#include <cstdint>
#include <span>
#include <string>
#include <unordered_set>

#include "conversion/imaging/bmp_codec.h"
#include "conversion/imaging/bmp_writer.h"
#include "conversion/imaging/image.h"
#include "conversion/imaging/stretch.h"
#include "conversion/run/bitmap_scaler.h"
#include "conversion/skin_text/factors.h"
#include "fuzz_check.h"

namespace fendrix::fuzz {

inline std::uint32_t Colour(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16; }

/// Runs `decode` on the input and checks the pixel contract, the untouched
/// output on failure and the scaler on the result.
template <typename Decode>
void CheckDecoder(const std::uint8_t* data, std::size_t size, Decode decode) {
  Image image;
  image.width = -7;  // a failing decoder must leave it as it was
  std::string reason;
  if (!decode(std::span<const std::uint8_t>(data, size), &image, &reason)) {
    FUZZ_CHECK(image.width == -7 && image.height == 0 && image.pixels.empty());
    FUZZ_CHECK(!reason.empty());
    return;
  }
  FUZZ_CHECK(ImageSizeAllowed(image.width, image.height));
  FUZZ_CHECK(image.pixels.size() == static_cast<std::size_t>(image.width) * image.height * 3);

  // The same file must give the same picture every time: a value the decoder
  // forgot to set shows here when the stack held something else.
  Image twice;
  FUZZ_CHECK(decode(std::span<const std::uint8_t>(data, size), &twice, &reason));
  FUZZ_CHECK(twice.width == image.width && twice.height == image.height &&
             twice.pixels == image.pixels);

  // What the run writes must read back as the same picture.
  Image again;
  const std::string file = EncodeBmp24(image);
  FUZZ_CHECK(DecodeBmp(std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()),
                       &again, &reason));
  FUZZ_CHECK(again.width == image.width && again.height == image.height &&
             again.pixels == image.pixels);

  // A small target of a size that the input picks, both filters.
  const auto width = static_cast<std::int32_t>(1 + size * 7 % 23);
  const auto height = static_cast<std::int32_t>(1 + size * 13 % 19);
  for (StretchFilter filter : {StretchFilter::kNearest, StretchFilter::kSmooth}) {
    Image scaled = Stretch(image, width, height, filter);
    FUZZ_CHECK(scaled.width == width && scaled.height == height);
    FUZZ_CHECK(scaled.pixels.size() == static_cast<std::size_t>(width) * height * 3);
    if (filter == StretchFilter::kNearest && image.pixels.size() <= 3 * 4096) {
      // A colour keyed as transparent must survive: nearest makes no new colours.
      std::unordered_set<std::uint32_t> colours;
      for (std::size_t i = 0; i < image.pixels.size(); i += 3)
        colours.insert(Colour(&image.pixels[i]));
      for (std::size_t i = 0; i < scaled.pixels.size(); i += 3) {
        FUZZ_CHECK(colours.count(Colour(&scaled.pixels[i])) == 1);
      }
    }
  }

  // The sizes the run would plan for this picture: shrinking, enlarging, and
  // the extremes a base folder named 1x1 or a typed 2147483647 bring.
  for (const ConversionFactors& factors :
       {ComputeFactors(1280, 1024, 1024, 768), ComputeFactors(640, 480, 1920, 1200),
        ComputeFactors(1, 1, 1920, 1200), ComputeFactors(1280, 1024, 2147483647, 2147483647),
        ComputeFactors(32767, 32767, 640, 480)}) {
    BitmapPlan plan = PlanBitmap(image.width, image.height, factors, 15, 15);
    if (plan.scale) FUZZ_CHECK(plan.width >= 1 && plan.height >= 1);
  }
}

}  // namespace fendrix::fuzz

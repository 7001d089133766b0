#include "conversion/run/bitmap_scaler.h"

#include <gtest/gtest.h>

#include <random>
#include <span>
#include <string>
#include <vector>

#include "conversion/imaging/bmp_writer.h"
#include "conversion/imaging/picture_decoder.h"
#include "support/test_folder.h"

namespace fendrix {
namespace {

Image Noise(std::int32_t width, std::int32_t height, unsigned seed) {
  std::mt19937 random(seed);
  Image image{width, height,
              std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
  for (auto& b : image.pixels) b = static_cast<std::uint8_t>(random());
  return image;
}

void Put32(std::string& file, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(v >> (8 * i));
}

// The same pixels stored in different ways: the 24-bit files are sampled
// where they lie, the 32-bit one goes through the decoder.
enum class Storage { kBottomUp24, kTopDown24, kNoLastPadding24, kBottomUp32 };

std::string Store(const Image& image, Storage storage) {
  std::string file = EncodeBmp24(image);
  const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t{3};
  switch (storage) {
    case Storage::kBottomUp24:
      break;
    case Storage::kTopDown24: {
      std::string flipped = file.substr(0, 54);
      for (std::int32_t y = image.height - 1; y >= 0; --y)
        flipped += file.substr(54 + y * stride, stride);
      file = flipped;
      Put32(file, 22, static_cast<std::uint32_t>(-image.height));
      break;
    }
    case Storage::kNoLastPadding24:
      file.resize(file.size() - (stride - image.width * 3));
      break;
    case Storage::kBottomUp32: {
      std::string pixels;
      for (std::int32_t y = image.height - 1; y >= 0; --y) {
        for (std::int32_t x = 0; x < image.width; ++x) {
          pixels.append(reinterpret_cast<const char*>(image.Row(y) + x * 3), 3);
          pixels += '\x7F';
        }
      }
      file = file.substr(0, 54) + pixels;
      Put32(file, 2, static_cast<std::uint32_t>(file.size()));
      file[28] = 32;
      Put32(file, 34, static_cast<std::uint32_t>(pixels.size()));
      break;
    }
  }
  return file;
}

// What the scaler must write for `file`: its decoded picture stretched by the
// plain functions and encoded, or as it is when too small to scale.
std::string PlainResult(const std::string& file, const ConversionFactors& factors,
                        StretchFilter filter) {
  Image picture;
  std::string reason;
  EXPECT_TRUE(
      DecodePicture(std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()),
                    &picture, &reason))
      << reason;
  BitmapPlan plan = PlanBitmap(picture.width, picture.height, factors, 15, 15);
  return EncodeBmp24(plan.scale ? Stretch(picture, plan.width, plan.height, filter) : picture);
}

// One run's context scales every case in turn, so that each bitmap finds the
// buffers as the one before left them, larger or smaller.
TEST(ScaleBitmapTest, WritesWhatThePlainDecodeStretchAndEncodeWrite) {
  struct Size {
    std::int32_t width, height;
  };
  const std::vector<Size> sizes = {{64, 48}, {37, 23}, {5, 61}, {301, 3}, {1, 1}, {40, 1}};
  const std::vector<ConversionFactors> factor_sets = {
      ComputeFactors(1280, 1024, 1024, 768),   // shrink, 4:3 to 5:4
      ComputeFactors(1920, 1200, 1280, 1024),  // shrink by half and more
      ComputeFactors(1024, 768, 1280, 1024),   // enlarge
  };
  const Storage storages[] = {Storage::kBottomUp24, Storage::kTopDown24, Storage::kNoLastPadding24,
                              Storage::kBottomUp32};

  for (StretchFilter filter : {StretchFilter::kNearest, StretchFilter::kSmooth}) {
    for (const ConversionFactors& factors : factor_sets) {
      testing::MemoryFolder dir;
      const auto source = dir.MakeFolder("base"), target = dir.MakeFolder("new");
      ScaleContext context{dir.files, source, target, factors, filter};
      unsigned seed = 0;
      for (const Size& size : sizes) {
        for (Storage storage : storages) {
          // A name that is not .bmp: a picture too small to scale is then
          // written from its pixels, there being no .bmp of its name to copy.
          ++seed;
          const std::string name = std::to_string(seed) + ".pic";
          const std::string file = Store(Noise(size.width, size.height, seed), storage);
          dir.Write("base/" + name, file);
          SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) +
                       " storage " + std::to_string(static_cast<int>(storage)) + " filter " +
                       std::to_string(static_cast<int>(filter)) + " factors " +
                       std::to_string(factors.x) + "/" + std::to_string(factors.y));
          std::string err;
          ASSERT_TRUE(ScaleBitmap(context, name, 1, false, &err)) << err;
          const std::string written = testing::ReadAll(dir.files, target / (std::to_string(seed) + ".bmp"));
          EXPECT_TRUE(written == PlainResult(file, factors, filter));
        }
      }
      EXPECT_TRUE(context.warnings.empty());
    }
  }
}

TEST(PlanBitmapTest, FollowsTheTwipsArithmetic) {
  struct {
    int width, height;
    ConversionFactors factors;
    float tpp;
    BitmapPlan plan;
  } cases[] = {
      {800, 600, {1.25f, 1.25f, 1.25f}, 15, {true, 640, 480}},
      {1280, 1024, ComputeFactors(1280, 1024, 1024, 768), 15, {true, 1024, 768}},
      {1920, 1200, ComputeFactors(1920, 1200, 1280, 1024), 15, {true, 1280, 1024}},
      {1024, 768, ComputeFactors(1024, 768, 1280, 1024), 15, {true, 1280, 1024}},
      {1280, 1024, ComputeFactors(1280, 1024, 1024, 768), 12, {true, 1024, 768}},
      {200, 1, {1.0f, 1.0f, 1.0f}, 15, {false, 0, 0}},  // a 1-pixel line is copied
      {2, 2, {1.25f, 1.25f, 1.25f}, 15, {true, 2, 2}},  // 1.6 pixels: still scaled, rounds to 2
      {1, 50, {0.5f, 0.5f, 0.5f}, 15, {true, 2, 100}},
  };
  for (const auto& c : cases) {
    BitmapPlan plan = PlanBitmap(c.width, c.height, c.factors, c.tpp, c.tpp);
    EXPECT_EQ(plan.scale, c.plan.scale) << c.width << "x" << c.height;
    EXPECT_EQ(plan.width, c.plan.width) << c.width << "x" << c.height;
    EXPECT_EQ(plan.height, c.plan.height) << c.width << "x" << c.height;
  }
}

}  // namespace
}  // namespace fendrix

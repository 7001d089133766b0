// Pictures as the tools skin authors use write them, each decoded and held
// against what the writing tool itself reads back from the file
// (src/conversion/imaging/testdata/compat/make_compat.py makes both).

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>

#include "conversion/imaging/picture_decoder.h"
#include "conversion/imaging/test_art.h"
#include "support/test_folder.h"

namespace fendrix {
namespace {

// JPEG decoders differ in their inverse transform and chroma upsampling; at
// quality 90 the differences seen stay at a few levels. 8 of 255 is below
// what anyone sees on a skin yet far below a wrong colour conversion, a
// swapped channel or a shifted block, which are off by tens.
constexpr int kJpegTolerance = 8;

struct Fixture {
  const char* file;
  const char* not_under_wine = nullptr;  // why the Windows build under Wine skips it
};

// Measured: up to 39 levels off libjpeg at the edge of a red block, while
// the same picture without subsampling matches within 8.
constexpr char kWineUpsampling[] =
    "Wine's imaging component widens subsampled colour its own way, neither as libjpeg "
    "interpolates nor as it repeats";

const Fixture kFixtures[] = {
    {"magick_rle8_13x7.bmp"},
    {"magick_rle8_199x3.bmp"},
    {"magick_rle8_14x5.bmp"},
    {"magick_rle8_16x4.bmp"},
    {"rle4_13x7.bmp"},
    {"rle4_14x5.bmp"},
    {"magick_4bit.bmp"},
    {"magick_8bit.bmp"},
    {"magick_24bit.bmp"},
    {"magick_bmp2_palette.bmp"},
    {"magick_bmp5_alpha.bmp"},
    {"magick_rgb565.bmp"},
    {"pillow_1bit.bmp"},
    {"pillow_palette.bmp"},
    {"pillow_rgb.bmp"},
    {"pillow_rgba.bmp"},
    {"netpbm_palette.bmp"},
    {"netpbm_os2_palette.bmp"},
    {"netpbm_os2_24bit.bmp"},
    {"magick_interlaced.gif"},
    {"magick_transparent.gif"},
    {"gifbuild_local_interlaced.gif"},
    {"cjpeg_444.jpg"},
    {"cjpeg_422.jpg", kWineUpsampling},
    {"cjpeg_420.jpg", kWineUpsampling},
    {"cjpeg_progressive_420.jpg", kWineUpsampling},
    {"cjpeg_progressive_444.jpg"},
    {"cjpeg_gray.jpg"},
    {"cjpeg_restart.jpg", kWineUpsampling},
    {"magick_cmyk.jpg", "Wine's imaging component gives wrong colours for CMYK JPEGs"},
};

std::filesystem::path CompatFolder() {
  return std::filesystem::path(FENDRIX_SOURCE_DIR) / "src/conversion/imaging/testdata/compat";
}

// The pixels of a binary PPM as make_compat.py writes it, in the order of
// the pixel contract (blue, green, red).
bool ReadPpm(const std::string& data, Image* image) {
  std::istringstream in(data);
  std::string magic;
  int maxval = 0;
  in >> magic >> image->width >> image->height >> maxval;
  if (!in || magic != "P6" || maxval != 255 || in.get() != '\n') return false;
  const std::size_t size = static_cast<std::size_t>(image->width) * image->height * 3;
  const std::size_t start = static_cast<std::size_t>(in.tellg());
  if (data.size() - start != size) return false;
  image->pixels.assign(data.begin() + static_cast<std::ptrdiff_t>(start), data.end());
  for (std::size_t i = 0; i < size; i += 3) std::swap(image->pixels[i], image->pixels[i + 2]);
  return true;
}

bool UnderWine() {
#ifdef _WIN32
  // Only Wine's ntdll has this export.
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}

void PrintTo(const Fixture& fixture, std::ostream* out) { *out << fixture.file; }

class PictureCompatTest : public ::testing::TestWithParam<Fixture> {};

TEST_P(PictureCompatTest, DecodesAsTheWritingToolReadsIt) {
  const Fixture& fixture = GetParam();
  if (fixture.not_under_wine && UnderWine()) GTEST_SKIP() << fixture.not_under_wine;
  const std::string data = testing::ReadAll(CompatFolder() / fixture.file);
  ASSERT_FALSE(data.empty()) << fixture.file;
  Image expected;
  ASSERT_TRUE(
      ReadPpm(testing::ReadAll(CompatFolder() / (std::string(fixture.file) + ".ppm")), &expected));
  Image image;
  std::string reason;
  ASSERT_TRUE(DecodePicture(testing::AsSpan(data), &image, &reason)) << reason;
  ASSERT_EQ(image.width, expected.width);
  ASSERT_EQ(image.height, expected.height);

  const int tolerance = std::string_view(fixture.file).ends_with(".jpg") ? kJpegTolerance : 0;
  int worst = 0, worst_at = 0;
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const int difference = std::abs(image.pixels[i] - expected.pixels[i]);
    if (difference > worst) worst = difference, worst_at = static_cast<int>(i / 3);
  }
  EXPECT_LE(worst, tolerance) << "pixel " << worst_at % image.width << ","
                              << worst_at / image.width;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PictureCompatTest, ::testing::ValuesIn(kFixtures),
                         [](const ::testing::TestParamInfo<Fixture>& info) {
                           std::string name = info.param.file;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace fendrix

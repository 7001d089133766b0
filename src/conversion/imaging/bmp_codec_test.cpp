#include "conversion/imaging/bmp_codec.h"
#include "conversion/imaging/bmp_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/imaging/bmp_test_files.h"
#include "conversion/imaging/test_art.h"

namespace fendrix {
namespace {

using testing::Art;
using testing::AsSpan;
using testing::ExpectSame;
using testing::FromArt;
using testing::kArt;
using testing::kTwoColourArt;
using testing::MakeBmp;
using testing::Patched;
using testing::Variant;

TEST(BmpDecodeTest, ReadsEveryVariant) {
  const std::array<std::uint32_t, 3> k565 = {0xF800, 0x07E0, 0x001F};
  const std::vector<Variant> variants = {
      {"core 24", 12, 24, 0},
      {"core 8", 12, 8, 0},
      {"core 1", 12, 1, 0},
      {"info 1", 40, 1, 0},
      {"info 4", 40, 4, 0},
      {"info 4 full palette", 40, 4, 0, false, {}, true},
      {"info 8", 40, 8, 0},
      {"info 8 top-down", 40, 8, 0, true},
      {"info rle4", 40, 4, 2},
      {"info rle8", 40, 8, 1},
      {"info 16 555", 40, 16, 0},
      {"info 16 565", 40, 16, 3, false, k565},
      {"info 24", 40, 24, 0},
      {"info 24 top-down", 40, 24, 0, true},
      {"info 32", 40, 32, 0},
      {"info 32 fields rgbx", 40, 32, 3, false, {0xFF000000, 0xFF0000, 0xFF00}},
      {"info 32 fields 8-8-8", 40, 32, 3, true, {0xFF0000, 0xFF00, 0xFF}},
      {"v4 32 fields 10-10-10", 108, 32, 3, false, {0x3FF00000, 0xFFC00, 0x3FF}},
      {"v4 16 plain ignores masks", 108, 16, 0, false, k565},
      {"v5 8 top-down", 124, 8, 0, true},
      {"v5 16 565", 124, 16, 3, false, k565},
      {"v5 rle8", 124, 8, 1},
  };
  for (const Variant& v : variants) {
    const Art& art = v.bits == 1 ? kTwoColourArt : kArt;
    std::string file = MakeBmp(art, v);
    Image image;
    std::string reason;
    ASSERT_TRUE(DecodeBmp(AsSpan(file), &image, &reason)) << v.name << ": " << reason;
    SCOPED_TRACE(v.name);
    ExpectSame(image, FromArt(art));
  }
}

TEST(BmpDecodeTest, AcceptsALastRowWithoutPadding) {
  std::string file = MakeBmp(kArt, {"info 24", 40, 24, 0});
  file.resize(file.size() - 3);  // 7 pixels: 21 bytes of data, 3 of padding
  Image image;
  std::string reason;
  ASSERT_TRUE(DecodeBmp(AsSpan(file), &image, &reason)) << reason;
  ExpectSame(image, FromArt(kArt));
}

TEST(BmpDecodeTest, RefusesBrokenFilesWithAReason) {
  const std::string bmp24 = MakeBmp(kArt, {"info 24", 40, 24, 0});
  const std::string bmp8 = MakeBmp(kArt, {"info 8", 40, 8, 0});
  const std::string rle8 = MakeBmp(kArt, {"rle8", 40, 8, 1});
  const std::string fields = MakeBmp(kArt, {"fields", 40, 16, 3, false, {0xF800, 0x07E0, 0x001F}});
  const std::size_t palette = 14 + 40, pixels8 = palette + 16;
  auto rle_file = [&](std::string_view stream) {
    return rle8.substr(0, pixels8) + std::string(stream);
  };
  struct Case {
    const char* name;
    std::string file;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"only the signature", "BM", "abgeschnitten"},
      {"cut in the info header", bmp24.substr(0, 30), "abgeschnitten"},
      {"cut in the pixel rows", bmp24.substr(0, bmp24.size() - 10), "abgeschnitten"},
      {"cut in the palette", bmp8.substr(0, palette + 6), "abgeschnitten"},
      {"cut before the bit fields", fields.substr(0, palette + 8), "abgeschnitten"},
      {"pixel offset past the end", Patched(bmp24, 10, 100000), "abgeschnitten"},
      {"pixel offset inside the header", Patched(bmp24, 10, 20), "beschädigt"},
      {"100000 x 100000", Patched(Patched(bmp24, 18, 100000), 22, 100000),
       "zu groß: 100000 x 100000 Pixel"},
      {"width 0", Patched(bmp24, 18, 0), "ungültige Bildgröße: 0 x 5 Pixel"},
      {"2 bits per pixel", Patched(bmp8, 28, 2, 2), "nicht unterstützte BMP-Variante"},
      {"embedded JPEG", Patched(bmp24, 30, 4), "nicht unterstützte BMP-Variante"},
      {"RLE8 with 24 bits", Patched(bmp24, 30, 1), "nicht unterstützte BMP-Variante"},
      {"OS/2 2.0 header", Patched(bmp24, 14, 64), "nicht unterstützte BMP-Variante"},
      {"split bit field", Patched(fields, palette, 0xF0F0), "ungültige Bitfelder"},
      {"index past a 2-colour palette", Patched(bmp8, 46, 2),
       "Palettenindex außerhalb der Palette"},
      {"rle index past the palette", rle_file(std::string("\x02\x07\x00\x01", 4)),
       "Palettenindex außerhalb der Palette"},
      {"rle stream ends early", rle_file(std::string("\x07\x01\x00\x00\x07", 5)), "abgeschnitten"},
      {"rle absolute run cut", rle_file(std::string("\x00\x05\x01\x02", 4)), "abgeschnitten"},
  };
  for (const Case& c : cases) testing::ExpectRefused(DecodeBmp, c.file, c.reason, c.name);
}

TEST(BmpEncodeTest, WritesAPaddedBottomUpFileThatReadsBack) {
  std::mt19937 random(3);
  for (std::int32_t width : {1, 2, 3, 4, 5, 7}) {
    for (std::int32_t height : {1, 2, 5}) {
      Image image;
      image.width = width;
      image.height = height;
      image.pixels.resize(static_cast<std::size_t>(width) * height * 3);
      for (auto& b : image.pixels) b = static_cast<std::uint8_t>(random());
      std::string file = EncodeBmp24(image);
      const std::size_t stride = (width * 3 + 3) / 4 * 4;
      auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[at]) |
                                          static_cast<std::uint8_t>(file[at + 1]) << 8 |
                                          static_cast<std::uint8_t>(file[at + 2]) << 16 |
                                          static_cast<std::uint8_t>(file[at + 3]) << 24);
      };
      SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
      ASSERT_EQ(file.size(), 54 + stride * height);
      EXPECT_EQ(file.substr(0, 2), "BM");
      EXPECT_EQ(u32(2), file.size());
      EXPECT_EQ(u32(10), 54u);
      EXPECT_EQ(u32(14), 40u);
      EXPECT_EQ(u32(22), static_cast<std::uint32_t>(height));  // positive: bottom-up
      EXPECT_EQ(u32(28) & 0xFFFF, 24u);
      EXPECT_EQ(u32(30), 0u);
      EXPECT_EQ(u32(34), stride * height);
      // The first stored row is the bottom one; padding bytes are zero.
      EXPECT_EQ(static_cast<std::uint8_t>(file[54]), image.Row(height - 1)[0]);
      for (std::size_t pad = width * 3; pad < stride; ++pad) EXPECT_EQ(file[54 + pad], '\0');
      Image back;
      std::string reason;
      ASSERT_TRUE(DecodeBmp(AsSpan(file), &back, &reason)) << reason;
      EXPECT_EQ(back.pixels, image.pixels);
    }
  }
}

// The rows found in the file must be exactly the ones DecodeBmp copies out
// of it, and only plain 24-bit files may be taken as they lie.
TEST(BmpRowsTest, FindsInTheFileTheRowsDecodeBmpCopies) {
  const std::array<std::uint32_t, 3> k565 = {0xF800, 0x07E0, 0x001F};
  struct Case {
    Variant variant;
    bool cut_last_padding = false;
    bool found = true;
  };
  const std::vector<Case> cases = {
      {{"info 24", 40, 24, 0}},
      {{"info 24 top-down", 40, 24, 0, true}},
      {{"core 24", 12, 24, 0}},
      {{"v5 24", 124, 24, 0}},
      {{"info 24, last row without padding", 40, 24, 0}, true},
      {{"info 24 top-down, last row without padding", 40, 24, 0, true}, true},
      {{"info 32", 40, 32, 0}, false, false},
      {{"info 8", 40, 8, 0}, false, false},
      {{"info rle8", 40, 8, 1}, false, false},
      {{"info 16 565", 40, 16, 3, false, k565}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.variant.name);
    std::string file = MakeBmp(kArt, c.variant);
    if (c.cut_last_padding) file.resize(file.size() - 3);
    PixelRows rows;
    ASSERT_EQ(FindBmp24Rows(AsSpan(file), &rows), c.found);
    if (!c.found) continue;
    Image decoded;
    std::string reason;
    ASSERT_TRUE(DecodeBmp(AsSpan(file), &decoded, &reason)) << reason;
    ASSERT_EQ(rows.width, decoded.width);
    ASSERT_EQ(rows.height, decoded.height);
    for (std::int32_t y = 0; y < decoded.height; ++y) {
      EXPECT_EQ(std::vector<std::uint8_t>(rows.Row(y), rows.Row(y) + rows.width * 3),
                std::vector<std::uint8_t>(decoded.Row(y), decoded.Row(y) + decoded.width * 3))
          << "row " << y;
    }
  }
}

TEST(BmpRowsTest, RefusesWhatDecodeBmpRefuses) {
  const std::string file = MakeBmp(kArt, {"info 24", 40, 24, 0});
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"a row short", file.substr(0, file.size() - 24)},
      {"headers only", file.substr(0, 54)},
      {"not a BMP", "GIF89a" + file.substr(6)},
      {"zero width", Patched(file, 18, 0)},
  };
  for (const auto& [name, broken] : cases) {
    SCOPED_TRACE(name);
    PixelRows rows;
    EXPECT_FALSE(FindBmp24Rows(AsSpan(broken), &rows));
    Image image;
    std::string reason;
    EXPECT_FALSE(DecodeBmp(AsSpan(broken), &image, &reason));
  }
}

// A buffer that held a larger or a smaller file before must come out as the
// very bytes EncodeBmp24 writes, padding included.
TEST(BmpRowsTest, PreparedFileIsTheEncodedOneWhateverTheBufferHeld) {
  std::mt19937 random(5);
  for (std::size_t earlier : {0, 7, 1000}) {
    for (std::int32_t width : {1, 2, 3, 4, 5, 7, 13}) {
      for (std::int32_t height : {1, 2, 5}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " after " +
                     std::to_string(earlier) + " bytes");
        Image image{width, height,
                    std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
        for (auto& b : image.pixels) b = static_cast<std::uint8_t>(random());
        std::string file(earlier, '\xAB');
        const MutablePixelRows rows = PrepareBmp24(width, height, &file);
        for (std::int32_t y = 0; y < height; ++y) {
          std::copy_n(image.Row(y), width * 3, rows.Row(y));
        }
        EXPECT_EQ(file, EncodeBmp24(image));
      }
    }
  }
}

}  // namespace
}  // namespace fendrix

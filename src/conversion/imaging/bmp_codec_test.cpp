#include "conversion/imaging/bmp_codec.h"
#include "conversion/imaging/bmp_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string_view>
#include <vector>

#include "conversion/imaging/test_art.h"

namespace fendrix {
namespace {

using testing::AsSpan;

using testing::Art;
using testing::FromArt;

// The first palette entry is also the colour RLE leaves under skipped pixels.
constexpr std::string_view kPalette = ".RGW";

// An upright F with every palette colour; row 1 has a run of distinct
// pixels long enough for RLE's absolute mode.
const Art kArt = {
    "RRRRR..", "R.GWG..", "RRRR...", "R......", "R.....W",
};
const Art kTwoColourArt = {
    "RRRRR..", "R......", "RRRR...", "R......", "R.....R",
};

class Bytes {
 public:
  Bytes& U8(std::uint32_t v) {
    data_.push_back(static_cast<char>(v));
    return *this;
  }
  Bytes& U16(std::uint32_t v) { return U8(v & 0xFF).U8(v >> 8); }
  Bytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Bytes& Append(std::string_view bytes) {
    data_ += bytes;
    return *this;
  }
  std::string& str() { return data_; }

 private:
  std::string data_;
};

struct Variant {
  const char* name;
  int header_size;  // 12 core, 40 info, 108 V4, 124 V5
  int bits;
  std::uint32_t compression;  // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields
  bool top_down = false;
  std::array<std::uint32_t, 3> masks = {};  // red, green, blue
  bool full_palette = false;                // colours used 0: 2^bits entries
};

int Index(char letter) { return static_cast<int>(kPalette.find(letter)); }

std::uint32_t Packed(char letter, const std::array<std::uint32_t, 3>& masks) {
  auto bgr = testing::ArtColour(letter);
  std::uint32_t v = 0;
  for (int c = 0; c < 3; ++c) {
    std::uint32_t mask = masks[c];
    if (mask == 0) continue;
    int shift = std::countr_zero(mask);
    std::uint64_t max = mask >> shift;
    v |= static_cast<std::uint32_t>(bgr[2 - c] * max / 255) << shift;
  }
  return v;
}

// One row of palette indices RLE-coded: runs of one colour in encoded mode,
// stretches of three or more changing pixels in absolute mode.
void RleRow(const std::vector<int>& row, bool rle4, Bytes& out) {
  std::size_t i = 0;
  while (i < row.size()) {
    std::size_t run = 1;
    while (i + run < row.size() && row[i + run] == row[i]) ++run;
    std::size_t literal = 0;
    while (i + literal < row.size() &&
           (i + literal + 1 == row.size() || row[i + literal + 1] != row[i + literal])) {
      ++literal;
    }
    if (run == 1 && literal >= 3) {
      out.U8(0).U8(static_cast<std::uint32_t>(literal));
      std::size_t bytes = rle4 ? (literal + 1) / 2 : literal;
      for (std::size_t b = 0; b < bytes; ++b) {
        if (!rle4) {
          out.U8(row[i + b]);
        } else {
          int high = row[i + 2 * b];
          int low = 2 * b + 1 < literal ? row[i + 2 * b + 1] : 0;
          out.U8(high << 4 | low);
        }
      }
      if (bytes % 2) out.U8(0);
      i += literal;
    } else {
      out.U8(static_cast<std::uint32_t>(run)).U8(rle4 ? row[i] * 17 : row[i]);
      i += run;
    }
  }
}

std::string MakeBmp(const Art& art, const Variant& v) {
  const int width = static_cast<int>(art[0].size()), height = static_cast<int>(art.size());
  Bytes pixels;
  auto stored_row = [&](int stored) { return art[v.top_down ? stored : height - 1 - stored]; };
  if (v.compression == 1 || v.compression == 2) {
    for (int r = 0; r < height; ++r) {
      std::vector<int> indices;
      for (char c : stored_row(r)) indices.push_back(Index(c));
      RleRow(indices, v.compression == 2, pixels);
      pixels.U8(0).U8(r + 1 == height ? 1 : 0);
    }
  } else {
    std::array<std::uint32_t, 3> masks = v.masks;
    if (v.bits == 16 && v.compression == 0) masks = {0x7C00, 0x03E0, 0x001F};
    if (v.bits == 32 && v.compression == 0) masks = {0xFF0000, 0xFF00, 0xFF};
    for (int r = 0; r < height; ++r) {
      std::string_view row = stored_row(r);
      Bytes line;
      if (v.bits <= 8) {
        std::uint32_t acc = 0;
        int filled = 0;
        for (char c : row) {
          acc = acc << v.bits | Index(c);
          filled += v.bits;
          if (filled == 8) line.U8(acc), acc = 0, filled = 0;
        }
        if (filled) line.U8(acc << (8 - filled));
      } else {
        for (char c : row) {
          if (v.bits == 24) {
            auto bgr = testing::ArtColour(c);
            line.U8(bgr[0]).U8(bgr[1]).U8(bgr[2]);
          } else if (v.bits == 16) {
            line.U16(Packed(c, masks));
          } else {
            line.U32(Packed(c, masks));
          }
        }
      }
      while (line.str().size() % 4) line.U8(0);
      pixels.Append(line.str());
    }
  }

  const bool core = v.header_size == 12;
  const int colours = v.bits > 8       ? 0
                      : v.full_palette ? 1 << v.bits
                                       : std::min<int>(kPalette.size(), 1 << v.bits);
  Bytes palette;
  for (int i = 0; i < colours; ++i) {
    auto bgr = testing::ArtColour(kPalette[i % kPalette.size()]);
    palette.U8(bgr[0]).U8(bgr[1]).U8(bgr[2]);
    if (!core) palette.U8(0);
  }
  Bytes header;
  header.U32(v.header_size);
  if (core) {
    header.U16(width).U16(height).U16(1).U16(v.bits);
  } else {
    header.U32(width).U32(v.top_down ? -height : height).U16(1).U16(v.bits);
    header.U32(v.compression).U32(static_cast<std::uint32_t>(pixels.str().size()));
    header.U32(2835).U32(2835).U32(v.full_palette ? 0 : colours).U32(0);
    if (v.header_size > 40) header.U32(v.masks[0]).U32(v.masks[1]).U32(v.masks[2]);
    while (static_cast<int>(header.str().size()) < v.header_size) header.U8(0);
    if (v.header_size == 40 && v.compression == 3) {
      header.U32(v.masks[0]).U32(v.masks[1]).U32(v.masks[2]);
    }
  }
  const std::size_t offset = 14 + header.str().size() + palette.str().size();
  Bytes file;
  file.Append("BM").U32(static_cast<std::uint32_t>(offset + pixels.str().size())).U32(0);
  file.U32(static_cast<std::uint32_t>(offset));
  file.Append(header.str()).Append(palette.str()).Append(pixels.str());
  return file.str();
}

void ExpectSame(const Image& actual, const Image& expected) {
  ASSERT_EQ(actual.width, expected.width);
  ASSERT_EQ(actual.height, expected.height);
  for (std::int32_t y = 0; y < expected.height; ++y) {
    for (std::int32_t x = 0; x < expected.width * 3; ++x) {
      ASSERT_EQ(actual.Row(y)[x], expected.Row(y)[x]) << "pixel " << x / 3 << "," << y;
    }
  }
}

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

// Streams written by hand for what the row encoder above never emits.
TEST(BmpDecodeTest, FollowsRleEscapes) {
  struct Case {
    const char* name;
    std::uint32_t compression;
    int width, height;
    std::string stream;
    Art expected;  // top row first
  };
  const std::vector<Case> cases = {
      // 2 red, delta right 1 and up 1, 1 green, end of bitmap.
      {"rle8 delta",
       1,
       4,
       3,
       std::string("\x02\x01\x00\x02\x01\x01\x01\x02\x00\x01", 10),
       {"....", "...G", "RR.."}},
      // Encoded run alternating two nibbles, then an odd absolute run.
      {"rle4 alternating and absolute",
       2,
       8,
       1,
       std::string("\x05\x12\x00\x03\x31\x20\x00\x01", 8),
       {"RGRGRWRG"}},
      // A row ended early by end-of-line, then the last row; no end-of-bitmap.
      {"rle8 early end of line",
       1,
       3,
       2,
       std::string("\x01\x03\x00\x00\x03\x01\x00\x00", 8),
       {"RRR", "W.."}},
      // What reaches past the row's end or the last row is dropped; some
      // writers code every row to its padded length.
      {"rle8 run past the row end",
       1,
       7,
       2,
       std::string("\x08\x01\x00\x01", 4),
       {".......", "RRRRRRR"}},
      {"rle4 run past an odd row end", 2, 3, 1, std::string("\x04\x12\x00\x01", 4), {"RGR"}},
      // 3 red, then an absolute run of green, white, red of which only green fits.
      {"rle8 absolute run past the row end",
       1,
       4,
       2,
       std::string("\x03\x01\x00\x03\x02\x03\x01\x00\x00\x00\x02\x02\x00\x01", 14),
       {"GG..", "RRRG"}},
      {"rle8 delta below the image",
       1,
       4,
       2,
       std::string("\x02\x01\x00\x02\x00\x06\x02\x02\x00\x01", 10),
       {"....", "RR.."}},
      {"rle8 pixels below the last row",
       1,
       4,
       2,
       std::string("\x02\x01\x00\x00\x01\x02\x00\x00\x00\x00\x03\x03\x00\x01", 14),
       {"G...", "RR.."}},
  };
  for (const Case& c : cases) {
    Bytes file;
    const std::uint32_t offset = 14 + 40 + 16;
    file.Append("BM").U32(offset + static_cast<std::uint32_t>(c.stream.size())).U32(0).U32(offset);
    file.U32(40).U32(c.width).U32(c.height).U16(1).U16(c.compression == 1 ? 8 : 4);
    file.U32(c.compression)
        .U32(static_cast<std::uint32_t>(c.stream.size()))
        .U32(0)
        .U32(0)
        .U32(4)
        .U32(0);
    for (char letter : kPalette) {
      auto bgr = testing::ArtColour(letter);
      file.U8(bgr[0]).U8(bgr[1]).U8(bgr[2]).U8(0);
    }
    file.Append(c.stream);
    Image image;
    std::string reason;
    ASSERT_TRUE(DecodeBmp(AsSpan(file.str()), &image, &reason)) << c.name << ": " << reason;
    SCOPED_TRACE(c.name);
    ExpectSame(image, FromArt(c.expected));
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

// `file` with the little-endian value at `at` replaced.
std::string Patched(std::string file, std::size_t at, std::uint32_t value, int bytes = 4) {
  Bytes replacement;
  replacement.U32(value);
  return file.replace(at, bytes, replacement.str().substr(0, bytes));
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

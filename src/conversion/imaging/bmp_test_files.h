#pragma once

// For tests only: BMP files written byte by byte from a picture in letters,
// in every variant the decoder reads, so that a test names the variant and
// the picture it must come back as, not the bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/imaging/image.h"
#include "conversion/imaging/test_art.h"

namespace fendrix::testing {

/// The colours of the palette, in order. The first is also the colour RLE
/// leaves under skipped pixels.
inline constexpr std::string_view kPalette = ".RGW";

/// An upright F with every palette colour; row 1 has a run of distinct
/// pixels long enough for RLE's absolute mode.
inline const Art kArt = {
    "RRRRR..", "R.GWG..", "RRRR...", "R......", "R.....W",
};
/// The F in two colours, for one bit per pixel.
inline const Art kTwoColourArt = {
    "RRRRR..", "R......", "RRRR...", "R......", "R.....R",
};

/// Little-endian values appended one after the other.
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

/// How MakeBmp lays out a file.
struct Variant {
  const char* name;
  int header_size;  // 12 core, 40 info, 108 V4, 124 V5
  int bits;
  std::uint32_t compression;  // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields
  bool top_down = false;
  std::array<std::uint32_t, 3> masks = {};  // red, green, blue
  bool full_palette = false;                // colours used 0: 2^bits entries
};

/// The palette index of a letter.
inline int PaletteIndex(char letter) { return static_cast<int>(kPalette.find(letter)); }

/// A letter's colour packed into the bit fields `masks`, each channel scaled
/// to its field's width.
inline std::uint32_t Packed(char letter, const std::array<std::uint32_t, 3>& masks) {
  auto bgr = ArtColour(letter);
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

/// One row of palette indices RLE-coded: runs of one colour in encoded mode,
/// stretches of three or more changing pixels in absolute mode.
inline void RleRow(const std::vector<int>& row, bool rle4, Bytes& out) {
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

/// The picture row that `v` stores at position `stored`.
inline std::string_view StoredRow(const Art& art, const Variant& v, int stored) {
  const int height = static_cast<int>(art.size());
  return art[v.top_down ? stored : height - 1 - stored];
}

/// The pixel data of an RLE-coded `art`, ended by end-of-line and end-of-bitmap.
inline std::string RlePixels(const Art& art, const Variant& v) {
  const int height = static_cast<int>(art.size());
  Bytes pixels;
  for (int r = 0; r < height; ++r) {
    std::vector<int> indices;
    for (char c : StoredRow(art, v, r)) indices.push_back(PaletteIndex(c));
    RleRow(indices, v.compression == 2, pixels);
    pixels.U8(0).U8(r + 1 == height ? 1 : 0);
  }
  return pixels.str();
}

/// One row of `v.bits` bits per pixel, padded to four bytes. Plain 16 and
/// 32 bits have fixed fields whatever masks the header holds.
inline std::string PlainRow(std::string_view row, const Variant& v) {
  std::array<std::uint32_t, 3> masks = v.masks;
  if (v.bits == 16 && v.compression == 0) masks = {0x7C00, 0x03E0, 0x001F};
  if (v.bits == 32 && v.compression == 0) masks = {0xFF0000, 0xFF00, 0xFF};
  Bytes line;
  if (v.bits <= 8) {
    std::uint32_t acc = 0;
    int filled = 0;
    for (char c : row) {
      acc = acc << v.bits | PaletteIndex(c);
      filled += v.bits;
      if (filled == 8) line.U8(acc), acc = 0, filled = 0;
    }
    if (filled) line.U8(acc << (8 - filled));
  } else {
    for (char c : row) {
      if (v.bits == 24) {
        auto bgr = ArtColour(c);
        line.U8(bgr[0]).U8(bgr[1]).U8(bgr[2]);
      } else if (v.bits == 16) {
        line.U16(Packed(c, masks));
      } else {
        line.U32(Packed(c, masks));
      }
    }
  }
  while (line.str().size() % 4) line.U8(0);
  return line.str();
}

/// The number of palette entries `v` stores.
inline int PaletteSize(const Variant& v) {
  return v.bits > 8       ? 0
         : v.full_palette ? 1 << v.bits
                          : std::min<int>(kPalette.size(), 1 << v.bits);
}

/// The palette as `v` stores it: three bytes an entry in a core header,
/// four in the others.
inline std::string PaletteBytes(const Variant& v) {
  Bytes palette;
  for (int i = 0; i < PaletteSize(v); ++i) {
    auto bgr = ArtColour(kPalette[i % kPalette.size()]);
    palette.U8(bgr[0]).U8(bgr[1]).U8(bgr[2]);
    if (v.header_size != 12) palette.U8(0);
  }
  return palette.str();
}

/// The header of `v` for a picture of `width` x `height` with `pixel_bytes`
/// of pixel data; an info header's bit fields follow it.
inline std::string HeaderBytes(int width, int height, const Variant& v, std::size_t pixel_bytes) {
  Bytes header;
  header.U32(v.header_size);
  if (v.header_size == 12) {
    header.U16(width).U16(height).U16(1).U16(v.bits);
    return header.str();
  }
  header.U32(width).U32(v.top_down ? -height : height).U16(1).U16(v.bits);
  header.U32(v.compression).U32(static_cast<std::uint32_t>(pixel_bytes));
  header.U32(2835).U32(2835).U32(v.full_palette ? 0 : PaletteSize(v)).U32(0);
  if (v.header_size > 40) header.U32(v.masks[0]).U32(v.masks[1]).U32(v.masks[2]);
  while (static_cast<int>(header.str().size()) < v.header_size) header.U8(0);
  if (v.header_size == 40 && v.compression == 3) {
    header.U32(v.masks[0]).U32(v.masks[1]).U32(v.masks[2]);
  }
  return header.str();
}

/// `art` as a BMP file laid out as `v` says.
inline std::string MakeBmp(const Art& art, const Variant& v) {
  const int width = static_cast<int>(art[0].size()), height = static_cast<int>(art.size());
  std::string pixels;
  if (v.compression == 1 || v.compression == 2) {
    pixels = RlePixels(art, v);
  } else {
    for (int r = 0; r < height; ++r) pixels += PlainRow(StoredRow(art, v, r), v);
  }
  const std::string header = HeaderBytes(width, height, v, pixels.size());
  const std::string palette = PaletteBytes(v);
  const std::size_t offset = 14 + header.size() + palette.size();
  Bytes file;
  file.Append("BM").U32(static_cast<std::uint32_t>(offset + pixels.size())).U32(0);
  file.U32(static_cast<std::uint32_t>(offset));
  file.Append(header).Append(palette).Append(pixels);
  return file.str();
}

/// `actual` must have the size and every pixel of `expected`.
inline void ExpectSame(const Image& actual, const Image& expected) {
  ASSERT_EQ(actual.width, expected.width);
  ASSERT_EQ(actual.height, expected.height);
  for (std::int32_t y = 0; y < expected.height; ++y) {
    for (std::int32_t x = 0; x < expected.width * 3; ++x) {
      ASSERT_EQ(actual.Row(y)[x], expected.Row(y)[x]) << "pixel " << x / 3 << "," << y;
    }
  }
}

/// `file` with the little-endian value at `at` replaced.
inline std::string Patched(std::string file, std::size_t at, std::uint32_t value, int bytes = 4) {
  Bytes replacement;
  replacement.U32(value);
  return file.replace(at, bytes, replacement.str().substr(0, bytes));
}

}  // namespace fendrix::testing

// RLE streams written by hand for what the row encoder of bmp_test_files.h
// never emits: deltas, early ends of line, runs past the row or the picture.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "conversion/imaging/bmp_codec.h"
#include "conversion/imaging/bmp_test_files.h"
#include "conversion/imaging/test_art.h"

namespace fendrix {
namespace {

using testing::Art;
using testing::AsSpan;
using testing::Bytes;
using testing::FromArt;

struct RleCase {
  const char* name;
  std::uint32_t compression;
  int width, height;
  std::string stream;
  Art expected;  // top row first
};

const std::vector<RleCase> kRleCases = {
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

// An info header and the four-colour palette in front of the case's stream.
std::string RleFile(const RleCase& c) {
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
  for (char letter : testing::kPalette) {
    auto bgr = testing::ArtColour(letter);
    file.U8(bgr[0]).U8(bgr[1]).U8(bgr[2]).U8(0);
  }
  file.Append(c.stream);
  return file.str();
}

TEST(BmpDecodeTest, FollowsRleEscapes) {
  for (const RleCase& c : kRleCases) {
    const std::string file = RleFile(c);
    Image image;
    std::string reason;
    ASSERT_TRUE(DecodeBmp(AsSpan(file), &image, &reason)) << c.name << ": " << reason;
    SCOPED_TRACE(c.name);
    testing::ExpectSame(image, FromArt(c.expected));
  }
}

}  // namespace
}  // namespace fendrix

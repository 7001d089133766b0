#include "conversion/imaging/picture_decoder.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string_view>
#include <vector>

#include "conversion/imaging/bmp_writer.h"
#include "conversion/imaging/test_art.h"
#include "support/test_folder.h"

namespace fendrix {
namespace {

using testing::AsSpan;

using testing::Art;

// The pictures src/conversion/imaging/testdata/make_testdata.py writes; keep both alike.
const Art kJpegArt = {
    ".............", ".RRRRRRRRR...", ".RRRRRRRRR...", ".RR..........", ".RRRRRR......",
    ".RRRRRR......", ".RR..........", ".RR.......W..", ".RR.........G", ".............",
};
const Art kGrayArt = {
    "KKKKKKKKK", "KWWWWWWKK", "KWKKKKKKK", "KWWWWKKKK", "KWKKKKKSK", "KWKKKKKKD",
};
const Art kCmykArt = {"WWWWWWW", "WRRRRRW", "WRWWWWW", "WRRRWWD", "WRWWWW."};
// A 6 x 4 frame at (2, 1) on a green 9 x 7 screen; its white is transparent.
const Art kTransparentGif = {
    "GGGGGGGGG", "GGRRRRR.G", "GGR.GG..G", "GGRRR...G", "GGR....RG", "GGGGGGGGG", "GGGGGGGGG",
};
// A 7 x 11 interlaced frame at (1, 0) on an 8 x 11 screen without a global
// colour table, so the uncovered column is black.
const Art kInterlacedGif = {
    "KRRRRRRR", "KRW.....", "KR.W....", "KRRRW...", "KR...W..", "KR....W.",
    "KR.....W", "KR.....G", "KR....GG", "KR...GGG", "KRGGGGGG",
};

std::string ReadTestData(const char* name) {
  return testing::ReadAll(std::filesystem::path(FENDRIX_SOURCE_DIR) / "src/conversion/imaging/testdata" /
                          name);
}

// `tolerance`: JPEG decoders round differently by a level or two.
void ExpectDecodesTo(const char* file, const Art& art, int tolerance) {
  SCOPED_TRACE(file);
  std::string data = ReadTestData(file);
  ASSERT_FALSE(data.empty());
  Image image;
  std::string reason;
  ASSERT_TRUE(DecodePicture(AsSpan(data), &image, &reason)) << reason;
  ASSERT_EQ(image.width, static_cast<std::int32_t>(art[0].size()));
  ASSERT_EQ(image.height, static_cast<std::int32_t>(art.size()));
  for (std::int32_t y = 0; y < image.height; ++y) {
    for (std::int32_t x = 0; x < image.width; ++x) {
      auto expected = testing::ArtColour(art[y][x]);
      for (int channel = 0; channel < 3; ++channel) {
        ASSERT_NEAR(image.Row(y)[x * 3 + channel], expected[channel], tolerance)
            << "pixel " << x << "," << y << " channel " << channel;
      }
    }
  }
}

TEST(PictureDecoderTest, DecodesTheCommittedJpegsAndGifs) {
  ExpectDecodesTo("baseline.jpg", kJpegArt, 4);
  ExpectDecodesTo("progressive.jpg", kJpegArt, 4);
  ExpectDecodesTo("gray.jpg", kGrayArt, 2);
#ifndef _WIN32
  // Wine's imaging component gives wrong colours for CMYK, and the Windows
  // build of the tests runs under Wine.
  ExpectDecodesTo("cmyk.jpg", kCmykArt, 2);
#endif
  ExpectDecodesTo("transparent.gif", kTransparentGif, 0);
  ExpectDecodesTo("interlaced.gif", kInterlacedGif, 0);
}

TEST(PictureDecoderTest, ChoosesTheDecoderByContent) {
  Image source;
  source.width = 3;
  source.height = 2;
  source.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  std::string bmp = EncodeBmp24(source);
  Image image;
  std::string reason;
  ASSERT_TRUE(DecodePicture(AsSpan(bmp), &image, &reason)) << reason;
  EXPECT_EQ(image.pixels, source.pixels);
}

// `data` with the 16-bit value at `at` replaced, in the given byte order.
std::string Patched16(std::string data, std::size_t at, std::uint32_t value, bool big_endian) {
  data[at + (big_endian ? 0 : 1)] = static_cast<char>(value >> 8);
  data[at + (big_endian ? 1 : 0)] = static_cast<char>(value & 0xFF);
  return data;
}

// The offset of the height field in the first JPEG frame header.
std::size_t JpegFrameHeight(const std::string& jpeg) {
  std::size_t sof = jpeg.find("\xFF\xC0");
  if (sof == std::string::npos) sof = jpeg.find("\xFF\xC2");
  return sof + 5;
}

TEST(PictureDecoderTest, RefusesWhatItCannotReadWithAReason) {
  const std::string baseline = ReadTestData("baseline.jpg");
  const std::string progressive = ReadTestData("progressive.jpg");
  const std::string gif = ReadTestData("transparent.gif");
  const std::string interlaced = ReadTestData("interlaced.gif");
  Image small;
  small.width = 100;
  small.height = 1;
  small.pixels.resize(300);
  const std::string bmp = EncodeBmp24(small);
  std::string huge_bmp = bmp;
  for (std::size_t at : {18, 22}) {  // width, height: 100000 = 0x186A0
    huge_bmp[at] = '\xA0', huge_bmp[at + 1] = '\x86', huge_bmp[at + 2] = '\x01';
  }
  const std::size_t baseline_height = JpegFrameHeight(baseline);
  struct Case {
    const char* name;
    std::string data;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"zero bytes", "", "leere Datei"},
      {"text named .bmp", "Dies ist kein Bild.\r\n", "unbekanntes Bildformat"},
      {"PNG", "\x89PNG\r\n\x1a\n", "unbekanntes Bildformat"},
      {"bmp cut", bmp.substr(0, bmp.size() / 2), "abgeschnitten"},
      {"bmp claiming 100000 x 100000", huge_bmp, "zu groß: 100000 x 100000 Pixel"},
      {"jpeg cut in the scan", baseline.substr(0, baseline.size() / 2), "abgeschnitten"},
      {"jpeg cut in the headers", baseline.substr(0, 30), "abgeschnitten"},
      {"jpeg without end marker", baseline.substr(0, baseline.size() - 2), "abgeschnitten"},
      {"progressive jpeg cut between scans", progressive.substr(0, progressive.rfind("\xFF\xDA")),
       "abgeschnitten"},
      {"jpeg claiming 60000 x 60000",
       Patched16(Patched16(baseline, baseline_height, 60000, true), baseline_height + 2, 60000,
                 true),
       "zu groß: 60000 x 60000 Pixel"},
      {"jpeg of zero height", Patched16(baseline, baseline_height, 0, true), "beschädigt"},
      {"jpeg without frame", "\xFF\xD8\xFF\xD9", "beschädigt"},
      {"gif cut in the screen", gif.substr(0, 10), "abgeschnitten"},
      {"gif cut in the frame", gif.substr(0, gif.size() - 6), "abgeschnitten"},
      {"interlaced gif cut", interlaced.substr(0, interlaced.size() - 10), "abgeschnitten"},
      {"gif without frame", gif.substr(0, 25) + ";", "beschädigt"},
      {"gif claiming 60000 x 60000", Patched16(Patched16(gif, 6, 60000, false), 8, 60000, false),
       "zu groß: 60000 x 60000 Pixel"},
  };
  for (const Case& c : cases) testing::ExpectRefused(DecodePicture, c.data, c.reason, c.name);
}

}  // namespace
}  // namespace fendrix

#include "conversion/imaging/stretch.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>
#include <vector>

namespace fendrix {
namespace {

Image Random(std::int32_t width, std::int32_t height, unsigned seed) {
  std::mt19937 random(seed);
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * height * 3);
  for (auto& b : image.pixels) b = static_cast<std::uint8_t>(random());
  return image;
}

Image Row(std::vector<std::uint8_t> grey) {
  Image image;
  image.width = static_cast<std::int32_t>(grey.size());
  image.height = 1;
  for (std::uint8_t g : grey) image.pixels.insert(image.pixels.end(), {g, g, g});
  return image;
}

std::vector<std::uint8_t> Blues(const Image& image) {
  std::vector<std::uint8_t> blue;
  for (std::size_t i = 0; i < image.pixels.size(); i += 3) blue.push_back(image.pixels[i]);
  return blue;
}

const StretchFilter kFilters[] = {StretchFilter::kNearest, StretchFilter::kSmooth};

TEST(StretchTest, GivesTheAskedSizeInEitherDirection) {
  const std::vector<std::tuple<int, int, int, int>> sizes = {
      {1, 1, 1, 1}, {1, 1, 5, 3},   {7, 3, 1, 1},   {7, 3, 14, 6},   {64, 48, 40, 30},
      {5, 9, 9, 5}, {13, 7, 13, 2}, {13, 7, 40, 7}, {300, 2, 7, 11}, {2, 300, 11, 7},
  };
  for (StretchFilter filter : kFilters) {
    for (auto [sw, sh, dw, dh] : sizes) {
      Image out = Stretch(Random(sw, sh, 1), dw, dh, filter);
      EXPECT_EQ(out.width, dw);
      EXPECT_EQ(out.height, dh);
      EXPECT_EQ(out.pixels.size(), static_cast<std::size_t>(dw) * dh * 3);
    }
  }
}

TEST(StretchTest, EqualSizeIsTheSamePicture) {
  Image source = Random(7, 5, 2);
  for (StretchFilter filter : kFilters)
    EXPECT_EQ(Stretch(source, 7, 5, filter).pixels, source.pixels);
}

TEST(StretchTest, NearestTakesThePixelUnderEachCentre) {
  struct Case {
    std::vector<std::uint8_t> source;
    std::int32_t width;
    std::vector<std::uint8_t> expected;
  };
  const std::vector<Case> cases = {
      // Centres at 0.3, 0.9, 1.5, 2.1, 2.7 source pixels.
      {{10, 20, 30}, 5, {10, 10, 20, 30, 30}},
      // Centres at 1.25 and 3.75.
      {{10, 20, 30, 40, 50}, 2, {20, 40}},
      {{10, 20, 30, 40, 50}, 1, {30}},
      {{10, 20, 30, 40}, 1, {30}},
      {{10, 20}, 4, {10, 10, 20, 20}},
      {{10, 20, 30, 40, 50, 60}, 3, {20, 40, 60}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Blues(Stretch(Row(c.source), c.width, 1, StretchFilter::kNearest)), c.expected);
    // The same along the other axis.
    Image column = Row(c.source);
    std::swap(column.width, column.height);
    EXPECT_EQ(Blues(Stretch(column, 1, c.width, StretchFilter::kNearest)), c.expected);
  }
}

TEST(StretchTest, NearestInventsNoColour) {
  Image source = Random(37, 23, 3);
  std::set<std::tuple<int, int, int>> colours;
  for (std::size_t i = 0; i < source.pixels.size(); i += 3) {
    colours.insert({source.pixels[i], source.pixels[i + 1], source.pixels[i + 2]});
  }
  for (auto [w, h] : {std::pair{16, 50}, {100, 9}, {1, 1}, {74, 46}, {36, 22}}) {
    Image out = Stretch(source, w, h, StretchFilter::kNearest);
    for (std::size_t i = 0; i < out.pixels.size(); i += 3) {
      ASSERT_TRUE(colours.count({out.pixels[i], out.pixels[i + 1], out.pixels[i + 2]}))
          << w << "x" << h << " pixel " << i / 3;
    }
  }
}

TEST(StretchTest, SmoothAveragesACheckerboardWhenHalving) {
  Image board;
  board.width = 8;
  board.height = 6;
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) {
      std::uint8_t v = (x + y) % 2 ? 255 : 0;
      board.pixels.insert(board.pixels.end(), {v, v, v});
    }
  }
  Image out = Stretch(board, 4, 3, StretchFilter::kSmooth);
  for (std::uint8_t v : out.pixels) EXPECT_NEAR(v, 127.5, 0.5);
  // Nearest keeps the hard colours.
  for (std::uint8_t v : Stretch(board, 4, 3, StretchFilter::kNearest).pixels) {
    EXPECT_TRUE(v == 0 || v == 255);
  }
}

TEST(StretchTest, SmoothWeighsByCoverageAndInterpolatesBetweenCentres) {
  struct Case {
    std::vector<std::uint8_t> source;
    std::int32_t width;
    std::vector<std::uint8_t> expected;
  };
  const std::vector<Case> cases = {
      // 3 -> 2: each target pixel covers 1.5 source pixels.
      {{0, 90, 180}, 2, {30, 150}},
      {{0, 90, 180, 30}, 1, {75}},
      // 2 -> 4: centres at -0.25, 0.25, 0.75, 1.25; the edges are held.
      {{0, 200}, 4, {0, 50, 150, 200}},
      {{40}, 3, {40, 40, 40}},
      // 3 -> 5: centres at -0.2, 0.4, 1.0, 1.6, 2.2.
      {{0, 100, 250}, 5, {0, 40, 100, 190, 250}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Blues(Stretch(Row(c.source), c.width, 1, StretchFilter::kSmooth)), c.expected);
    Image column = Row(c.source);
    std::swap(column.width, column.height);
    EXPECT_EQ(Blues(Stretch(column, 1, c.width, StretchFilter::kSmooth)), c.expected);
  }
}

TEST(StretchTest, SmoothKeepsFlatColourFlatAndChannelsApart) {
  Image flat;
  flat.width = 37;
  flat.height = 23;
  for (int i = 0; i < 37 * 23; ++i) flat.pixels.insert(flat.pixels.end(), {10, 200, 77});
  for (auto [w, h] : {std::pair{16, 50}, {100, 9}, {1, 1}, {36, 24}, {29, 23}}) {
    Image out = Stretch(flat, w, h, StretchFilter::kSmooth);
    for (std::size_t i = 0; i < out.pixels.size(); i += 3) {
      ASSERT_EQ(out.pixels[i], 10) << w << "x" << h;
      ASSERT_EQ(out.pixels[i + 1], 200) << w << "x" << h;
      ASSERT_EQ(out.pixels[i + 2], 77) << w << "x" << h;
    }
  }
}

TEST(StretchTest, SmoothToOnePixelIsTheMean) {
  Image source;
  source.width = 3;
  source.height = 2;
  source.pixels = {0, 255, 10, 30, 255, 20, 60, 255, 30, 90, 0, 40, 120, 0, 50, 150, 0, 60};
  Image out = Stretch(source, 1, 1, StretchFilter::kSmooth);
  EXPECT_EQ(out.pixels, (std::vector<std::uint8_t>{75, 128, 35}));
}

}  // namespace
}  // namespace fendrix

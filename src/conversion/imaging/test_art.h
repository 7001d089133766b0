#pragma once

// For tests only: small pictures written as text, one letter per pixel, so a
// test shows at a glance what the decoder must produce.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/imaging/image.h"

namespace fendrix::testing {

using Art = std::vector<std::string_view>;

/// The colour of a letter as blue, green, red: '.' blue, 'R' red, 'G' green,
/// 'W' white, 'K' black, 'D' dark grey, 'S' silver.
inline std::array<std::uint8_t, 3> ArtColour(char letter) {
  switch (letter) {
    case '.':
      return {255, 0, 0};
    case 'R':
      return {0, 0, 255};
    case 'G':
      return {0, 255, 0};
    case 'W':
      return {255, 255, 255};
    case 'K':
      return {0, 0, 0};
    case 'D':
      return {64, 64, 64};
    case 'S':
      return {192, 192, 192};
  }
  ADD_FAILURE() << "no colour for " << letter;
  return {};
}

/// The picture the letters draw.
inline Image FromArt(const Art& art) {
  Image image;
  image.width = static_cast<std::int32_t>(art[0].size());
  image.height = static_cast<std::int32_t>(art.size());
  for (std::string_view row : art) {
    for (char c : row) {
      auto bgr = ArtColour(c);
      image.pixels.insert(image.pixels.end(), bgr.begin(), bgr.end());
    }
  }
  return image;
}

/// The bytes of a file held in a string.
inline std::span<const std::uint8_t> AsSpan(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

/// `decode` must refuse `data` with `reason` and leave the picture it was
/// handed as it was.
template <typename Decode>
void ExpectRefused(Decode decode, const std::string& data, const std::string& reason,
                   const std::string& name) {
  Image image{1, 1, {1, 2, 3}};
  std::string why;
  EXPECT_FALSE(decode(AsSpan(data), &image, &why)) << name;
  EXPECT_EQ(why, reason) << name;
  EXPECT_EQ(image.width, 1) << name;
  EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{1, 2, 3})) << name;
}

}  // namespace fendrix::testing

#pragma once

#include <array>
#include <string_view>

// The keys of Skin.vsk whose value names a bitmap: the background, the
// volume control, the close element, the song search and the wish list; and
// the bitmaps that no line names.

namespace fendrix {

/// The five bitmap keys as code-page bytes ("ä" is 0xE4), in the order they
/// are tested. Keys are compared exactly, with case.
inline constexpr std::array<std::string_view, 5> kBitmapKeys = {
    "gfxHintergrund", "gfxLautst\xE4rkeregler", "gfxSchluss", "gfxSongsuche", "gfxWunschliste"};

/// The key of the background, the bitmap that fills the whole screen.
inline constexpr std::string_view kBackgroundKey = kBitmapKeys[0];

/// The list's arrows, named by no line and scaled along with every
/// conversion when the base folder has them.
inline constexpr std::array<std::string_view, 4> kArrowBitmaps = {"ArrowT.bmp", "ArrowB.bmp",
                                                                  "ArrowTD.bmp", "ArrowBD.bmp"};

/// True when `key` is one of kBitmapKeys.
inline bool IsBitmapKey(std::string_view key) {
  for (std::string_view bitmap_key : kBitmapKeys) {
    if (key == bitmap_key) return true;
  }
  return false;
}

}  // namespace fendrix

#pragma once

// For tests only: a Player folder with Tools (the program's folder) and
// Skins, and skins made in it, on whichever file system the test gives.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/imaging/bmp_writer.h"
#include "conversion/skin_text/cipher.h"
#include "support/file_helpers.h"
#include "support/file_system.h"
#include "support/test_folder.h"

namespace fendrix::testing {

/// The lines of the skin file every test skin starts from.
inline std::vector<std::string> TestSkinLines(const std::string& title_left = "120") {
  return {"Form=Fendrix", "gfxHintergrund=Zelback.bmp", "Titel.Left=" + title_left, "Titel.Top=96",
          "Titel.FontSize=10"};
}

/// A BMP file of one colour, given as 0x00bbggrr (the layout of a COLORREF).
inline std::string SolidBmp(std::int32_t width, std::int32_t height, std::uint32_t bgr) {
  Image image{width, height, {}};
  for (std::int32_t i = 0; i < width * height; ++i) {
    image.pixels.insert(image.pixels.end(),
                        {static_cast<std::uint8_t>(bgr >> 16), static_cast<std::uint8_t>(bgr >> 8),
                         static_cast<std::uint8_t>(bgr)});
  }
  return EncodeBmp24(image);
}

/// Player/Tools and Player/Skins below `root` of `files`; every path a test
/// names is relative to `root`, with "/" between its names on every system.
class SkinTree {
 public:
  SkinTree(FileSystem& files, const std::filesystem::path& root)
      : files(files),
        root(root),
        tools(MakeFolder("Player/Tools")),
        skins(MakeFolder("Player/Skins")) {}

  /// Writes `contents` to `relative`, creating its folders.
  std::filesystem::path Write(const std::filesystem::path& relative,
                              std::string_view contents) const {
    std::filesystem::path file = (root / relative).make_preferred();
    std::string err;
    if (!CreatePath(files, file.parent_path(), &err) || !files.WriteFile(file, contents, &err)) {
      ADD_FAILURE() << err;
    }
    return file;
  }

  /// Creates the folder `relative` and its parents.
  std::filesystem::path MakeFolder(const std::filesystem::path& relative) const {
    std::filesystem::path folder = (root / relative).make_preferred();
    std::string err;
    if (!CreatePath(files, folder, &err)) ADD_FAILURE() << err;
    return folder;
  }

  /// A resolution folder of a skin: its Skin.vsk and, unless the background
  /// is empty, a Zelback.bmp of that size in one colour (red by default).
  void AddResolution(const std::string& skin, const std::string& resolution,
                     const std::vector<std::string>& lines = TestSkinLines(),
                     std::int32_t width = 40, std::int32_t height = 30,
                     std::uint32_t bgr = 0x0000ff) const {
    std::filesystem::path base = std::filesystem::path("Player") / "Skins" / skin / resolution;
    Write(base / "Skin.vsk", EncipherLines(lines));
    if (width > 0) Write(base / "Zelback.bmp", SolidBmp(width, height, bgr));
  }

  /// The deciphered lines of a skin's Skin.vsk at `resolution`.
  std::vector<std::string> SkinFileLines(const std::string& skin,
                                         const std::string& resolution) const {
    return DecipherLines(ReadAll(files, skins / skin / resolution / "Skin.vsk"));
  }

  FileSystem& files;
  const std::filesystem::path root;
  const std::filesystem::path tools;
  const std::filesystem::path skins;
};

}  // namespace fendrix::testing

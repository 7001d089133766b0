#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/skin_text/factors.h"
#include "support/file_system.h"

// What a conversion of a resolution folder would stumble over, found before
// it runs, by the rules the conversion itself follows: the same line reading
// and key splitting, the same number reading, the same bitmap lookup (without
// case, refusing unsafe names and links) and the same picture decoder.

namespace fendrix {

/// The kinds of finding, stable identifiers for scripts.
inline constexpr std::string_view kMissingBitmap = "missing_bitmap";
inline constexpr std::string_view kUnreadableBitmap = "unreadable_bitmap";
inline constexpr std::string_view kRefusedBitmap = "refused_bitmap";
inline constexpr std::string_view kOffScreen = "off_screen";
inline constexpr std::string_view kNotANumber = "not_a_number";
inline constexpr std::string_view kSplitLine = "split_line";
inline constexpr std::string_view kDuplicateKey = "duplicate_key";
inline constexpr std::string_view kUnusedFile = "unused_file";
inline constexpr std::string_view kPropertyCase = "property_case";
inline constexpr std::string_view kNoValue = "no_value";
inline constexpr std::string_view kIncompleteElement = "incomplete_element";
inline constexpr std::string_view kNoBackground = "no_background";
inline constexpr std::string_view kVanishes = "vanishes";
inline constexpr std::string_view kLocaleNumber = "locale_number";

/// One thing found.
struct CheckFinding {
  std::optional<std::size_t> line;            ///< 1-based line of Skin.vsk
  std::string kind;                           ///< one of the kinds above
  std::optional<std::filesystem::path> file;  ///< relative to the folder
  std::string text;                           ///< for a person, German, UTF-8
  std::string element;                        ///< the element it is about (UTF-8), or ""
};

/// A conversion of the folder to check for.
struct CheckedConversion {
  ConversionFactors factors;
  std::string name;  ///< the new resolution, "1024x768"
};

/// The folder to check and the screen it is made for.
struct CheckRequest {
  std::filesystem::path folder;
  std::int32_t width = 0;
  std::int32_t height = 0;
  char decimal_separator = '.';
  /// With a conversion, also the elements it would shrink to nothing.
  std::optional<CheckedConversion> conversion;
};

/// Checks the resolution folder: its bitmaps, the placement of its elements
/// on the screen, its numbers, its lines and keys, and the files that no line
/// names, in sub-folders too. The findings come in line order, those without a line last. False,
/// with `err` saying why, when the folder or its Skin.vsk cannot be read.
bool CheckSkinFolder(FileSystem& fs, const CheckRequest& request,
                     std::vector<CheckFinding>* findings, std::string* err);

}  // namespace fendrix

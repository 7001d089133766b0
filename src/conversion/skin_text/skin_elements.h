#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The window elements a skin describes, read from its deciphered lines by
// the same rules the rewriter splits them: the key before the first "=", the
// value up to the second, the element before the first "." of the key and
// the property up to the second.

namespace fendrix {

/// The properties that follow the resolution, as the rewriter names them
/// (exact case); the first four place the element.
inline constexpr std::array<std::string_view, 5> kScaledProperties = {"Left", "Top", "Width",
                                                                      "Height", "FontSize"};

/// One numeric property of an element and the line (1-based) that gave it.
struct ElementValue {
  double value = 0;
  std::size_t line = 0;
};

/// An element with the five properties that follow the resolution. A
/// property that no line gives a number is not set; of a property given
/// twice the later number counts, as the lines are applied in order.
struct SkinElement {
  std::string name;      ///< code-page bytes
  std::size_t line = 0;  ///< the first line that names the element
  std::optional<ElementValue> left, top, width, height, font_size;
  /// Which of Left, Top, Width and Height (in this order) some line gives, a
  /// number or not.
  std::array<bool, 4> placed = {};
};

/// The elements of `lines` (deciphered code-page lines, line i + 1 at index
/// i) in the order they are first named. Numbers are read as the rewriter
/// reads them: "," stands for `decimal_separator`.
std::vector<SkinElement> ReadSkinElements(std::span<const std::string> lines,
                                          char decimal_separator);

/// The value of a scaled property as the rewriter reads it; nothing when it
/// is no number.
std::optional<double> ReadScaledValue(std::string_view value, char decimal_separator);

/// True for one of kScaledProperties.
bool IsScaledProperty(std::string_view property);

}  // namespace fendrix

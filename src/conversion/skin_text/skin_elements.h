#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/skin_text/scaled_properties.h"

// The window elements a skin describes, read from its deciphered lines by
// the same rules the rewriter splits them: the key before the first "=", the
// value up to the second, the element before the first "." of the key and
// the property up to the second.

namespace fendrix {

/// One numeric property of an element and the line (1-based) that gave it.
struct ElementValue {
  double value = 0;
  std::size_t line = 0;
};

/// An element with the five scaled properties. A
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
/// i) in the order they are first named, the numbers read by ReadScaledValue.
std::vector<SkinElement> ReadSkinElements(std::span<const std::string> lines,
                                          char decimal_separator);

}  // namespace fendrix

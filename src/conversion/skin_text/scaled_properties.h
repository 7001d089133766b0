#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

// The properties of an element that follow the resolution, and how their
// values are read: the rewriter divides them by these rules, and whatever
// judges a skin's numbers reads them by the same.

namespace fendrix {

/// The properties that follow the resolution (exact case); the first four
/// place the element.
inline constexpr std::array<std::string_view, 5> kScaledProperties = {"Left", "Top", "Width",
                                                                      "Height", "FontSize"};

/// The index of `property` in kScaledProperties, compared with case;
/// nothing for a property that keeps its value.
std::optional<std::size_t> FindScaledProperty(std::string_view property);

/// The number a scaled value holds; nothing when it is no number. Stored
/// files may write the decimal separator as a comma whatever the user's
/// separator is, so "," stands for `decimal_separator` too.
std::optional<double> ReadScaledValue(std::string_view value, char decimal_separator);

}  // namespace fendrix

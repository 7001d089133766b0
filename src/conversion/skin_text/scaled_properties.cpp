#include "conversion/skin_text/scaled_properties.h"

#include <algorithm>
#include <string>

#include "support/numbers.h"
#include "support/strings.h"

namespace fendrix {

std::optional<std::size_t> FindScaledProperty(std::string_view property) {
  const auto found = std::find(kScaledProperties.begin(), kScaledProperties.end(), property);
  if (found == kScaledProperties.end()) return std::nullopt;
  return static_cast<std::size_t>(found - kScaledProperties.begin());
}

std::optional<double> ReadScaledValue(std::string_view value, char decimal_separator) {
  std::string text(value);
  if (decimal_separator != ',') text = ReplaceAll(text, ",", std::string(1, decimal_separator));
  return ParseNumber(text, decimal_separator);
}

}  // namespace fendrix

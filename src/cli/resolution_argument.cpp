#include "cli/resolution_argument.h"

#include <charconv>
#include <cstdint>

#include "conversion/run/conversion_run.h"

namespace fendrix {
namespace {

std::optional<std::int16_t> Side(std::string_view digits) {
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  unsigned value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || value < 1 || value > 32767) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

}  // namespace

std::optional<BaseResolution> ParseResolutionArgument(std::string_view text) {
  const std::size_t x = text.find('x');
  if (x == std::string_view::npos) return std::nullopt;
  const std::optional<std::int16_t> width = Side(text.substr(0, x));
  const std::optional<std::int16_t> height = Side(text.substr(x + 1));
  if (!width || !height) return std::nullopt;
  return BaseResolution{std::to_string(*width) + "x" + std::to_string(*height), *width, *height};
}

std::string InvalidResolutionText(std::string_view text) {
  return std::string(kInvalidResolutionText) + ": „" + std::string(text) +
         "“ (Breite x Höhe in Ziffern, etwa 1024x768; eine neue Auflösung ab 640x480)";
}

}  // namespace fendrix

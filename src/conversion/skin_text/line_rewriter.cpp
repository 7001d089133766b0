#include "conversion/skin_text/line_rewriter.h"

#include <cmath>
#include <cstdint>

#include "conversion/bitmap_name/bitmap_keys.h"
#include "conversion/bitmap_name/target_name.h"
#include "conversion/skin_text/scaled_properties.h"
#include "support/code_page.h"
#include "support/strings.h"

namespace fendrix {
namespace {

// How a scaled property changes: divided, then shifted.
struct Scaling {
  float divisor;
  std::int32_t offset;
};

// The scaling of a property's value; nothing for a property that keeps its
// value.
std::optional<Scaling> ScalingFor(std::string_view property, const ConversionFactors& factors) {
  const std::optional<std::size_t> index = FindScaledProperty(property);
  if (!index) return std::nullopt;
  // In the order of kScaledProperties: the places move by the centring, the
  // sizes do not.
  const Scaling scalings[] = {{factors.x, factors.offset_x},
                              {factors.y, factors.offset_y},
                              {factors.x, 0},
                              {factors.y, 0},
                              {factors.font, 0}};
  static_assert(sizeof(scalings) / sizeof(scalings[0]) == kScaledProperties.size());
  return scalings[*index];
}

// `value` divided and rounded down, as whole-number text; nothing when it is
// no number or the result does not fit 32 bits.
std::optional<std::string> ScaledValue(std::string_view value, Scaling scaling,
                                       char decimal_separator) {
  const std::optional<double> number = ReadScaledValue(value, decimal_separator);
  if (!number) return std::nullopt;
  // Down, not towards zero: -5 / 2 is -3. NaN fails the range test too.
  const double whole = std::floor(*number / static_cast<double>(scaling.divisor)) + scaling.offset;
  if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) return std::nullopt;
  return std::to_string(static_cast<std::int32_t>(whole));
}

}  // namespace

RewrittenLine RewriteLine(std::string_view line, const ConversionFactors& factors,
                          char decimal_separator) {
  RewrittenLine out;
  if (line.empty()) return out;
  const std::string key = GetField(line, 1, "=");
  const std::string value = GetField(line, 2, "=");
  if (key == "Form") {
    out.line = std::string(line);
    return out;
  }
  if (IsBitmapKey(key)) {
    out.names_bitmap = true;
    out.bitmap = value;
    out.background = key == kBackgroundKey;
    out.line = key + "=" + BitmapTargetName(value);
    return out;
  }
  if (key.find('.') == std::string::npos) {
    out.line = std::string(line);
    return out;
  }

  // Written anew as element.property=value: a key with a second dot loses
  // it and all after it, and a value ends at a second "=".
  const std::string element = GetField(key, 1, ".");
  const std::string property = GetField(key, 2, ".");
  std::string new_value = value;
  bool kept = false;
  if (const std::optional<Scaling> scaling = ScalingFor(property, factors)) {
    std::optional<std::string> scaled = ScaledValue(value, *scaling, decimal_separator);
    kept = !scaled;
    if (scaled) new_value = std::move(*scaled);
  }
  out.line = element + "." + property + "=" + new_value;
  if (kept) {
    out.warning =
        "Wert ist keine verwendbare Zahl und bleibt unverändert: " + Cp1252ToUtf8(*out.line);
  }
  return out;
}

}  // namespace fendrix

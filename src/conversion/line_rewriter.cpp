#include "conversion/line_rewriter.h"

#include <array>
#include <cmath>
#include <limits>

#include "support/code_page.h"
#include "support/numbers.h"
#include "support/strings.h"

namespace fendrix {
namespace {

// Code-page bytes: "ä" is 0xE4.
constexpr std::array<std::string_view, 5> kBitmapKeys = {
    "gfxHintergrund", "gfxLautst\xE4rkeregler", "gfxSchluss", "gfxSongsuche", "gfxWunschliste"};

std::optional<float> DivisorFor(std::string_view property, const ConversionFactors& factors) {
  if (property == "Left" || property == "Width") return factors.x;
  if (property == "Top" || property == "Height") return factors.y;
  if (property == "FontSize") return factors.font;
  return std::nullopt;
}

// The scaled value as text, or nothing when it cannot be computed.
std::optional<std::string> ScaleValue(std::string_view value, float divisor,
                                      char decimal_separator) {
  std::string text(value);
  if (decimal_separator != ',') text = ReplaceAll(text, ",", std::string(1, decimal_separator));
  std::optional<double> number = ParseNumber(text, decimal_separator);
  if (!number) return std::nullopt;
  double quotient = std::floor(*number / static_cast<double>(divisor));
  if (!(quotient >= std::numeric_limits<std::int32_t>::min() &&
        quotient <= std::numeric_limits<std::int32_t>::max())) {
    return std::nullopt;
  }
  return std::to_string(static_cast<std::int32_t>(quotient));
}

}  // namespace

std::string BitmapTargetName(std::string_view value) { return GetFileName(value, false) + ".bmp"; }

RewrittenLine RewriteLine(std::string_view line, const ConversionFactors& factors,
                          char decimal_separator) {
  RewrittenLine out;
  if (line.empty()) return out;

  std::string key = GetField(line, 1, "=");
  std::string value = GetField(line, 2, "=");
  if (key == "Form") {
    out.line = std::string(line);
    return out;
  }
  for (std::string_view bitmap_key : kBitmapKeys) {
    if (key == bitmap_key) {
      out.names_bitmap = true;
      out.bitmap = value;
      out.line = key + "=" + BitmapTargetName(value);
      return out;
    }
  }
  if (key.find('.') == std::string::npos) {
    out.line = std::string(line);
    return out;
  }

  std::string element = GetField(key, 1, ".");
  std::string property = GetField(key, 2, ".");
  if (std::optional<float> divisor = DivisorFor(property, factors)) {
    if (std::optional<std::string> scaled = ScaleValue(value, *divisor, decimal_separator)) {
      value = *scaled;
    } else {
      out.warning = "Wert ist keine verwendbare Zahl und bleibt unverändert: " +
                    Cp1252ToUtf8(element + "." + property + "=" + value);
    }
  }
  out.line = element + "." + property + "=" + value;
  return out;
}

}  // namespace fendrix

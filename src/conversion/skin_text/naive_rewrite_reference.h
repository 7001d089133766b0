#pragma once

// For tests and fuzzing only: the rewriting rule of one line written out as
// plainly as it reads, to hold RewriteLine to it. It shares nothing with the
// rewriter but the field and number helpers, so a slip in one shows as a
// difference from the other.

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/skin_text/factors.h"
#include "support/numbers.h"
#include "support/strings.h"

namespace fendrix::testing {

/// The reference's answer for one line.
struct NaiveRewrite {
  std::optional<std::string> line;    ///< nothing for an empty line
  std::optional<std::string> bitmap;  ///< the value of a bitmap line
  bool kept = false;                  ///< a scaled property kept its value
};

/// The rule, step by step, for one deciphered line.
inline NaiveRewrite NaiveRewriteLine(std::string_view line, const ConversionFactors& factors,
                                     char decimal_separator) {
  NaiveRewrite out;
  if (line.empty()) return out;
  const std::string key = GetField(line, 1, "=", 1);
  std::string value = GetField(line, 2, "=", 1);
  if (key == "Form") {
    out.line = std::string(line);
    return out;
  }
  for (const char* bitmap_key : {"gfxHintergrund", "gfxLautst\xE4rkeregler", "gfxSchluss",
                                 "gfxSongsuche", "gfxWunschliste"}) {
    if (key == bitmap_key) {
      out.bitmap = value;
      out.line = key + "=" + GetFileName(value, false) + ".bmp";
      return out;
    }
  }
  if (key.find('.') == std::string::npos) {
    out.line = std::string(line);
    return out;
  }
  const std::string element = GetField(key, 1, ".", 1);
  const std::string property = GetField(key, 2, ".", 1);
  bool scaled = true;
  double divisor = 0;
  double offset = 0;  // the centring of a layout that keeps its proportions
  if (property == "Left") {
    divisor = factors.x;
    offset = factors.offset_x;
  } else if (property == "Width") {
    divisor = factors.x;
  } else if (property == "Top") {
    divisor = factors.y;
    offset = factors.offset_y;
  } else if (property == "Height") {
    divisor = factors.y;
  } else if (property == "FontSize") {
    divisor = factors.font;
  } else {
    scaled = false;
  }
  if (scaled) {
    std::string text = value;
    if (decimal_separator != ',') {
      for (char& c : text) c = c == ',' ? decimal_separator : c;
    }
    const std::optional<double> number = ParseNumber(text, decimal_separator);
    const double quotient = number ? std::floor(*number / divisor) + offset : NAN;
    if (quotient >= -2147483648.0 && quotient <= 2147483647.0) {
      value = std::to_string(static_cast<long long>(quotient));
    } else {
      out.kept = true;
    }
  }
  out.line = element + "." + property + "=" + value;
  return out;
}

}  // namespace fendrix::testing

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "conversion/skin_text/factors.h"

// The rule by which one deciphered line of Skin.vsk is rewritten for a new
// resolution. Lines are code-page bytes of the form key=value.

namespace fendrix {

/// What becomes of one line.
struct RewrittenLine {
  /// The plain line to encipher and write; nothing for an empty line.
  std::optional<std::string> line;
  /// True for a bitmap line; `bitmap` then holds its value as found: the
  /// bitmap to scale (possibly empty).
  bool names_bitmap = false;
  std::string bitmap;
  /// The bitmap line is the background's.
  bool background = false;
  /// Set when a scaled property held no usable number and was copied as it
  /// stood; the text says which value (UTF-8).
  std::string warning;
};

/// Rewrites `line`: bitmap values become their base name with ".bmp"; the
/// Left/Width, Top/Height and FontSize properties are divided by the factors
/// and rounded down; everything else is copied. A scaled value that is not a
/// number, or whose result does not fit 32 bits, is kept unchanged with a
/// warning, so one bad value never costs the rest of the skin.
RewrittenLine RewriteLine(std::string_view line, const ConversionFactors& factors,
                          char decimal_separator);

}  // namespace fendrix

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/skin_text/factors.h"
#include "support/text_lines.h"

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

/// What LineRewriter made of a line: its first `kept` bytes, as they
/// stand, followed by the `tail` bytes it wrote. The cipher of a byte depends
/// only on its position in the line, so the two pieces can be enciphered
/// each at its place without ever being put together.
struct LineRewrite {
  std::size_t kept = 0;
  std::size_t tail = 0;
  /// For a bitmap line, its value as found (possibly empty), a view into
  /// the line given.
  std::string_view bitmap;
  /// False for an empty line, which is dropped: nothing was written.
  bool written = false;
  /// A bitmap line: `bitmap` holds its value.
  bool names_bitmap = false;
  /// A scaled property held no usable number and was copied as it stood.
  bool kept_value = false;
};

/// How much longer than its line a rewritten line can be: a scaled number
/// takes up to 11 characters where its value may have had 1, and a bitmap
/// name gains ".bmp".
inline constexpr std::size_t kRewriteGrowth = 16;

/// RewriteLine for a whole file, whose lines all share the factors and the
/// separator.
class LineRewriter {
 public:
  LineRewriter(const ConversionFactors& factors, char decimal_separator);

  /// Writes the tail of the rewritten line at `out`, which has room for
  /// `line`.size() + kRewriteGrowth bytes, and what it made of the line to
  /// `rewrite`; allocates nothing on the way for the lines a skin is made
  /// of. The kLinePadding bytes after `line` must be readable.
  void Rewrite(std::string_view line, char* out, LineRewrite* rewrite);

 private:
  // A value as scaled text, `size` 0 until it is first worked out.
  struct ScaledText {
    char text[7];
    std::uint8_t size;
  };
  // A short value other than a whole number ("12,5", "-3"), by its bytes.
  struct OtherValue {
    std::uint64_t key = 0;
    ScaledText scaled{};
  };
  // The values of a skin are positions and sizes on a screen, so the same
  // few thousand come back again and again: each is divided and written
  // once, then copied. The whole values below kWholes have a place each.
  static constexpr std::uint32_t kWholes = 4096;
  static constexpr int kOtherBits = 10;

  ScaledText* Remembered(std::string_view value, std::optional<std::uint32_t> digits, int divisor);
  char* WriteScaledValue(std::string_view value, int divisor, char* out);
  char* WorkOutScaledValue(std::string_view value, std::optional<std::uint32_t> digits, int divisor,
                           char* out) const;

  float divisors_[3];
  char decimal_separator_;
  std::vector<ScaledText> wholes_;  // kWholes for each divisor
  std::vector<OtherValue> others_;  // 2^kOtherBits
};

/// The warning for a line whose value was kept (UTF-8), given the line as
/// rewritten.
std::string KeptValueWarning(std::string_view rewritten_line);

/// The name a bitmap value is saved under in the new folder: its base name
/// (after the last backslash, before the last dot) followed by ".bmp".
std::string BitmapTargetName(std::string_view value);

}  // namespace fendrix

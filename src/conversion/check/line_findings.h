#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "conversion/check/skin_check.h"

namespace fendrix {

/// A bitmap that a line names, as the line gives it.
struct NamedBitmap {
  std::string value;  ///< code-page bytes
  std::size_t line = 0;
};

/// What the deciphered lines (code-page bytes, line i + 1 at index i) get
/// wrong in themselves: keys given twice, scaled values that are no number
/// or whose number depends on the decimal separator, keys and properties in
/// another letter case than the conversion knows, lines without "=" that
/// look like a key, and no background line. Lines marked in `noise` (the
/// later pieces of a split line) are skipped. The bitmaps the lines name go
/// to `bitmaps`.
void FindLineFindings(std::span<const std::string> plain, const std::vector<bool>& noise,
                      char decimal_separator, std::vector<CheckFinding>* findings,
                      std::vector<NamedBitmap>* bitmaps);

}  // namespace fendrix

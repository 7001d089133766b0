#pragma once

#include <cstdint>

namespace fendrix {

/// The three divisors of a conversion, as single-precision floats. A factor
/// above 1 shrinks, below 1 enlarges.
struct ConversionFactors {
  float x = 0;
  float y = 0;
  float font = 0;
  /// Added to every divided Left and Top: the centring of a layout whose
  /// proportions were kept. 0 for a stretch.
  std::int32_t offset_x = 0;
  std::int32_t offset_y = 0;
};

/// x = base width / new width and y = base height / new height, each formed
/// in double precision and stored as float; font = (y + x) / 2 in double from
/// the two stored floats, stored as float. The new sizes must not be 0.
ConversionFactors ComputeFactors(std::int32_t base_width, std::int32_t base_height,
                                 std::int32_t new_width, std::int32_t new_height);

/// The factors that keep a layout's proportions: the larger of ComputeFactors'
/// x and y for both axes and the font, so that everything fits, and the
/// offsets that centre the layout on the new screen (to the nearest pixel:
/// the layout's own width in floats is a hair off its whole number).
ConversionFactors KeepAspectFactors(std::int32_t base_width, std::int32_t base_height,
                                    std::int32_t new_width, std::int32_t new_height);

}  // namespace fendrix

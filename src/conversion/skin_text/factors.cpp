#include "conversion/skin_text/factors.h"

namespace fendrix {

ConversionFactors ComputeFactors(std::int32_t base_width, std::int32_t base_height,
                                 std::int32_t new_width, std::int32_t new_height) {
  ConversionFactors f;
  f.x = static_cast<float>(static_cast<double>(base_width) / static_cast<double>(new_width));
  f.y = static_cast<float>(static_cast<double>(base_height) / static_cast<double>(new_height));
  f.font = static_cast<float>((static_cast<double>(f.y) + static_cast<double>(f.x)) / 2.0);
  return f;
}

}  // namespace fendrix

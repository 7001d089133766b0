#include "conversion/skin_text/factors.h"

#include <algorithm>
#include <cmath>

namespace fendrix {

ConversionFactors ComputeFactors(std::int32_t base_width, std::int32_t base_height,
                                 std::int32_t new_width, std::int32_t new_height) {
  ConversionFactors f;
  f.x = static_cast<float>(static_cast<double>(base_width) / static_cast<double>(new_width));
  f.y = static_cast<float>(static_cast<double>(base_height) / static_cast<double>(new_height));
  f.font = static_cast<float>((static_cast<double>(f.y) + static_cast<double>(f.x)) / 2.0);
  return f;
}

ConversionFactors KeepAspectFactors(std::int32_t base_width, std::int32_t base_height,
                                    std::int32_t new_width, std::int32_t new_height) {
  const ConversionFactors stretch = ComputeFactors(base_width, base_height, new_width, new_height);
  ConversionFactors f;
  f.x = f.y = f.font = std::max(stretch.x, stretch.y);
  auto offset = [&](std::int32_t base, std::int32_t screen) {
    const double used = static_cast<double>(base) / static_cast<double>(f.x);
    return static_cast<std::int32_t>(std::max(0.0, std::nearbyint((screen - used) / 2.0)));
  };
  f.offset_x = offset(base_width, new_width);
  f.offset_y = offset(base_height, new_height);
  return f;
}

}  // namespace fendrix

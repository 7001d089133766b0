#include "app/layout.h"

#include <cmath>

namespace fendrix {

TwipsPerPixel TwipsPerPixelFor(int dpi_x, int dpi_y) {
  return {1440.0f / static_cast<float>(dpi_x), 1440.0f / static_cast<float>(dpi_y)};
}

int TwipsToPixels(double twips, float twips_per_pixel) {
  // nearbyint rounds in the default mode: to nearest, halves to even.
  return static_cast<int>(std::nearbyint(twips / twips_per_pixel));
}

PixelRect ToPixels(const TwipsRect& rect, const TwipsPerPixel& scale) {
  return {TwipsToPixels(rect.left, scale.x), TwipsToPixels(rect.top, scale.y),
          TwipsToPixels(rect.width, scale.x), TwipsToPixels(rect.height, scale.y)};
}

int FontHeightPixels(double points, int dpi) {
  return -static_cast<int>(std::lround(points * dpi / 72.0));
}

}  // namespace fendrix

#include "dialogs/compact_width.h"

#include <cmath>

namespace fendrix {

int LabelWidthPixels(int width_twips, float twips_per_pixel) {
  // nearbyint rounds in the default mode: to nearest, halves to even.
  return static_cast<int>(std::nearbyint(width_twips / twips_per_pixel));
}

int StatusCompactionWidth(int status_left, int status_right, int prefix_width) {
  return (status_right - status_left) - prefix_width + 80;
}

std::wstring PathTooltip(const std::wstring& path, const std::wstring& shown) {
  return shown.size() < path.size() ? path : std::wstring();
}

}  // namespace fendrix

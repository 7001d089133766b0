#include "app/preview_fit.h"

#include <cmath>

namespace fendrix {
namespace {

// Shrinks both sides to `percent`, each to the nearest whole unit.
void ShrinkTo(int percent, int* width, int* height) {
  *width = static_cast<int>(std::nearbyint(*width / 100.0 * percent));
  *height = static_cast<int>(std::nearbyint(*height / 100.0 * percent));
}

// The percent is formed as 100 / picture * box in double and then cut, so a
// quotient a hair below a whole number (100 / 322 * 161) loses a full step.
int PercentThatFits(int box, int picture) {
  return static_cast<int>(std::floor(100.0 / picture * box));
}

}  // namespace

PreviewPlacement FitPreview(int box_width, int box_height, int picture_width, int picture_height) {
  int width = picture_width, height = picture_height;
  if (box_width < width) ShrinkTo(PercentThatFits(box_width, width), &width, &height);
  if (box_height < height) ShrinkTo(PercentThatFits(box_height, height), &width, &height);
  return {(box_width - width) / 2.0, (box_height - height) / 2.0, width, height};
}

}  // namespace fendrix

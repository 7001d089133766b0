#pragma once

namespace fendrix {

/// Where a preview is drawn in its box, in the box's units.
struct PreviewPlacement {
  double x = 0;
  double y = 0;
  int width = 0;
  int height = 0;
};

/// Fits a picture into a box, keeping its proportions, and centres it.
/// A picture too wide or too tall is shrunk in whole percent steps (so it may
/// end up to one percent smaller than what would fit); a smaller picture is
/// never enlarged. All sizes are in one unit, whole numbers.
PreviewPlacement FitPreview(int box_width, int box_height, int picture_width, int picture_height);

}  // namespace fendrix

#pragma once

#include <windows.h>

#include "app/layout.h"
#include "conversion/imaging/image.h"

// A picture box draws into a picture of its own size kept in memory and
// paints from it, so what was drawn survives every repaint and can be read
// back (WM_PRINTCLIENT).

namespace fendrix {

/// What a picture box is created from.
struct PictureBoxArgs {
  HWND parent = nullptr;
  int id = 0;
  PixelRect rect;
};

/// Creates an empty picture box showing the dialog colour.
HWND CreatePictureBox(const PictureBoxArgs& args);

/// Empties the box: it shows the dialog colour again.
void ClearPictureBox(HWND box);

/// Draws `image` stretched to `target` (pixels of the box) over what the box
/// holds, and repaints it.
void DrawIntoPictureBox(HWND box, const Image& image, const PixelRect& target);

}  // namespace fendrix

#pragma once

#include <windows.h>

#include <string>

namespace fendrix {

/// The parts of a path label that CompactPathLabel reads and writes.
struct PathLabel {
  /// The static control that shows the path.
  HWND label = nullptr;
  /// A tooltip control holding a tool for `label`.
  HWND tooltip = nullptr;
  /// The full path.
  std::wstring tag;
  /// The label's width as laid out, in twips.
  int width_twips = 0;
};

/// Shows the path in the label shortened with "..." to the label's width,
/// measured in the font of `owner_form`'s own drawing context, and makes the
/// full path the label's tooltip when the shown text is shorter than it.
void CompactPathLabel(HWND owner_form, const PathLabel& path_label, float twips_per_pixel_x);

}  // namespace fendrix

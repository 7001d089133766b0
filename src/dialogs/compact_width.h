#pragma once

#include <string>

// The widths and the tooltip rule of the two places that show a path
// shortened with "...": the skins-folder label and the picker's status line.

namespace fendrix {

/// A label's width in twips as whole pixels, the nearest, halves to even.
int LabelWidthPixels(int width_twips, float twips_per_pixel);

/// The width the picker's status line shortens a path to: the room beside
/// the prefix, plus 80 pixels on top.
int StatusCompactionWidth(int status_left, int status_right, int prefix_width);

/// The label's tooltip: the full path when the shown text is shorter than it,
/// else nothing (so a tooltip of an earlier, longer path is cleared).
std::wstring PathTooltip(const std::wstring& path, const std::wstring& shown);

}  // namespace fendrix

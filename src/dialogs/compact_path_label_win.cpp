#include "dialogs/compact_path_label.h"

#include <shlwapi.h>

#include "dialogs/compact_width.h"
#include "dialogs/tooltip.h"

namespace fendrix {

void CompactPathLabel(HWND owner_form, const PathLabel& path_label, float twips_per_pixel_x) {
  int width = LabelWidthPixels(path_label.width_twips, twips_per_pixel_x);
  wchar_t buffer[MAX_PATH] = {};
  lstrcpynW(buffer, path_label.tag.c_str(), MAX_PATH);
  // Measured in the font the owner's own context carries (the main window
  // keeps its window font selected there), not in the label's smaller font.
  HDC dc = GetDC(owner_form);
  // Whatever the call leaves in the buffer is shown, also when it fails.
  PathCompactPathW(dc, buffer, width);
  ReleaseDC(owner_form, dc);
  std::wstring shown = buffer;
  SetWindowTextW(path_label.label, shown.c_str());
  SetToolTipText(path_label.tooltip, path_label.label, PathTooltip(path_label.tag, shown));
}

}  // namespace fendrix

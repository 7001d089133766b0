#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include <vector>

#include "cli/layout_png.h"
#include "conversion/check/skin_check.h"
#include "support/file_system.h"

namespace fendrix {

/// The layout a resolution folder describes for a screen of `width` x
/// `height`: its background (the "gfxHintergrund" bitmap, when it can be
/// found and read) and a box for every element that has a position or a
/// size; a missing Left or Top counts as 0, a missing Width or Height as 0.
/// False, with `err`, when the folder's Skin.vsk cannot be read.
bool LayoutOfFolder(FileSystem& fs, const std::filesystem::path& folder, std::int32_t width,
                    std::int32_t height, char decimal_separator, LayoutDrawing* drawing,
                    std::string* err);

/// Flags the boxes of the elements that `findings` are about and lists the
/// findings, found in the folder `folder_name`, as the drawing's notes: as
/// many as fit its height, the rest counted.
void MarkFindings(const std::vector<CheckFinding>& findings, const std::string& folder_name,
                  LayoutDrawing* drawing);

}  // namespace fendrix

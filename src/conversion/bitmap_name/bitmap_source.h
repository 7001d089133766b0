#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "support/file_system.h"

// Where the picture behind a bitmap name of a skin lies. The names are
// matched without case, as Windows would, and never through a link or
// junction: through one a skin could have this elevated program copy a file
// its maker may not read into the skin.

namespace fendrix {

/// What became of the search for a bitmap's picture.
enum class BitmapLookup { kFound, kRefusedName, kThroughLink, kMissing };

/// Finds the picture file the bitmap `value` (code-page bytes, relative to
/// `base_folder`) names. `target_name` is the name it gets in the new folder
/// and must be a safe file name as well. Anything but kFound comes with
/// `warning` in the words shown to the user: a name is unsafe, the path runs
/// through a link or junction, or the file is missing.
BitmapLookup FindBitmapSource(FileSystem& fs, const std::filesystem::path& base_folder,
                      std::string_view value, std::string_view target_name,
                      std::filesystem::path* source, std::string* warning);

/// The file `target_name` (code-page bytes) in `base_folder`, matched
/// without case: the .bmp that goes over as it is when a picture is too
/// small to scale. False when there is no such file or it is a link.
bool FindSameNameBitmap(FileSystem& fs, const std::filesystem::path& base_folder,
                        std::string_view target_name, std::filesystem::path* found);

}  // namespace fendrix

#pragma once

#include <string>
#include <string_view>

namespace fendrix {

/// The name a bitmap value is saved under in the new folder: its base name
/// (after the last backslash, before the last dot) followed by ".bmp".
/// Every scaled bitmap lands directly in the new resolution folder, whatever
/// folder the value names.
std::string BitmapTargetName(std::string_view value);

}  // namespace fendrix

#include "conversion/bitmap_name/target_name.h"

#include "support/strings.h"

namespace fendrix {

std::string BitmapTargetName(std::string_view value) { return GetFileName(value, false) + ".bmp"; }

}  // namespace fendrix

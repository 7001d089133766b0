#include "conversion/bitmap_name/bitmap_source.h"

#include "conversion/bitmap_name/bitmap_path.h"
#include "support/code_page.h"
#include "support/file_helpers.h"
#include "support/path_text.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

// Finds each part of `relative` in turn; false, with `found` at the part,
// when a part is a link or junction.
bool FindRelative(FileSystem& fs, const fs::path& folder, const fs::path& relative,
                  fs::path* found) {
  *found = folder;
  for (const fs::path& part : relative) {
    *found = FindEntry(fs, *found, part);
    if (fs.IsLink(*found)) return false;
  }
  return true;
}

}  // namespace

BitmapLookup FindBitmapSource(FileSystem& fs, const fs::path& base_folder, std::string_view value,
                              std::string_view target_name, fs::path* source,
                              std::string* warning) {
  fs::path relative;
  std::string why;
  if (!ResolveBitmapPath(value, &relative, &why) || !IsSafeFileName(target_name, &why)) {
    *warning = "Bildname wird nicht gelesen (" + why + "): " + Cp1252ToUtf8(value);
    return BitmapLookup::kRefusedName;
  }
  if (!FindRelative(fs, base_folder, relative, source)) {
    *warning = "Bild wird nicht gelesen, sein Pfad ist eine Verknüpfung: " + DisplayPath(*source);
    return BitmapLookup::kThroughLink;
  }
  if (!FileExists(fs, *source)) {
    *warning = "Bild fehlt: " + DisplayPath(*source);
    return BitmapLookup::kMissing;
  }
  return BitmapLookup::kFound;
}

bool FindSameNameBitmap(FileSystem& fs, const fs::path& base_folder, std::string_view target_name,
                        fs::path* found) {
  *found = FindEntry(fs, base_folder, PathFromCp1252(target_name));
  return FileExists(fs, *found) && !fs.IsLink(*found);
}

}  // namespace fendrix

// A bitmap value of Skin.vsk decides which file an elevated program reads and
// which file it writes. Whatever the value, an accepted name must stay inside
// the base folder and the written name must be one plain file name.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "conversion/bitmap_name/bitmap_path.h"
#include "conversion/bitmap_name/target_name.h"
#include "conversion/skin_text/line_rewriter.h"
#include "fuzz_check.h"
#include "support/path_text.h"

namespace {

namespace fs = std::filesystem;

void CheckStaysInside(const fs::path& relative) {
  FUZZ_CHECK(!relative.empty());
  FUZZ_CHECK(relative.is_relative());
  FUZZ_CHECK(!relative.has_root_name());
  FUZZ_CHECK(!relative.has_root_directory());
  int parts = 0;
  for (const fs::path& part : relative) {
    std::string name = fendrix::PathToUtf8(part);
    FUZZ_CHECK(!name.empty() && name != "." && name != "..");
    ++parts;
  }
  FUZZ_CHECK(parts >= 1);
  const fs::path base = fs::path("/skins/Demo/1280x1024");
  const fs::path joined = (base / relative).lexically_normal();
  FUZZ_CHECK(joined.lexically_relative(base).begin()->string() != "..");
  FUZZ_CHECK(joined.parent_path().string().starts_with(base.string()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view value(reinterpret_cast<const char*>(data), size);

  fs::path relative;
  std::string why;
  if (fendrix::ResolveBitmapPath(value, &relative, &why)) {
    CheckStaysInside(relative);
    // The rules reject what Windows would read as something else: a part that
    // ends in a dot or blank, a stream, a device.
    for (char c : value) FUZZ_CHECK(c != ':');
  } else {
    FUZZ_CHECK(!why.empty());
  }

  std::string target = fendrix::BitmapTargetName(value);
  FUZZ_CHECK(target.ends_with(".bmp"));
  std::string target_why;
  if (fendrix::IsSafeFileName(target, &target_why)) {
    fs::path name = fendrix::PathFromCp1252(target);
    FUZZ_CHECK(name.filename() == name);
    FUZZ_CHECK(!name.has_parent_path());
    FUZZ_CHECK(target.find_first_of("\\/:") == std::string::npos);
  }

  // The same value as the run meets it: the value of a bitmap line.
  std::string line = "gfxHintergrund=" + std::string(value);
  fendrix::RewrittenLine rewritten = fendrix::RewriteLine(line, {1.25f, 1.25f, 1.25f}, ',');
  FUZZ_CHECK(rewritten.line.has_value() && rewritten.names_bitmap);
  FUZZ_CHECK(rewritten.bitmap == value.substr(0, value.find('=')));
  return 0;
}

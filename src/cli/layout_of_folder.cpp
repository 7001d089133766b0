#include "cli/layout_of_folder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <vector>

#include "cli/counted.h"
#include "conversion/bitmap_name/bitmap_keys.h"
#include "conversion/bitmap_name/bitmap_source.h"
#include "conversion/bitmap_name/target_name.h"
#include "conversion/imaging/picture_decoder.h"
#include "conversion/skin_text/cipher.h"
#include "conversion/skin_text/skin_elements.h"
#include "repository/skin_repository.h"
#include "support/code_page.h"
#include "support/file_helpers.h"
#include "support/path_text.h"
#include "support/strings.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

std::int32_t Pixels(const std::optional<ElementValue>& value) {
  if (!value) return 0;
  const double whole = std::floor(value->value);
  if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
        whole <= std::numeric_limits<std::int32_t>::max())) {
    return 0;
  }
  return static_cast<std::int32_t>(whole);
}

// The background as the player would find it; nothing when it cannot be
// found or read, since the boxes are worth seeing anyway.
Image ReadBackground(FileSystem& fs, const fs::path& folder,
                     const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (GetField(line, 1, "=") != kBackgroundKey) continue;
    const std::string value = GetField(line, 2, "=");
    fs::path source;
    std::string why, bytes;
    Image picture;
    if (FindBitmapSource(fs, folder, value, BitmapTargetName(value), &source, &why) ==
            BitmapLookup::kFound &&
        fs.ReadFile(source, &bytes, &why) &&
        DecodePicture({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, &picture,
                      &why)) {
      return picture;
    }
    return {};
  }
  return {};
}

}  // namespace

bool LayoutOfFolder(FileSystem& fs, const fs::path& folder, std::int32_t width, std::int32_t height,
                    char decimal_separator, LayoutDrawing* drawing, std::string* err) {
  const fs::path skin_file = FindEntry(fs, folder, PathFromUtf8(kSkinFileName));
  std::string stored;
  if (!fs.ReadFile(skin_file, &stored, err)) return false;
  const std::vector<std::string> lines = DecipherLines(stored);

  drawing->width = width;
  drawing->height = height;
  drawing->background = ReadBackground(fs, folder, lines);
  drawing->boxes.clear();
  for (const SkinElement& element : ReadSkinElements(lines, decimal_separator)) {
    if (!element.left && !element.top && !element.width && !element.height) continue;
    drawing->boxes.push_back({Cp1252ToUtf8(element.name), Pixels(element.left), Pixels(element.top),
                              Pixels(element.width), Pixels(element.height)});
  }
  return true;
}

void MarkFindings(const std::vector<CheckFinding>& findings, const std::string& folder_name,
                  LayoutDrawing* drawing) {
  for (LayoutBox& box : drawing->boxes) {
    box.flagged = std::any_of(findings.begin(), findings.end(), [&](const CheckFinding& finding) {
      return finding.element == box.name;
    });
  }
  drawing->notes.clear();
  if (findings.empty()) return;
  drawing->notes.push_back(Counted(findings.size(), "Befund", "Befunde") + " in " + folder_name +
                           ":");
  const std::size_t room =
      static_cast<std::size_t>(std::max<std::int32_t>(2, drawing->height / kNoteLineHeight - 1));
  const std::size_t shown = findings.size() < room ? findings.size() : room - 1;
  for (std::size_t i = 0; i < shown; ++i) {
    const CheckFinding& finding = findings[i];
    drawing->notes.push_back(
        (finding.line ? "Zeile " + std::to_string(*finding.line) + ": " : std::string()) +
        finding.text);
  }
  if (shown < findings.size()) {
    drawing->notes.push_back("... und " + std::to_string(findings.size() - shown) + " weitere");
  }
}

}  // namespace fendrix

#include "conversion/bitmap_name/bitmap_path.h"

#include <array>
#include <vector>

#include "support/path_text.h"
#include "support/strings.h"

namespace fendrix {
namespace {

bool IsDeviceName(std::string_view name) {
  // Windows treats "NUL.bmp" as the device too: the part before the first dot counts.
  std::string stem = AsciiLower(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  static constexpr std::array<std::string_view, 6> kPlain = {"con", "prn",    "aux",
                                                             "nul", "conin$", "conout$"};
  for (std::string_view device : kPlain) {
    if (stem == device) return true;
  }
  if (stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '0' &&
      stem[3] <= '9') {
    return true;
  }
  return false;
}

}  // namespace

bool IsSafeFileName(std::string_view name, std::string* why) {
  if (name.empty() || name == "." || name == "..") {
    *why = name.empty() ? "leerer Name" : "verweist aus dem Skin-Ordner";
    return false;
  }
  if (name.size() > 255) {
    *why = "Name länger als 255 Zeichen";
    return false;
  }
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) {
      *why = c == ':' ? "Laufwerk oder Datenstrom im Namen" : "unzulässiges Zeichen im Namen";
      return false;
    }
  }
  if (name.back() == '.' || name.back() == ' ') {
    *why = "Name endet mit Punkt oder Leerzeichen";
    return false;
  }
  if (IsDeviceName(name)) {
    *why = "Gerätename";
    return false;
  }
  return true;
}

bool ResolveBitmapPath(std::string_view value, std::filesystem::path* relative, std::string* why) {
  if (value.empty()) {
    *why = "leerer Name";
    return false;
  }
  if (value.front() == '\\' || value.front() == '/') {
    *why = "absoluter Pfad";
    return false;
  }
  std::string normalized = ReplaceAll(value, "/", "\\");
  std::filesystem::path result;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = normalized.find('\\', start);
    std::string_view part =
        std::string_view(normalized)
            .substr(start, end == std::string::npos ? std::string::npos : end - start);
    bool last = end == std::string::npos;
    if (part == "..") {
      *why = "verweist aus dem Skin-Ordner";
      return false;
    }
    // "." and the empty part of "a\\b" stay in the same folder.
    if (!(part.empty() && !last) && part != ".") {
      if (!IsSafeFileName(part, why)) return false;
      result /= PathFromCp1252(part);
    }
    if (last) break;
    start = end + 1;
  }
  if (result.empty()) {
    *why = "leerer Name";
    return false;
  }
  *relative = result;
  return true;
}

}  // namespace fendrix

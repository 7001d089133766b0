#include "conversion/check/skin_check.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>
#include <unordered_map>

#include "conversion/bitmap_name/bitmap_source.h"
#include "conversion/bitmap_name/target_name.h"
#include "conversion/check/split_lines.h"
#include "conversion/imaging/bmp_codec.h"
#include "conversion/imaging/picture_decoder.h"
#include "conversion/skin_text/cipher.h"
#include "conversion/skin_text/line_rewriter.h"
#include "conversion/skin_text/skin_elements.h"
#include "repository/skin_repository.h"
#include "support/code_page.h"
#include "support/file_helpers.h"
#include "support/path_text.h"
#include "support/strings.h"
#include "support/text_lines.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

// Scaled along with every conversion, named by no line.
constexpr std::array<std::string_view, 4> kArrowBitmaps = {"ArrowT.bmp", "ArrowB.bmp",
                                                           "ArrowTD.bmp", "ArrowBD.bmp"};

// A number as short as it reads back: 1200, 8.25.
std::string Number(double value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

class FolderCheck {
 public:
  FolderCheck(FileSystem& fs, const CheckRequest& request, std::vector<CheckFinding>& findings)
      : fs_(fs), request_(request), findings_(findings) {}

  void Add(std::optional<std::size_t> line, std::string_view kind, std::optional<fs::path> file,
           std::string text) {
    findings_.push_back({line, std::string(kind), std::move(file), std::move(text)});
  }

  void Lines(std::span<const std::string> plain);
  void Bitmap(std::string_view value, std::optional<std::size_t> line);
  void Placement(const SkinElement& element);
  bool UnusedFiles(std::string* err);

 private:
  void Axis(const SkinElement& element, const std::optional<ElementValue>& position,
            const std::optional<ElementValue>& size, std::string_view position_name,
            std::string_view size_name, std::int32_t screen);

  FileSystem& fs_;
  const CheckRequest& request_;
  std::vector<CheckFinding>& findings_;
  std::vector<fs::path> used_;  // the files that lines name, as found
};

void FolderCheck::Lines(std::span<const std::string> plain) {
  // Factors of 1: a value the conversion would keep with a warning is kept
  // at any factor, short of a number near the 32-bit limit.
  const ConversionFactors unit{1, 1, 1};
  std::unordered_map<std::string, std::size_t> first_line;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const std::string& line = plain[i];
    if (line.find('=') == std::string::npos) continue;
    const std::string key = GetField(line, 1, "=");
    if (auto [at, added] = first_line.try_emplace(key, i + 1); !added && !key.empty()) {
      Add(i + 1, kDuplicateKey, std::nullopt,
          "Schlüssel steht schon in Zeile " + std::to_string(at->second) + ": " +
              Cp1252ToUtf8(key));
    }
    // Only dotted keys and bitmap keys are rewritten.
    if (key.find('.') == std::string::npos && !key.starts_with("gfx")) continue;
    const RewrittenLine rewritten = RewriteLine(line, unit, request_.decimal_separator);
    if (!rewritten.warning.empty()) Add(i + 1, kNotANumber, std::nullopt, rewritten.warning);
    if (rewritten.names_bitmap) Bitmap(rewritten.bitmap, i + 1);
  }
}

// What the conversion would do with the bitmap `value` names, step by step.
void FolderCheck::Bitmap(std::string_view value, std::optional<std::size_t> line) {
  const std::optional<fs::path> named =
      value.empty() ? std::nullopt : std::optional(PathFromCp1252(value));
  fs::path source;
  std::string why;
  switch (FindBitmapSource(fs_, request_.folder, value, BitmapTargetName(value), &source, &why)) {
    case BitmapLookup::kFound:
      break;
    case BitmapLookup::kRefusedName:
    case BitmapLookup::kThroughLink:
      Add(line, kRefusedBitmap, named, why);
      return;
    case BitmapLookup::kMissing:
      Add(line, kMissingBitmap, named, why);
      return;
  }
  used_.push_back(source);
  std::string bytes;
  if (!fs_.ReadFile(source, &bytes, &why)) {
    Add(line, kUnreadableBitmap, named, why);
    return;
  }
  const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           bytes.size());
  PixelRows rows;
  Image picture;
  if (!FindBmp24Rows(data, &rows) && !DecodePicture(data, &picture, &why)) {
    Add(line, kUnreadableBitmap, named,
        "Bild kann nicht gelesen werden: " + DisplayPath(source) + " (" + why + ")");
  }
}

void FolderCheck::Placement(const SkinElement& element) {
  Axis(element, element.left, element.width, "Left", "Width", request_.width);
  Axis(element, element.top, element.height, "Top", "Height", request_.height);
}

// An element reaches off the screen along one axis when its position is
// negative or its far edge lies beyond the screen; without a size, its
// position alone counts.
void FolderCheck::Axis(const SkinElement& element, const std::optional<ElementValue>& position,
                       const std::optional<ElementValue>& size, std::string_view position_name,
                       std::string_view size_name, std::int32_t screen) {
  if (!position) return;
  const double end = position->value + (size ? size->value : 0);
  if (position->value >= 0 && end <= screen) return;
  std::string how = std::string(position_name) + " " + Number(position->value);
  if (position->value < 0) {
    how += " < 0";
  } else {
    if (size)
      how += " + " + std::string(size_name) + " " + Number(size->value) + " = " + Number(end);
    how += " > " + std::to_string(screen);
  }
  std::string lines =
      size ? "Zeilen " + std::to_string(position->line) + " und " + std::to_string(size->line)
           : "Zeile " + std::to_string(position->line);
  Add(position->line, kOffScreen, std::nullopt,
      "Element " + Cp1252ToUtf8(element.name) + " liegt außerhalb des Bildschirms " +
          std::to_string(request_.width) + "x" + std::to_string(request_.height) + ": " + how +
          " (" + lines + ")");
}

bool IsAside(const fs::path& name) {
  if (NamesEqualIgnoringCase(name, PathFromUtf8(kSkinFileName)) ||
      NamesEqualIgnoringCase(name, PathFromUtf8(kBackgroundName))) {
    return true;
  }
  return std::any_of(kArrowBitmaps.begin(), kArrowBitmaps.end(), [&](std::string_view arrow) {
    return NamesEqualIgnoringCase(name, PathFromUtf8(arrow));
  });
}

bool FolderCheck::UnusedFiles(std::string* err) {
  std::vector<DirectoryEntry> entries;
  if (!fs_.ListDirectory(request_.folder, &entries, err)) return false;
  std::vector<fs::path> unused;
  for (const DirectoryEntry& entry : entries) {
    if (entry.is_directory || IsAside(entry.name)) continue;
    if (std::find(used_.begin(), used_.end(), request_.folder / entry.name) != used_.end())
      continue;
    unused.push_back(entry.name);
  }
  std::sort(unused.begin(), unused.end());  // the same report on every file system
  for (fs::path& name : unused) {
    std::string text = "keine Zeile nennt die Datei: " + PathToUtf8(name);
    Add(std::nullopt, kUnusedFile, std::move(name), std::move(text));
  }
  return true;
}

}  // namespace

bool CheckSkinFolder(FileSystem& fs, const CheckRequest& request,
                     std::vector<CheckFinding>* findings, std::string* err) {
  findings->clear();
  const fs::path skin_file = FindEntry(fs, request.folder, PathFromUtf8(kSkinFileName));
  if (!FileExists(fs, skin_file)) {
    *err = "Skin-Datei fehlt: " + DisplayPath(skin_file);
    return false;
  }
  if (fs.IsLink(skin_file)) {
    *err = "Skin-Datei wird nicht gelesen, sie ist eine Verknüpfung: " + DisplayPath(skin_file);
    return false;
  }
  std::string text;
  if (!fs.ReadFile(skin_file, &text, err)) return false;
  std::vector<std::string_view> stored;
  LineReader reader(text);
  for (std::string_view line; reader.Next(&line);) stored.push_back(line);
  const std::vector<std::string> plain = DecipherLines(text);

  FolderCheck check(fs, request, *findings);
  for (const SplitLine& split : FindSplitLines(text, stored)) {
    check.Add(
        split.first + 1, kSplitLine, std::nullopt,
        "Die verschlüsselte Zeile enthält ein Wagenrücklaufzeichen und zerfällt in " +
            std::to_string(split.pieces) +
            " Zeilen (ein Zeichen davor ändern oder einfügen hilft): " + Cp1252ToUtf8(split.plain));
  }
  check.Lines(plain);
  for (const SkinElement& element : ReadSkinElements(plain, request.decimal_separator)) {
    check.Placement(element);
  }
  for (std::string_view arrow : kArrowBitmaps) {
    if (FileExists(fs, FindEntry(fs, request.folder, PathFromUtf8(arrow)))) check.Bitmap(arrow, {});
  }
  if (!check.UnusedFiles(err)) return false;
  std::stable_sort(findings->begin(), findings->end(), [](const auto& a, const auto& b) {
    return a.line.value_or(SIZE_MAX) < b.line.value_or(SIZE_MAX);
  });
  return true;
}

}  // namespace fendrix

#include "conversion/check/skin_check.h"

#include <algorithm>
#include <span>

#include "conversion/bitmap_name/bitmap_keys.h"
#include "conversion/bitmap_name/bitmap_source.h"
#include "conversion/bitmap_name/target_name.h"
#include "conversion/check/element_findings.h"
#include "conversion/check/line_findings.h"
#include "conversion/check/split_lines.h"
#include "conversion/imaging/bmp_codec.h"
#include "conversion/imaging/picture_decoder.h"
#include "conversion/skin_text/cipher.h"
#include "conversion/skin_text/skin_file_rewrite.h"
#include "repository/skin_repository.h"
#include "support/code_page.h"
#include "support/file_helpers.h"
#include "support/path_text.h"
#include "support/strings.h"
#include "support/text_lines.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

class FolderCheck {
 public:
  FolderCheck(FileSystem& fs, const CheckRequest& request, std::vector<CheckFinding>& findings)
      : fs_(fs), request_(request), findings_(findings) {}

  void Add(std::optional<std::size_t> line, std::string_view kind, std::optional<fs::path> file,
           std::string text) {
    findings_.push_back({line, std::string(kind), std::move(file), std::move(text)});
  }

  void Bitmap(std::string_view value, std::optional<std::size_t> line);
  bool UnusedFiles(const fs::path& folder, std::string* err);

 private:
  FileSystem& fs_;
  const CheckRequest& request_;
  std::vector<CheckFinding>& findings_;
  std::vector<fs::path> used_;  // the files that lines name, as found
};

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

bool IsAside(const fs::path& name) {
  if (NamesEqualIgnoringCase(name, PathFromUtf8(kSkinFileName)) ||
      NamesEqualIgnoringCase(name, PathFromUtf8(kBackgroundName))) {
    return true;
  }
  return std::any_of(kArrowBitmaps.begin(), kArrowBitmaps.end(), [&](std::string_view arrow) {
    return NamesEqualIgnoringCase(name, PathFromUtf8(arrow));
  });
}

// The files of `folder` and its sub-folders that no line names; links are
// not followed, as the conversion follows none.
bool FolderCheck::UnusedFiles(const fs::path& folder, std::string* err) {
  std::vector<DirectoryEntry> entries;
  if (!fs_.ListDirectory(folder, &entries, err)) return false;
  // The same report on every file system.
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  const fs::path relative = folder.lexically_relative(request_.folder);
  for (const DirectoryEntry& entry : entries) {
    const fs::path path = folder / entry.name;
    if (fs_.IsLink(path)) continue;
    if (entry.is_directory) {
      if (!UnusedFiles(path, err)) return false;
      continue;
    }
    if ((folder == request_.folder && IsAside(entry.name)) ||
        std::find(used_.begin(), used_.end(), path) != used_.end()) {
      continue;
    }
    const fs::path name = (relative / entry.name).lexically_normal();
    Add(std::nullopt, kUnusedFile, name, "keine Zeile nennt die Datei: " + PathToUtf8(name));
  }
  return true;
}

}  // namespace

bool CheckSkinFolder(FileSystem& fs, const CheckRequest& request,
                     std::vector<CheckFinding>* findings, std::string* err) {
  findings->clear();
  fs::path skin_file;
  if (!FindSkinFileToRead(fs, request.folder, &skin_file, err)) return false;
  std::string text;
  if (!fs.ReadFile(skin_file, &text, err)) return false;
  std::vector<std::string_view> stored;
  LineReader reader(text);
  for (std::string_view line; reader.Next(&line);) stored.push_back(line);
  const std::vector<std::string> plain = DecipherLines(text);

  FolderCheck check(fs, request, *findings);
  std::vector<bool> noise(plain.size(), false);
  for (const SplitLine& split : FindSplitLines(text, stored)) {
    check.Add(
        split.first + 1, kSplitLine, std::nullopt,
        "Die verschlüsselte Zeile enthält ein Wagenrücklaufzeichen und zerfällt in " +
            std::to_string(split.pieces) +
            " Zeilen (ein Zeichen davor ändern oder einfügen hilft): " + Cp1252ToUtf8(split.plain));
    for (std::size_t piece = 1; piece < split.pieces; ++piece) noise[split.first + piece] = true;
  }
  std::vector<NamedBitmap> bitmaps;
  FindLineFindings(plain, noise, request.decimal_separator, findings, &bitmaps);
  for (const NamedBitmap& bitmap : bitmaps) check.Bitmap(bitmap.value, bitmap.line);
  FindElementFindings(plain, request, findings);
  for (std::string_view arrow : kArrowBitmaps) {
    if (FileExists(fs, FindEntry(fs, request.folder, PathFromUtf8(arrow)))) check.Bitmap(arrow, {});
  }
  if (!check.UnusedFiles(request.folder, err)) return false;
  std::stable_sort(findings->begin(), findings->end(), [](const auto& a, const auto& b) {
    return a.line.value_or(SIZE_MAX) < b.line.value_or(SIZE_MAX);
  });
  return true;
}

}  // namespace fendrix

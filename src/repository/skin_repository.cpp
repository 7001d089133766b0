#include "repository/skin_repository.h"

#include "support/file_helpers.h"
#include "support/numbers.h"
#include "support/path_text.h"
#include "support/strings.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

std::vector<DirectoryEntry> ListFolders(FileSystem& fs, const fs::path& folder) {
  std::vector<DirectoryEntry> entries;
  std::string ignored;
  if (!fs.ListDirectory(folder, &entries, &ignored)) return {};
  std::erase_if(entries, [](const DirectoryEntry& e) { return !e.is_directory; });
  return entries;
}

// The resolution folders with their parsed numbers, in enumeration order.
std::vector<std::pair<std::string, std::optional<BaseResolution>>> ResolutionFolders(
    FileSystem& fs, const fs::path& skin_folder, char decimal_separator) {
  std::vector<std::pair<std::string, std::optional<BaseResolution>>> found;
  for (const DirectoryEntry& entry : ListFolders(fs, skin_folder)) {
    std::string name = PathToUtf8(entry.name);
    std::string width = GetField(name, 1, "x"), height = GetField(name, 2, "x");
    if (!IsNumeric(width, decimal_separator) || !IsNumeric(height, decimal_separator)) continue;
    if (!HoldsSkinFile(fs, skin_folder / entry.name)) continue;
    found.emplace_back(name, ParseResolutionName(name, decimal_separator));
  }
  return found;
}

}  // namespace

std::optional<BaseResolution> ParseResolutionName(std::string_view name, char decimal_separator) {
  std::optional<double> width = ParseNumber(GetField(name, 1, "x"), decimal_separator);
  std::optional<double> height = ParseNumber(GetField(name, 2, "x"), decimal_separator);
  if (!width || !height) return std::nullopt;
  std::optional<std::int16_t> w = RoundToInt16(*width), h = RoundToInt16(*height);
  if (!w || !h) return std::nullopt;
  return BaseResolution{std::string(name), *w, *h};
}

bool HoldsSkinFile(FileSystem& fs, const fs::path& folder) {
  return FileExists(fs, FindEntry(fs, folder, PathFromUtf8(kSkinFileName)));
}

bool IsSkinName(const fs::path& skin) {
  return !skin.empty() && skin == skin.filename() && skin != "." && skin != "..";
}

bool FindSkinFolder(FileSystem& fs, const fs::path& skins_path, const fs::path& skin,
                    fs::path* folder, std::string* err) {
  *folder = FindEntry(fs, skins_path, skin);
  if (IsSkinName(skin) && FolderExists(fs, *folder)) return true;
  *err = "Skin nicht gefunden: " + DisplayPath(*folder);
  return false;
}

std::optional<fs::path> DefaultSkinsPath(const fs::path& program_folder) {
  std::string folder = PathToUtf8(program_folder);
  if (folder.size() < 6 || !folder.ends_with("Tools")) return std::nullopt;
  return PathFromUtf8(folder.substr(0, folder.size() - 6)) / "Skins";
}

bool ListSkins(FileSystem& fs, const fs::path& skins_path, std::vector<fs::path>* skins,
               std::string* err) {
  std::vector<DirectoryEntry> entries;
  if (!fs.ListDirectory(skins_path, &entries, err)) return false;
  skins->clear();
  for (const DirectoryEntry& entry : entries) {
    if (entry.is_directory) skins->push_back(entry.name);
  }
  return true;
}

std::vector<std::string> ListResolutionFolders(FileSystem& fs, const fs::path& skins_path,
                                               const fs::path& skin, char decimal_separator) {
  std::vector<std::string> names;
  for (auto& [name, parsed] : ResolutionFolders(fs, skins_path / skin, decimal_separator)) {
    names.push_back(name);
  }
  return names;
}

std::optional<BaseResolution> GetHighestBaseResolution(FileSystem& fs, const fs::path& skins_path,
                                                       const fs::path& skin,
                                                       char decimal_separator) {
  std::int16_t best_width = 0, best_height = 0;
  for (auto& [name, parsed] : ResolutionFolders(fs, skins_path / skin, decimal_separator)) {
    // A number beyond 16 bits cannot be a screen size: such a folder is skipped.
    if (!parsed) continue;
    if (parsed->width > best_width ||
        (parsed->width == best_width && parsed->height > best_height)) {
      best_width = parsed->width;
      best_height = parsed->height;
    }
  }
  if (best_width < 1 || best_height < 1) return std::nullopt;
  return BaseResolution{std::to_string(best_width) + "x" + std::to_string(best_height), best_width,
                        best_height};
}

}  // namespace fendrix

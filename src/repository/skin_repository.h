#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/file_system.h"

// Skins are plain folders: a skins folder holds one folder per skin, and a
// skin holds one resolution folder ("1280x1024") per screen resolution, each
// with its own Skin.vsk. Nothing is cached; every question reads the disk.

namespace fendrix {

inline constexpr std::string_view kSkinFileName = "Skin.vsk";
inline constexpr std::string_view kBackgroundName = "Zelback.bmp";
inline constexpr std::string_view kPreviewName = "Vorschau.jpg";

/// A base resolution: the folder name and its numbers. The name normally is
/// "<width>x<height>"; one fixed from the command line keeps its text as typed.
struct BaseResolution {
  std::string name = "1280x1024";
  std::int16_t width = 1280;
  std::int16_t height = 1024;
};

/// The width and height fields of a resolution name split at a lower-case
/// "x", each numeric and within 16 bits; nothing otherwise (800X600, 40000x600).
std::optional<BaseResolution> ParseResolutionName(std::string_view name, char decimal_separator);

/// True when `folder` holds a Skin.vsk, its name matched without case.
bool HoldsSkinFile(FileSystem& fs, const std::filesystem::path& folder);

/// True for one folder name, not a path that leads elsewhere ("", ".", ".."
/// and "a/b" are no skin's name).
bool IsSkinName(const std::filesystem::path& skin);

/// The folder of the skin `skin` in `skins_path`, its name matched without
/// case. False, with "Skin nicht gefunden: ..." in `err`, when `skin` is no
/// skin's name or there is no such folder.
bool FindSkinFolder(FileSystem& fs, const std::filesystem::path& skins_path,
                    const std::filesystem::path& skin, std::filesystem::path* folder,
                    std::string* err);

/// The skins folder beside the program: a program folder ending in "Tools"
/// (exact case) without its last six characters, followed by "Skins".
std::optional<std::filesystem::path> DefaultSkinsPath(const std::filesystem::path& program_folder);

/// The skin folders of `skins_path`, in enumeration order.
bool ListSkins(FileSystem& fs, const std::filesystem::path& skins_path,
               std::vector<std::filesystem::path>* skins, std::string* err);

/// The resolution folders of a skin that hold a Skin.vsk, in enumeration
/// order. A skin that cannot be read has none.
std::vector<std::string> ListResolutionFolders(FileSystem& fs,
                                               const std::filesystem::path& skins_path,
                                               const std::filesystem::path& skin,
                                               char decimal_separator);

/// The skin's highest resolution folder with a Skin.vsk: the widest, and of
/// equal widths the tallest, the first found on a tie. Its name comes back as
/// the numbers' own text (01280x1024 gives 1280x1024). Nothing when the skin
/// has no usable folder.
std::optional<BaseResolution> GetHighestBaseResolution(FileSystem& fs,
                                                       const std::filesystem::path& skins_path,
                                                       const std::filesystem::path& skin,
                                                       char decimal_separator);

}  // namespace fendrix

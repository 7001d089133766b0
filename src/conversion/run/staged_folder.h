#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "conversion/run/run_result.h"
#include "support/file_system.h"

// A run builds the new folder of a skin aside and swaps it in only when it
// is complete, so that a crash at any moment leaves the old folder or the
// complete new one, and at most leftovers that RecoverLeftovers repairs.

namespace fendrix {

/// The folders of one build: the folder it makes, the staging folder it
/// writes into, and the name an old folder steps aside to. The two helpers
/// hold no resolution a skin could mean ("~1024" is not a number), so the
/// player and the lists never take them for one.
struct StagedFolder {
  std::filesystem::path target;
  std::filesystem::path staging;
  std::filesystem::path retired;
};

/// The folders for building `new_name` in `skin_folder`.
StagedFolder StagedFolderFor(const std::filesystem::path& skin_folder, const std::string& new_name);

/// Repairs what a run that died left while building `folders.target`: an
/// old folder set aside with the target missing goes back under its name;
/// one beside a target (the run died after the swap) is removed; staging is
/// cleared. The caller must hold the run lock of the target.
bool RecoverLeftovers(FileSystem& fs, const StagedFolder& folders, std::string* err);

/// Repairs the leftovers of every build of the skin whose lock is free;
/// those a live run is working on stay its own.
bool RecoverSkin(FileSystem& fs, const std::filesystem::path& skin_folder, std::string* err);

/// Puts the complete staging folder in the target's place, on the disk
/// before it returns. An old folder (`replace`) steps aside first and is
/// removed only once the new one has its name; if the new one cannot take
/// it, the old folder goes back. What could not be tidied after the swap is
/// a warning.
bool SwapIn(FileSystem& fs, const StagedFolder& folders, bool replace,
            std::vector<RunWarning>* warnings, std::string* err);

}  // namespace fendrix

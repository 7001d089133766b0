#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "support/file_system.h"

// One run per skin and resolution at a time. Two runs building the same
// folder would share its staging folder: each would clear what the other
// wrote, and one could swap in a folder the other had half emptied.

namespace fendrix {

/// The lock file of the folder `new_name` of a skin. Like the staging
/// folder it names no resolution, so no list takes it for one.
std::filesystem::path RunLockFile(const std::filesystem::path& skin_folder,
                                  const std::string& new_name);

/// Takes the lock on building `new_name` in the skin folder, for as long as
/// the lock lives. Nothing when another run holds it (`*held_elsewhere`) or
/// it cannot be taken (`err`).
std::unique_ptr<FileLock> LockRunTarget(FileSystem& fs, const std::filesystem::path& skin_folder,
                                        const std::string& new_name, bool* held_elsewhere,
                                        std::string* err);

/// What the run holding the lock is doing, as it tells a run that finds the
/// lock taken. A lock taken anew says kConverting.
enum class RunPhase {
  kConverting,
  kAskingToReplace,  ///< waiting for Yes or No to replacing the folder
};

/// Tells the runs that find `lock` taken what its holder is doing now.
void SetRunPhase(FileLock& lock, RunPhase phase);

/// The message for a run refused because another holds the lock on
/// building `new_name` in the skin folder of `skin`: what that run is doing.
std::string RunBusyText(FileSystem& fs, const std::filesystem::path& skin_folder,
                        const std::filesystem::path& skin, const std::string& new_name);

}  // namespace fendrix

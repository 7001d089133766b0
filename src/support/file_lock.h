#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "support/file_system.h"

namespace fendrix {

/// The real lock behind RealFileSystem::TryLock: on Windows the file opened
/// without sharing and deleted when its handle closes; elsewhere flock(2) on
/// a file that its holder removes before it lets go.
std::unique_ptr<FileLock> TryLockFile(const std::filesystem::path& path, bool* held_elsewhere,
                                      std::string* err);

}  // namespace fendrix

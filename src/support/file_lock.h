#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

#include "support/file_system.h"

namespace fendrix {

/// The real lock behind RealFileSystem::TryLock: on Windows the file opened
/// for others to read alone and deleted when its handle closes; elsewhere
/// flock(2) on a file that its holder removes before it lets go.
std::unique_ptr<FileLock> TryLockFile(const std::filesystem::path& path, bool* held_elsewhere,
                                      std::string* err);

/// The longest note ReadLockNote reads; a note says a word or two.
inline constexpr std::size_t kMaxLockNote = 256;

/// The note in the lock file `path` (FileLock::SetNote), read while another
/// holds the lock; "" when there is none. Only its first kMaxLockNote bytes.
std::string ReadLockNote(const std::filesystem::path& path);

}  // namespace fendrix

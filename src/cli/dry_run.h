#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "support/file_system.h"
#include "support/memory_file_system.h"

namespace fendrix {

/// Puts into `memory`, at the same paths, what a conversion of `skin` from
/// the resolution folder `base_name` to `target_name` reads on `real`: the
/// skin folder's entries, the base folder's files (their bytes read from
/// `real` when the run asks for them), and the target folder's entries if it
/// exists (read-only when `real` could not remove it). A run on `memory` then
/// does all a real run does and leaves the disk as it is. False, with `err`,
/// when a folder cannot be listed. `real` must outlive `memory`.
bool LoadForDryRun(FileSystem& real, const std::filesystem::path& skins,
                   const std::filesystem::path& skin, std::string_view base_name,
                   std::string_view target_name, MemoryFileSystem* memory, std::string* err);

}  // namespace fendrix

#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "support/file_system.h"

// The small file operations the selection flow, the repository and the run
// share. They take a FileSystem so tests can watch and break them.

namespace fendrix {

/// True when `path` names an existing regular file.
bool FileExists(FileSystem& fs, const std::filesystem::path& path);

/// True when `path` names an existing folder (a trailing separator is fine).
bool FolderExists(FileSystem& fs, const std::filesystem::path& path);

/// Creates every missing folder of `path`, parent first. The root is never
/// created. On failure the folders made so far stay and `err` says why.
bool CreatePath(FileSystem& fs, const std::filesystem::path& path, std::string* err);

/// The number of lines of a text file, counted as LineReader reads them.
bool CountLines(FileSystem& fs, const std::filesystem::path& path, std::size_t* count,
                std::string* err);

}  // namespace fendrix

namespace fendrix {

/// `folder` / `name`, spelled as on disk. A name from a skin that is missing
/// as spelled is matched without case, as Windows would, so a skin made there
/// works on a case-sensitive file system too. When nothing matches, the
/// result is `folder` / `name` as asked.
std::filesystem::path FindEntry(FileSystem& fs, const std::filesystem::path& folder,
                                const std::filesystem::path& name);

}  // namespace fendrix

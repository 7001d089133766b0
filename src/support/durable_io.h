#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

// What it takes on each platform for written bytes and renamed names to
// survive a power cut, not just a crash of the program: the file system's
// own order of writing is free to put a rename on the disk before the bytes
// of the file renamed.

namespace fendrix {

/// Writes what the stream still buffers and waits until the system has put
/// the file's bytes on the disk. False with errno (or the Windows error) set.
bool FlushToDisk(std::FILE* file);

/// Puts a folder's entries on the disk (POSIX: fsync of the folder). On
/// Windows a no-op: renames are written through by RenameWrittenThrough.
bool SyncFolderToDisk(const std::filesystem::path& folder, std::string* err);

/// Renames a file or folder, written through to the disk on Windows.
void RenameWrittenThrough(const std::filesystem::path& from, const std::filesystem::path& to,
                          std::error_code& ec);

}  // namespace fendrix

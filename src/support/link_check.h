#pragma once

#include <filesystem>

namespace fendrix {

/// True when `path` itself is a symbolic link, or on Windows any reparse
/// point (a junction too): removing a folder must delete such an entry
/// without entering it.
bool IsLinkOrJunction(const std::filesystem::path& path);

/// Whether the entry is marked so that what it holds, or the entry itself,
/// must not be removed: on Windows the read-only attribute of a file or
/// folder; elsewhere a folder without write permission, counted even for a
/// user whose rights would override it.
bool IsMarkedReadOnly(const std::filesystem::path& path);

}  // namespace fendrix

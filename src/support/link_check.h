#pragma once

#include <filesystem>

namespace fendrix {

/// True when `path` itself is a symbolic link, or on Windows any reparse
/// point (a junction too): removing a folder must delete such an entry
/// without entering it.
bool IsLinkOrJunction(const std::filesystem::path& path);

}  // namespace fendrix

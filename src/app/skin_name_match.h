#pragma once

#include <filesystem>

namespace fendrix {

/// True when a skin's folder name is the name the command line asks for,
/// compared without case as the platform compares file names.
bool SkinNameMatches(const std::filesystem::path& entry, const std::filesystem::path& wanted);

}  // namespace fendrix

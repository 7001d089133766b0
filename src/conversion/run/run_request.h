#pragma once

#include <filesystem>
#include <string>

#include "repository/skin_repository.h"

namespace fendrix {

/// What a caller asks a run to do: everything the run works from, fixed
/// when it starts.
struct RunRequest {
  std::string new_width_text;   ///< as typed, UTF-8
  std::string new_height_text;  ///< as typed, UTF-8
  std::filesystem::path skins_path;
  std::filesystem::path skin;  ///< the skin's folder name
  BaseResolution base;
  char decimal_separator = ',';
  bool auto_mode = false;  ///< replaces an existing folder without asking
};

}  // namespace fendrix

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "repository/skin_repository.h"

namespace fendrix {

/// How a layout meets a screen of other proportions.
enum class FitMode {
  kStretch,  ///< each axis by its own factor, as the window converts
  kKeep,     ///< one factor for both, centred, the background padded with bars
};

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
  FitMode fit = FitMode::kStretch;
  std::uint32_t bar_colour = 0;  ///< 0xRRGGBB, the bars of kKeep
};

}  // namespace fendrix

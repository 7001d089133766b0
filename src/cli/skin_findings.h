#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "conversion/check/skin_check.h"
#include "conversion/run/run_request.h"
#include "repository/skin_repository.h"
#include "support/file_system.h"

namespace fendrix {

/// What `check SKIN [WxH]` asks, and `render` with it.
struct FindingsQuestion {
  std::filesystem::path skins;
  std::string skin;
  std::optional<BaseResolution> resolution;  ///< WxH as the command line took it
  FitMode fit = FitMode::kStretch;           ///< of the conversion to WxH
};

/// The folder checked and what was found there.
struct SkinFindings {
  std::filesystem::path folder;  ///< the resolution folder read
  BaseResolution resolution;     ///< its resolution
  std::vector<CheckFinding> findings;
};

/// Checks the folder of the asked resolution when the skin has one;
/// otherwise, or when none is asked, the folder a conversion starts from
/// (the skin's highest), and with an asked resolution also for the
/// conversion to it. 0, or the exit code with `err`: 3 for a resolution no
/// conversion makes, 5 when the skin or its folder cannot be read.
int FindSkinFindings(FileSystem& fs, const FindingsQuestion& question, char decimal_separator,
                     SkinFindings* result, std::string* err);

}  // namespace fendrix

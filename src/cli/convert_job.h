#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/skinconv.h"
#include "support/file_system.h"

namespace fendrix {

/// One conversion the command line asked for.
struct ConvertJob {
  std::filesystem::path skins;
  std::string skin;
  std::string resolution;  ///< WxH
  std::string from;        ///< WxH, or empty for the skin's highest
  bool yes = false;
  bool smooth = false;
};

/// What a job did, in the words skinconv prints.
struct JobReport {
  int exit_code = kExitFailure;
  std::string summary;                ///< one line on success
  std::string error;                  ///< one line on failure
  std::vector<std::string> warnings;  ///< one line each
};

/// Runs one conversion, transactional like every run. `progress` receives a
/// progress bar when not null.
JobReport RunConvertJob(FileSystem& fs, const ConvertJob& job, const CliEnvironment& env,
                        std::ostream* progress);

}  // namespace fendrix

#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "support/file_system.h"

namespace fendrix {

/// Exit codes of skinconv.
enum ExitCode : int {
  kExitSuccess = 0,
  kExitUsage = 2,
  kExitInvalidResolution = 3,
  kExitTargetExists = 4,
  kExitFailure = 5,
};

/// What skinconv needs from its surroundings; tests pass their own.
struct CliEnvironment {
  std::filesystem::path program_folder;
  char decimal_separator = '.';
  bool progress_terminal = false;  ///< stderr is a terminal: draw a progress bar
};

/// Runs skinconv with `args` (UTF-8, the program name first) on the files of
/// `fs` and returns its exit code. Results go to `out`, errors (one line
/// each) to `err`.
int RunSkinconv(FileSystem& fs, const std::vector<std::string>& args, const CliEnvironment& env,
                std::ostream& out, std::ostream& err);

}  // namespace fendrix

#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/skinconv.h"
#include "conversion/run/run_request.h"
#include "conversion/run/run_result.h"
#include "support/file_system.h"
#include "support/overlay_file_system.h"

namespace fendrix {

/// One conversion the command line asked for.
struct ConvertJob {
  std::filesystem::path skins;
  std::string skin;
  std::string resolution;  ///< WxH
  /// The base to convert from; nothing for the skin's highest.
  std::optional<BaseResolution> from;
  bool yes = false;
  bool smooth = false;
  bool dry_run = false;       ///< the whole run in memory, nothing written
  bool report_files = false;  ///< list the new folder's files in the report
  FitMode fit = FitMode::kStretch;
  std::uint32_t bar_colour = 0;  ///< 0xRRGGBB
};

/// A file of a new folder; a picture with its size in pixels.
struct WrittenFile {
  std::filesystem::path name;
  std::optional<std::int32_t> width;
  std::optional<std::int32_t> height;
};

/// What a job did, in the words skinconv prints.
struct JobReport {
  int exit_code = kExitFailure;
  std::string summary;  ///< one line on success
  std::string error;    ///< one line on failure
  /// What the run did, for --json; kFailed also before a run could start.
  RunOutcome outcome = RunOutcome::kFailed;
  std::filesystem::path new_folder;
  std::size_t lines_written = 0;
  std::vector<WrittenFile> files;  ///< with report_files, after a success
  std::vector<RunWarning> warnings;
};

/// The base a conversion of the skin in `skin_folder` starts from: `from`
/// when the skin has that folder with a Skin.vsk, without `from` the skin's
/// highest. False, with `failure` saying why, when there is none.
bool ChooseBase(FileSystem& fs, const std::filesystem::path& skin_folder,
                const std::optional<BaseResolution>& from, char decimal_separator,
                BaseResolution* base, JobReport* failure);

/// Runs one conversion, transactional like every run. `progress` receives a
/// progress bar when not null.
JobReport RunConvertJob(FileSystem& fs, const ConvertJob& job, const CliEnvironment& env,
                        std::ostream* progress);

/// The same, a dry run working in `dry_run_files`, an overlay of `fs`, which
/// holds what the run wrote when it returns.
JobReport RunConvertJob(FileSystem& fs, const ConvertJob& job, const CliEnvironment& env,
                        std::ostream* progress, OverlayFileSystem* dry_run_files);

}  // namespace fendrix

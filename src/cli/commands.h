#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/convert_job.h"
#include "cli/skinconv.h"
#include "support/file_system.h"

// The commands of skinconv; each returns an exit code and writes one line per
// error to `err`.

namespace fendrix {

/// Lists the skins of `skins`, each with its resolution folders.
int ListCommand(FileSystem& fs, const std::filesystem::path& skins, bool json,
                const CliEnvironment& env, std::ostream& out, std::ostream& err);

/// Prints the deciphered lines of a Skin.vsk as UTF-8.
int DecodeCommand(FileSystem& fs, const std::filesystem::path& file, std::ostream& out,
                  std::ostream& err);

/// Enciphers UTF-8 plain lines into a Skin.vsk.
int EncodeCommand(FileSystem& fs, const std::filesystem::path& file,
                  const std::filesystem::path& output, std::ostream& err);

/// Converts one skin to a new resolution; with `json` the result as one
/// JSON object.
int ConvertCommand(FileSystem& fs, const ConvertJob& job, bool quiet, bool json,
                   const CliEnvironment& env, std::ostream& out, std::ostream& err);

/// What `skinconv convert --all` converts.
struct BatchOptions {
  /// What every conversion shares: the skins folder, --from, --yes, the
  /// filter, the dry run, the fit; each job fills in its skin and resolution.
  ConvertJob each;
  std::vector<std::string> resolutions;  ///< WxH each, as the command line took them
  bool quiet = false;
  bool json = false;  ///< one JSON object a line, in job order
  unsigned jobs = 1;  ///< conversions at once
};

/// Converts every skin of the folder to each resolution, each skin from the
/// base --from names or else its highest, chosen before any job runs; a skin
/// without that base is reported and skipped as a failure. One line per
/// conversion in a fixed order and a final count.
int BatchCommand(FileSystem& fs, const BatchOptions& options, const CliEnvironment& env,
                 std::ostream& out, std::ostream& err);

/// What `skinconv check` checks.
struct CheckOptions {
  std::filesystem::path skins;
  std::string skin;
  /// The folder of this resolution, or, when the skin has none, the folder a
  /// conversion to it starts from, checked for that conversion too; nothing
  /// for the skin's highest.
  std::optional<BaseResolution> resolution;
  bool json = false;
};

/// Reports what would go wrong in one resolution folder of a skin; 0 when
/// nothing is found, 1 with findings, 3 for a resolution no conversion
/// makes, 5 when the folder cannot be read.
int CheckCommand(FileSystem& fs, const CheckOptions& options, const CliEnvironment& env,
                 std::ostream& out, std::ostream& err);

/// What `skinconv render` draws.
struct RenderOptions {
  std::filesystem::path skins;
  std::string skin;
  BaseResolution screen;
  std::filesystem::path output;
  FitMode fit = FitMode::kStretch;  ///< of the conversion in memory
  bool fit_given = false;           ///< --fit was asked for
  std::uint32_t bar_colour = 0;     ///< 0xRRGGBB
};

/// Draws the layout of the skin at a resolution into a PNG: the folder of
/// that resolution as it stands, or, when there is none, what a conversion
/// would write there, converted in memory without writing a skin folder.
/// The elements that `check` finds something about are marked, and the
/// findings listed. --fit with a folder that exists is a usage error (2),
/// since the folder is drawn as it is.
int RenderCommand(FileSystem& fs, const RenderOptions& options, const CliEnvironment& env,
                  std::ostream& out, std::ostream& err);

}  // namespace fendrix

#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/skinconv.h"

// The commands of skinconv; each returns an exit code and writes one line per
// error to `err`.

namespace fendrix {

/// Lists the skins of `skins`, each with its resolution folders.
int ListCommand(const std::filesystem::path& skins, bool json, const CliEnvironment& env,
                std::ostream& out, std::ostream& err);

/// Prints the deciphered lines of a Skin.vsk as UTF-8.
int DecodeCommand(const std::filesystem::path& file, std::ostream& out, std::ostream& err);

/// Enciphers UTF-8 plain lines into a Skin.vsk.
int EncodeCommand(const std::filesystem::path& file, const std::filesystem::path& output,
                  std::ostream& err);

/// The options of `skinconv convert`.
struct ConvertOptions {
  std::string skin;
  std::string resolution;  ///< WxH
  std::string from;        ///< WxH, or empty for the skin's highest
  bool yes = false;
  bool smooth = false;
  bool quiet = false;
};

/// Converts one skin to a new resolution.
int ConvertCommand(const std::filesystem::path& skins, const ConvertOptions& options,
                   const CliEnvironment& env, std::ostream& out, std::ostream& err);

}  // namespace fendrix

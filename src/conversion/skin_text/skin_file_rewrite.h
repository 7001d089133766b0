#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "conversion/skin_text/factors.h"
#include "support/file_system.h"

// A whole Skin.vsk rewritten for a new resolution: read line by line,
// deciphered, rewritten, enciphered and written to the new file.

namespace fendrix {

/// Which file becomes which, and how.
struct SkinFileRewrite {
  std::filesystem::path source;
  std::filesystem::path target;
  /// The lines of `source` as counted before; only for the progress.
  std::size_t line_count = 0;
  ConversionFactors factors;
  char decimal_separator = ',';
};

/// What the rewriting tells its caller on the way. Line numbers are 1-based
/// and count every line read, empty ones too.
struct SkinFileEvents {
  /// Line `line` of `line_count` has been read; the file may have grown
  /// since it was counted.
  std::function<void(std::size_t line, std::size_t line_count)> progress;
  /// A scaled value was kept as it stood; `text` says which (UTF-8).
  std::function<void(std::size_t line, std::string text)> kept_value;
  /// A bitmap line, before it is written: `value` as found in the line,
  /// `background` for the background's line. False stops the rewriting
  /// with `err`.
  std::function<bool(std::string_view value, std::size_t line, bool background, std::string* err)>
      bitmap;
};

/// The Skin.vsk of `folder`, its name matched as the run matches names.
/// False, with `err` naming it, when it is missing or a link: through a link
/// the new folder would get, enciphered, a file the skin's maker may not read.
bool FindSkinFileToRead(FileSystem& fs, const std::filesystem::path& folder,
                        std::filesystem::path* file, std::string* err);

/// Writes `job.target` from `job.source` line by line, the empty lines
/// dropped; a source without a single line that is written leaves no target
/// at all. The target is complete only when this returns true.
bool WriteRewrittenSkinFile(FileSystem& fs, const SkinFileRewrite& job,
                            const SkinFileEvents& events, std::size_t* lines_written,
                            std::string* err);

}  // namespace fendrix

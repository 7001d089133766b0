#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace fendrix {

/// How a run ended.
enum class RunOutcome {
  kSucceeded,
  kInvalidResolution,  ///< not numeric, below 640x480, or beyond 32 bits
  kSameAsBase,         ///< the new folder would be the base folder itself
  kReplaceDeclined,    ///< the folder exists and the user said No
  kFailed,  ///< no skin, another run on the same folder, or a file could not be read or
            ///< written; nothing changed
};

/// The kinds of message a run ends with; the window picks buttons and icons.
enum class MessageKind {
  kNone,               ///< nothing to tell: the user said No
  kInvalidResolution,  ///< OK only, no icon
  kSuccess,            ///< OK, information icon
  kError,              ///< OK, error icon: a run that failed or was refused
};

/// Something the run carried over as it stood, or left out, and went on.
struct RunWarning {
  std::size_t line = 0;  ///< 1-based line of Skin.vsk; 0 when not tied to a line
  std::string text;      ///< UTF-8
};

/// A warning as the user reads it: "Zeile 12: ..." where it has a line.
std::string WarningText(const RunWarning& warning);

/// What a run did, and what to tell the user of it.
struct RunResult {
  RunOutcome outcome = RunOutcome::kFailed;
  /// The message for the outcome (UTF-8): the success message, or what was
  /// wrong, with the file and the reason for a failure. Empty for kNone.
  MessageKind message_kind = MessageKind::kError;
  std::string message;
  std::filesystem::path new_folder;
  std::size_t lines_written = 0;
  std::size_t bitmaps_scaled = 0;
  std::size_t bitmaps_copied = 0;
  std::vector<RunWarning> warnings;
  std::chrono::steady_clock::duration elapsed{};
};

}  // namespace fendrix

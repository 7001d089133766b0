#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "repository/skin_repository.h"

// The conversion run talks to whoever started it (the window, the command
// line, a test) only through RunPort.

namespace fendrix {

/// What the run reads from its caller when it starts.
struct RunInputs {
  std::string new_width_text;   ///< as typed, UTF-8
  std::string new_height_text;  ///< as typed, UTF-8
  std::filesystem::path skins_path;
  std::filesystem::path skin;  ///< the skin's folder name
  BaseResolution base;
  char decimal_separator = ',';
  bool auto_mode = false;  ///< no question, no success message
};

/// The kinds of message the run shows; the window picks buttons and icons.
enum class MessageKind {
  kInvalidResolution,  ///< OK only, no icon
  kSuccess,            ///< OK, information icon
  kError,              ///< OK, error icon: a run that failed or was refused
};

/// Something the run carried over as it stood, or left out, and went on.
struct RunWarning {
  std::size_t line = 0;  ///< 1-based line of Skin.vsk; 0 when not tied to a line
  std::string text;      ///< UTF-8
};

/// The caller's side of a run.
class RunPort {
 public:
  virtual ~RunPort() = default;

  /// The resolution texts, the skin and the window state the run works from.
  virtual RunInputs ReadInputs() = 0;

  /// Disables the controls and shows "Erstelle Skin...".
  virtual void EnterBusy() = 0;

  /// Enables the controls again and shows "Skin erstellen".
  virtual void EnterIdle() = 0;

  /// Progress in percent, 0 to 100.
  virtual void SetProgress(float percent) = 0;

  /// Asks whether an existing folder may be replaced; true only for Yes.
  virtual bool ConfirmReplace(std::string_view question) = 0;

  /// Shows one message (UTF-8).
  virtual void ShowMessage(MessageKind kind, std::string_view text) = 0;

  /// Hands over what the run carried over or left out; called before the
  /// success message, only when there is something to say.
  virtual void ReportWarnings(const std::vector<RunWarning>& warnings) = 0;
};

}  // namespace fendrix

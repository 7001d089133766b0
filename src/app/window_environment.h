#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/main_window_logic.h"
#include "dialogs/browse_args.h"

namespace fendrix {

/// Everything the main window takes from outside or does to the outside
/// apart from its own controls, so that tests can create the real window and
/// answer its questions.
struct WindowEnvironment {
  /// Shows a message box titled "Fendrix"; returns the button pressed (IDYES...).
  std::function<int(HWND owner, const std::wstring& text, UINT flags)> message_box;
  /// The folder picker; the chosen path, or "" when cancelled.
  std::function<std::wstring(HWND owner, const BrowseArgs& args)> browse_for_folder;
  /// Called once the window is gone; the program ends its message loop here.
  std::function<void()> on_closed;
  /// What the window reads when it opens; its flow reads them from here.
  StartUpInputs inputs;
};

/// The application title that every message box carries.
inline constexpr wchar_t kApplicationTitle[] = L"Fendrix";

/// The running program's own environment: the screen, the locale, the
/// command line, the real dialogs and file system.
WindowEnvironment SystemEnvironment(FileSystem& fs);

}  // namespace fendrix

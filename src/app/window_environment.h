#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "dialogs/browse_args.h"
#include "support/file_system.h"

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
  /// The argument text of the command line, without the program's name.
  std::wstring command_line;
  std::filesystem::path program_folder;
  int screen_width = 0;
  int screen_height = 0;
  int dpi_x = 96;
  int dpi_y = 96;
  /// The user's decimal separator, with which numbers are read.
  char decimal_separator = ',';
  FileSystem* fs = nullptr;
};

/// The application title that every message box carries.
inline constexpr wchar_t kApplicationTitle[] = L"Fendrix";

/// The running program's own environment: the screen, the locale, the
/// command line, the real dialogs and file system.
WindowEnvironment SystemEnvironment(FileSystem& fs);

}  // namespace fendrix

#pragma once

#include <optional>
#include <string>

namespace fendrix {

/// What the folder picker is opened with.
struct BrowseArgs {
  /// Shown above the folder tree.
  std::wstring title;
  /// The folder selected when the picker opens.
  std::wstring start_folder;
  /// Shows the selected path in the picker's status line.
  bool show_status_text = false;
  /// The top of the tree; none for the namespace root. Given but empty, the
  /// root is whatever the shell makes of the empty path.
  std::optional<std::wstring> root_folder;
  bool new_dialog_style = false;
  bool include_files = false;
};

/// The picker's flags: only file-system folders (1), plus 4 for the status
/// line, 64 for the new dialog style and 16384 to list files as well.
unsigned BrowseFlags(const BrowseArgs& args);

/// `folder` as the shell reads a path: with backslashes only. The shell takes
/// "/" for a character of a name, and the picker would open elsewhere on a
/// folder joined by hand as "Player/Tools".
std::wstring ShellPath(std::wstring folder);

/// The title the picker shows. With a status line, a title of exactly "$"
/// becomes empty: the status line must be the only text reading "$" when the
/// picker looks for it by that text.
std::wstring BrowseTitle(const BrowseArgs& args);

}  // namespace fendrix

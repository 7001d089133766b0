#pragma once

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "dialogs/browse_args.h"

// The shell's folder picker. The wide-character entry points are used
// throughout, so that a path with characters outside the code page survives.

namespace fendrix {

/// Shows the modal folder picker owned by `owner` and returns the chosen
/// folder's path as the shell gives it, or "" when the user cancels.
std::wstring BrowseForFolder(HWND owner, const BrowseArgs& args);

/// Called by the picker while it is open: selects the start folder (`data`)
/// once the picker is up, and on every change of selection shows "Auswahl: "
/// and the selected path, shortened to fit, in the status line. Always 0.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM param, LPARAM data);

/// The shell's item id list for a path; null when the shell cannot make one.
/// The caller releases it with CoTaskMemFree.
PIDLIST_ABSOLUTE PathToPidl(const std::wstring& folder_path);

}  // namespace fendrix

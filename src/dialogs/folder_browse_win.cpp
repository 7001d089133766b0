#include "dialogs/folder_browse.h"

#include <shlwapi.h>

#include <filesystem>
#include <memory>

#include "dialogs/compact_width.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kStatusPrefix[] = L"Auswahl: ";
// The picker gives its status control no id; it is found by this text,
// which is set just before the search.
constexpr wchar_t kStatusMarker[] = L"$";

struct PidlRelease {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, PidlRelease>;

// The item's file-system path; "" when it has none (a virtual folder).
std::wstring FileSystemPath(PCIDLIST_ABSOLUTE item, bool* has_path) {
  wchar_t buffer[MAX_PATH] = {};
  *has_path = SHGetPathFromIDListW(item, buffer) != FALSE;
  return buffer;
}

void SetStatusText(HWND dialog, const wchar_t* text) {
  SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(text));
}

// Without a status control the handle is null: the text is then measured on
// the screen's context and the rectangle stays empty, and the line is still set.
std::wstring CompactForStatusLine(HWND dialog, const std::wstring& path) {
  HWND status = FindWindowExW(dialog, nullptr, L"Static", kStatusMarker);
  HDC dc = GetWindowDC(status);
  RECT rect{};
  GetWindowRect(status, &rect);
  SIZE prefix{};
  GetTextExtentPoint32W(dc, kStatusPrefix, lstrlenW(kStatusPrefix), &prefix);
  int width = StatusCompactionWidth(rect.left, rect.right, prefix.cx);
  wchar_t buffer[MAX_PATH] = {};
  lstrcpynW(buffer, path.c_str(), MAX_PATH);
  std::wstring compacted = PathCompactPathW(dc, buffer, width) ? buffer : path;
  ReleaseDC(status, dc);
  return compacted;
}

void ShowSelection(HWND dialog, PCIDLIST_ABSOLUTE item) {
  bool has_path = false;
  std::wstring path = FileSystemPath(item, &has_path);
  if (!has_path) {
    SetStatusText(dialog, L"");
    return;
  }
  SetStatusText(dialog, kStatusMarker);
  std::wstring text = kStatusPrefix + CompactForStatusLine(dialog, path);
  SetStatusText(dialog, text.c_str());
}

// A list of a file-system folder holds the folder's times, its last access
// too, and the first reading of a folder since it changed moves that time.
// The picker finds the start folder by comparing the list with the items it
// lists, and it reads the folders on the way as it goes; a list made before
// that first reading (of a program folder just unpacked, say) then matches
// no item, and the picker opens on the drive. So every folder on the path is
// read first, and the list holds the times the picker will see.
void ReadEachFolderOnce(const fs::path& path) {
  for (fs::path folder = path; !folder.empty(); folder = folder.parent_path()) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder / L"*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    if (folder == folder.parent_path()) break;  // the drive's root
  }
}

}  // namespace

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM param, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, data);
  } else if (message == BFFM_SELCHANGED) {
    ShowSelection(dialog, reinterpret_cast<PCIDLIST_ABSOLUTE>(param));
  }
  return 0;
}

PIDLIST_ABSOLUTE PathToPidl(const std::wstring& folder_path) {
  const std::wstring path = ShellPath(folder_path);
  ReadEachFolderOnce(path);
  return ILCreateFromPathW(path.c_str());
}

std::wstring BrowseForFolder(HWND owner, const BrowseArgs& args) {
  // The lists for the root and the start folder must live until the picker closes.
  UniquePidl root(args.root_folder ? PathToPidl(*args.root_folder) : nullptr);
  UniquePidl start(PathToPidl(args.start_folder));
  std::wstring title = BrowseTitle(args);
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = root.get();
  info.pszDisplayName = nullptr;
  info.lpszTitle = title.c_str();
  info.ulFlags = BrowseFlags(args);
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(start.get());
  UniquePidl chosen(SHBrowseForFolderW(&info));
  if (!chosen) return L"";
  bool has_path = false;
  return FileSystemPath(chosen.get(), &has_path);
}

}  // namespace fendrix

#include "dialogs/browse_args.h"

#include <algorithm>

namespace fendrix {
namespace {

// The shell's values; this file is also built where its headers are missing.
constexpr unsigned kReturnOnlyFileSystemFolders = 0x0001;
constexpr unsigned kStatusText = 0x0004;
constexpr unsigned kNewDialogStyle = 0x0040;
constexpr unsigned kIncludeFiles = 0x4000;

}  // namespace

unsigned BrowseFlags(const BrowseArgs& args) {
  unsigned flags = kReturnOnlyFileSystemFolders;
  if (args.show_status_text) flags |= kStatusText;
  if (args.new_dialog_style) flags |= kNewDialogStyle;
  if (args.include_files) flags |= kIncludeFiles;
  return flags;
}

std::wstring ShellPath(std::wstring folder) {
  std::replace(folder.begin(), folder.end(), L'/', L'\\');
  return folder;
}

std::wstring BrowseTitle(const BrowseArgs& args) {
  if (args.show_status_text && args.title == L"$") return L"";
  return args.title;
}

}  // namespace fendrix

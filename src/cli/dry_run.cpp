#include "cli/dry_run.h"

#include <vector>

#include "support/file_helpers.h"
#include "support/path_text.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

// The entries below `folder`, with `contents` its files read from `real`
// when the run asks for them; a link stays a link, which the run refuses to
// follow as it would on the disk.
bool CopyTree(FileSystem& real, const fs::path& folder, bool contents, MemoryFileSystem* memory,
              std::string* err) {
  memory->AddFolder(folder);
  std::vector<DirectoryEntry> entries;
  if (!real.ListDirectory(folder, &entries, err)) return false;
  for (const DirectoryEntry& entry : entries) {
    const fs::path path = folder / entry.name;
    if (real.IsLink(path)) {
      memory->AddLink(path, folder);
    } else if (entry.is_directory) {
      if (!CopyTree(real, path, contents, memory, err)) return false;
    } else if (contents) {
      memory->AddFileFrom(path, real);
    } else {
      memory->AddFile(path, "");
    }
  }
  return true;
}

}  // namespace

bool LoadForDryRun(FileSystem& real, const fs::path& skins, const fs::path& skin,
                   std::string_view base_name, std::string_view target_name,
                   MemoryFileSystem* memory, std::string* err) {
  const fs::path skin_folder = FindEntry(real, skins, skin);
  memory->AddFolder(skin_folder);
  std::vector<DirectoryEntry> entries;
  if (!real.ListDirectory(skin_folder, &entries, err)) return false;
  for (const DirectoryEntry& entry : entries) {
    const fs::path path = skin_folder / entry.name;
    if (entry.is_directory) {
      memory->AddFolder(path);
    } else {
      memory->AddFile(path, "");
    }
  }
  const fs::path base = FindEntry(real, skin_folder, PathFromUtf8(base_name));
  if (FolderExists(real, base) && !CopyTree(real, base, true, memory, err)) return false;
  const fs::path target = FindEntry(real, skin_folder, PathFromUtf8(target_name));
  if (FolderExists(real, target) && target != base) {
    if (!CopyTree(real, target, false, memory, err)) return false;
    std::string ignored;
    if (!real.CheckRemovable(target, &ignored)) memory->MarkReadOnly(target);
  }
  return true;
}

}  // namespace fendrix

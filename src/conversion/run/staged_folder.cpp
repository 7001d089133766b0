#include "conversion/run/staged_folder.h"

#include <memory>
#include <set>

#include "conversion/run/run_lock.h"
#include "support/path_text.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kStagingSuffix = ".neu";
constexpr std::string_view kRetiredSuffix = ".alt";
constexpr std::string_view kLockSuffix = ".lock";

// "1024x768" for "~1024x768.neu" and the other names of a build; "" for
// any other name.
std::string BuildName(const std::string& entry) {
  if (entry.size() < 2 || entry.front() != '~') return "";
  for (std::string_view suffix : {kStagingSuffix, kRetiredSuffix, kLockSuffix}) {
    if (entry.size() > suffix.size() + 1 && entry.ends_with(suffix)) {
      return entry.substr(1, entry.size() - 1 - suffix.size());
    }
  }
  return "";
}

}  // namespace

StagedFolder StagedFolderFor(const fs::path& skin_folder, const std::string& new_name) {
  return {skin_folder / PathFromUtf8(new_name),
          skin_folder / PathFromUtf8("~" + new_name + std::string(kStagingSuffix)),
          skin_folder / PathFromUtf8("~" + new_name + std::string(kRetiredSuffix))};
}

bool RecoverLeftovers(FileSystem& fs, const StagedFolder& folders, std::string* err) {
  // Between the two renames of a swap the old folder is the only complete
  // one; whatever staging holds then is not known to be whole.
  if (fs.Stat(folders.retired) == EntryKind::kDirectory &&
      fs.Stat(folders.target) == EntryKind::kMissing &&
      !fs.Rename(folders.retired, folders.target, err)) {
    return false;
  }
  // Both are no-ops when the folder is missing.
  return fs.RemoveTree(folders.retired, err) && fs.RemoveTree(folders.staging, err);
}

bool RecoverSkin(FileSystem& fs, const fs::path& skin_folder, std::string* err) {
  std::vector<DirectoryEntry> entries;
  if (!fs.ListDirectory(skin_folder, &entries, err)) return false;
  std::set<std::string> names;
  for (const DirectoryEntry& entry : entries) {
    const std::string name = BuildName(PathToUtf8(entry.name));
    if (!name.empty()) names.insert(name);
  }
  for (const std::string& name : names) {
    bool held_elsewhere = false;
    std::unique_ptr<FileLock> lock = LockRunTarget(fs, skin_folder, name, &held_elsewhere, err);
    if (held_elsewhere) continue;
    if (!lock || !RecoverLeftovers(fs, StagedFolderFor(skin_folder, name), err)) return false;
  }
  return true;
}

bool SwapIn(FileSystem& fs, const StagedFolder& folders, bool replace,
            std::vector<RunWarning>* warnings, std::string* err) {
  // The files were flushed as they were closed; their names in the staging
  // folder must be on the disk too before the folder takes the target's.
  if (!fs.SyncFolder(folders.staging, err)) return false;
  if (replace) {
    // A folder that turned read-only since the run began would otherwise
    // stay half removed beside the new one.
    if (!fs.CheckRemovable(folders.target, err) ||
        !fs.Rename(folders.target, folders.retired, err)) {
      return false;
    }
  }
  if (!fs.Rename(folders.staging, folders.target, err)) {
    std::string restore_err;
    if (replace && !fs.Rename(folders.retired, folders.target, &restore_err)) {
      *err += "; der alte Ordner liegt unter " + DisplayPath(folders.retired) +
              " und kommt beim nächsten Umwandeln zurück";
    }
    return false;
  }
  std::string after_err;
  if (!fs.SyncFolder(folders.target.parent_path(), &after_err)) {
    warnings->push_back({0, after_err});
  }
  if (replace && !fs.RemoveTree(folders.retired, &after_err)) {
    warnings->push_back({0, "Alter Ordner konnte nicht entfernt werden: " + after_err});
  }
  return true;
}

}  // namespace fendrix

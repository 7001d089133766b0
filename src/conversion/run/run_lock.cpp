#include "conversion/run/run_lock.h"

#include "support/path_text.h"

namespace fendrix {
namespace fs = std::filesystem;

fs::path RunLockFile(const fs::path& skin_folder, const std::string& new_name) {
  return skin_folder / PathFromUtf8("~" + new_name + ".lock");
}

std::unique_ptr<FileLock> LockRunTarget(FileSystem& fs, const fs::path& skin_folder,
                                        const std::string& new_name, bool* held_elsewhere,
                                        std::string* err) {
  return fs.TryLock(RunLockFile(skin_folder, new_name), held_elsewhere, err);
}

std::string RunBusyText(const fs::path& skin, const std::string& new_name) {
  return "Der Skin " + PathToUtf8(skin) + " wird bereits in " + new_name +
         " umgewandelt. Bitte warten, bis diese Umwandlung fertig ist.";
}

}  // namespace fendrix

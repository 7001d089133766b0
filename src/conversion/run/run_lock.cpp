#include "conversion/run/run_lock.h"

#include "support/path_text.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

// The note of a holder that asks; any other note, or none, is a run at work.
constexpr std::string_view kAskingNote = "asking";

}  // namespace

fs::path RunLockFile(const fs::path& skin_folder, const std::string& new_name) {
  return skin_folder / PathFromUtf8("~" + new_name + ".lock");
}

std::unique_ptr<FileLock> LockRunTarget(FileSystem& fs, const fs::path& skin_folder,
                                        const std::string& new_name, bool* held_elsewhere,
                                        std::string* err) {
  return fs.TryLock(RunLockFile(skin_folder, new_name), held_elsewhere, err);
}

void SetRunPhase(FileLock& lock, RunPhase phase) {
  lock.SetNote(phase == RunPhase::kAskingToReplace ? kAskingNote : "");
}

std::string RunBusyText(FileSystem& fs, const fs::path& skin_folder, const fs::path& skin,
                        const std::string& new_name) {
  if (fs.LockNote(RunLockFile(skin_folder, new_name)) == kAskingNote) {
    return "Ein anderes Fenster ist dabei, das Skinverzeichnis " + new_name + " des Skins " +
           PathToUtf8(skin) +
           " zu ersetzen, und wartet auf eine Antwort. Bitte die Frage dort zuerst beantworten.";
  }
  return "Der Skin " + PathToUtf8(skin) + " wird bereits in " + new_name +
         " umgewandelt. Bitte warten, bis diese Umwandlung fertig ist.";
}

}  // namespace fendrix

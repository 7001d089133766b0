#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "support/file_system.h"

// A dry run does all a real run does, on the disk as it finds it, and leaves
// the disk as it is: it reads through this overlay, which keeps every change
// in memory.

namespace fendrix {

/// The file system `disk` as it stands, with what is written, made, renamed
/// or removed through the overlay kept in memory alone. A file is read on
/// the disk until it is written here; a folder lists the disk's entries with
/// those made here, sorted by name. A lock is taken here, not on the disk.
/// For one run at a time; `disk` must outlive it.
class OverlayFileSystem : public FileSystem {
 public:
  explicit OverlayFileSystem(FileSystem& disk) : disk_(disk) {}

  EntryKind Stat(const std::filesystem::path& path) override;
  bool IsLink(const std::filesystem::path& path) override;
  bool ReadFile(const std::filesystem::path& path, std::string* contents,
                std::string* err) override;
  bool WriteFile(const std::filesystem::path& path, std::string_view contents,
                 std::string* err) override;
  std::unique_ptr<FileReader> OpenForReading(const std::filesystem::path& path,
                                             std::string* err) override;
  std::unique_ptr<FileWriter> OpenForWriting(const std::filesystem::path& path,
                                             std::string* err) override;
  bool ListDirectory(const std::filesystem::path& path, std::vector<DirectoryEntry>* entries,
                     std::string* err) override;
  bool MakeDirectory(const std::filesystem::path& path, std::string* err) override;
  bool RemoveTree(const std::filesystem::path& path, std::string* err) override;
  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to,
              std::string* err) override;
  bool Copy(const std::filesystem::path& from, const std::filesystem::path& to,
            std::string* err) override;
  bool SyncFolder(const std::filesystem::path& folder, std::string* err) override;
  std::unique_ptr<FileLock> TryLock(const std::filesystem::path& path, bool* held_elsewhere,
                                    std::string* err) override;
  std::string LockNote(const std::filesystem::path& path) override;
  bool CheckRemovable(const std::filesystem::path& path, std::string* err) override;

 private:
  // A path changed here: a file or folder made, moved or copied, or, as
  // kMissing, an entry removed or moved away.
  struct Change {
    EntryKind kind = EntryKind::kMissing;
    std::string contents;        // a file's bytes when `disk` is empty
    std::filesystem::path disk;  // where a file's bytes or a folder's other entries lie
  };
  // Where a path leads: its change, or else its place on the disk (empty
  // when a change above it hides the disk there).
  struct Place {
    Change* change = nullptr;
    std::filesystem::path disk;
  };
  class Lock;
  class Writer;

  Place Locate(const std::filesystem::path& path);
  EntryKind KindOf(const Place& place);
  bool Put(const std::filesystem::path& path, std::string_view contents, std::string* err);
  // The changes at and below `path`, in path order.
  std::vector<std::filesystem::path> ChangesBelow(const std::filesystem::path& path) const;

  FileSystem& disk_;
  std::map<std::filesystem::path, Change> changes_;
  std::set<std::filesystem::path> locked_;
};

}  // namespace fendrix

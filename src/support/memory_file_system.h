#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "support/file_system.h"

// A file system held in memory, for tests that need files and folders but
// not the disk: no temporary folders to clear, nothing another process can
// disturb, and links and read-only marks on every platform alike. Names are
// matched exactly; matching without case is FindEntry's work, as on a disk.

namespace fendrix {

/// Folders, files and links in memory. The root of every absolute path
/// exists from the start; everything else is made through the FileSystem
/// operations or the helpers below. Folders list their entries sorted by
/// name. Safe to share between threads.
class MemoryFileSystem : public FileSystem {
 public:
  /// Writes `contents` to `path`, creating the folders above it.
  void AddFile(const std::filesystem::path& path, std::string_view contents);

  /// Creates the folder `path` and the folders above it.
  void AddFolder(const std::filesystem::path& path);

  /// Makes `path` (whose folder must exist) a link to `target`: Stat and
  /// every read or write follow it, IsLink reports it, RemoveTree removes
  /// the link alone.
  void AddLink(const std::filesystem::path& path, const std::filesystem::path& target);

  /// Marks the entry read-only: it cannot be written, removed or replaced.
  void MarkReadOnly(const std::filesystem::path& path);

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
  struct Entry {
    EntryKind kind = EntryKind::kFile;
    std::string contents;
    std::filesystem::path target;  // a link's target; empty for anything else
    bool read_only = false;
  };
  class Lock;
  class Writer;

  // `path` with every link on the way replaced by its target; the last part
  // too when `follow_last`.
  std::filesystem::path Resolve(const std::filesystem::path& path, bool follow_last) const;
  Entry* Find(const std::filesystem::path& resolved);
  // Stat and IsLink with the mutex held.
  EntryKind KindOf(const std::filesystem::path& path);
  bool IsLinkAt(const std::filesystem::path& path);
  bool IsRoot(const std::filesystem::path& resolved) const;
  bool ParentIsFolder(const std::filesystem::path& resolved);
  // The entry and all below it, in path order.
  std::vector<std::filesystem::path> Tree(const std::filesystem::path& resolved) const;
  // Writes or appends with the mutex held.
  bool Put(const std::filesystem::path& path, std::string_view contents, bool append,
           std::string* err);
  // The file entry at `path`, or null with a message that names `path`.
  const Entry* FileToRead(const std::filesystem::path& path, std::string* err);

  std::mutex mutex_;
  std::map<std::filesystem::path, Entry> entries_;
  std::set<std::filesystem::path> locked_;
};

}  // namespace fendrix

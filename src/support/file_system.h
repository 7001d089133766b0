#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Every file-system effect of the core goes through FileSystem, so that tests
// can watch it and break it on purpose (a full disk, a locked file, a rename
// that fails half-way). Errors come back as false plus a message a user can
// act on: what failed, the path, the reason.

namespace fendrix {

/// What a path names. Links are followed, as an attribute query on Windows
/// reports the folder behind a junction as a folder.
enum class EntryKind { kMissing, kFile, kDirectory, kOther };

/// One entry of a folder, in the order the platform enumerates them.
struct DirectoryEntry {
  std::filesystem::path name;
  bool is_directory = false;
};

/// The largest file ReadFile reads. The largest picture allowed is 64
/// megapixels, 256 MiB as a 32-bit BMP; a skin file is a few kilobytes. A
/// larger file from a skin would only cost a 32-bit program its memory.
inline constexpr std::uintmax_t kMaxReadBytes = 320ull * 1024 * 1024;

/// A file read from its start to its end, piece by piece, so that a file of
/// any size needs no more memory than the pieces the caller asks for.
class FileReader {
 public:
  virtual ~FileReader() = default;

  /// Reads up to `size` bytes into `into`; `*got` is 0 only at the end of
  /// the file.
  virtual bool Read(char* into, std::size_t size, std::size_t* got, std::string* err) = 0;
};

/// A file written from its start to its end, piece by piece.
class FileWriter {
 public:
  /// A writer that was not closed closes its file without a word: its file
  /// is incomplete anyway, and the caller already has the reason.
  virtual ~FileWriter() = default;

  virtual bool Write(std::string_view bytes, std::string* err) = 0;

  /// Ends the file and puts its bytes on the disk, so that a power cut after
  /// it cannot leave the file empty. A full disk often shows only here, so a
  /// file is complete only once this has succeeded.
  virtual bool Close(std::string* err) = 0;
};

/// A lock on a file, held for as long as the object lives. The system drops
/// it when the process ends however it ends, so a killed run never leaves a
/// lock that blocks the next one.
class FileLock {
 public:
  virtual ~FileLock() = default;

  /// Leaves a short note in the lock file, in place of the last one, for
  /// whoever finds the lock taken (FileSystem::LockNote): what the holder is
  /// doing now. A note that cannot be written is simply missing.
  virtual void SetNote(std::string_view note) = 0;
};

/// The file-system operations the core needs, and nothing more.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// What `path` names; kMissing also when it cannot be queried at all.
  virtual EntryKind Stat(const std::filesystem::path& path) = 0;

  /// True when `path` itself is a link, or on Windows any reparse point (a
  /// junction too), not what it points to: through one a skin could steer
  /// this elevated program to files outside it.
  virtual bool IsLink(const std::filesystem::path& path) = 0;

  /// Reads the whole file into `contents`, keeping its capacity; a file
  /// larger than kMaxReadBytes is refused before anything is allocated.
  /// After a failure `contents` holds nothing to rely on.
  virtual bool ReadFile(const std::filesystem::path& path, std::string* contents,
                        std::string* err) = 0;

  /// Creates or replaces the file with `contents`, in one write, and puts it
  /// on the disk before returning.
  virtual bool WriteFile(const std::filesystem::path& path, std::string_view contents,
                         std::string* err) = 0;

  /// Opens the file for reading in pieces; nothing on failure.
  virtual std::unique_ptr<FileReader> OpenForReading(const std::filesystem::path& path,
                                                     std::string* err) = 0;

  /// Creates or replaces the file for writing in pieces; nothing on failure.
  virtual std::unique_ptr<FileWriter> OpenForWriting(const std::filesystem::path& path,
                                                     std::string* err) = 0;

  /// The entries of a folder without "." and "..", in enumeration order.
  virtual bool ListDirectory(const std::filesystem::path& path,
                             std::vector<DirectoryEntry>* entries, std::string* err) = 0;

  /// Creates one folder level; the parent must exist.
  virtual bool MakeDirectory(const std::filesystem::path& path, std::string* err) = 0;

  /// Removes a folder and all it holds. A link or junction inside is removed
  /// itself; what it points to is never entered.
  virtual bool RemoveTree(const std::filesystem::path& path, std::string* err) = 0;

  /// Renames a file or folder; the target must not exist. On Windows the
  /// rename is written through to the disk before it returns; elsewhere
  /// SyncFolder on the parent does that.
  virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to,
                      std::string* err) = 0;

  /// Copies a file, replacing the target. (Not "CopyFile": windows.h makes
  /// that name a macro in every file that sees it.)
  virtual bool Copy(const std::filesystem::path& from, const std::filesystem::path& to,
                    std::string* err) = 0;

  /// Puts the entries of a folder (files made, renamed or removed in it) on
  /// the disk; on Windows, where renames are written through, it does nothing.
  virtual bool SyncFolder(const std::filesystem::path& folder, std::string* err) = 0;

  /// Locks the file `path` (creating it) for this process alone. Nothing and
  /// `*held_elsewhere` true when someone else holds it; nothing and `err` set
  /// when it cannot be locked at all. The file goes when the lock does, or
  /// stays as a small file to be reused.
  virtual std::unique_ptr<FileLock> TryLock(const std::filesystem::path& path, bool* held_elsewhere,
                                            std::string* err) = 0;

  /// The note the holder of the lock on `path` left; "" when it left none or
  /// it cannot be read. A lock taken anew starts without a note, so a holder
  /// that died speaks no more.
  virtual std::string LockNote(const std::filesystem::path& path) = 0;

  /// Whether RemoveTree could remove the folder and all it holds: false,
  /// with the folder named, when some entry is marked read-only.
  virtual bool CheckRemovable(const std::filesystem::path& path, std::string* err) = 0;
};

/// The machine's own file system.
class RealFileSystem : public FileSystem {
 public:
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
  // The first entry of the tree marked read-only, or nothing.
  bool FindReadOnly(const std::filesystem::path& path, std::filesystem::path* found,
                    std::string* err);
};

/// A path as UTF-8 text for messages, with the platform's separators.
std::string DisplayPath(const std::filesystem::path& path);

/// Why CheckRemovable refuses `folder`, in two short lines: the folder, then
/// the entry marked read-only by its path inside it (`marked`, "." for the
/// folder itself).
std::string ReadOnlyFolderText(const std::filesystem::path& folder,
                               const std::filesystem::path& marked);

}  // namespace fendrix

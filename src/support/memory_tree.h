#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <string>

#include "support/file_system.h"

// What the file systems that keep their entries in memory share: the dry
// run's overlay and the tests' file system.

namespace fendrix {

/// `path` as such a file system keys its entries: normalised, without a
/// trailing separator.
inline std::filesystem::path TreeKey(const std::filesystem::path& path) {
  std::filesystem::path key = path.lexically_normal();
  if (!key.has_filename() && key.has_relative_path()) key = key.parent_path();
  return key;
}

/// True when `path` is `root` or lies below it.
inline bool IsUnder(const std::filesystem::path& path, const std::filesystem::path& root) {
  auto [at_root, at_path] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
  return at_root == root.end();
}

/// A failure in the words of the disk's: "what: path (reason)".
inline std::string TreeFailure(const char* what, const std::filesystem::path& path,
                               const char* reason) {
  return std::string(what) + ": " + DisplayPath(path) + " (" + reason + ")";
}

/// A folder synced in memory: there is nothing to flush, so it only fails,
/// in the disk's words, when the folder is not there.
inline bool SyncedInMemory(EntryKind kind, const std::filesystem::path& folder, std::string* err) {
  if (kind == EntryKind::kDirectory) return true;
  *err = TreeFailure("Ordner kann nicht auf den Datenträger geschrieben werden", folder,
                     "nicht vorhanden");
  return false;
}

/// A file read from a copy of its bytes, so that writing the file meanwhile
/// changes nothing read.
class BytesReader : public FileReader {
 public:
  explicit BytesReader(std::string contents) : contents_(std::move(contents)) {}
  bool Read(char* into, std::size_t size, std::size_t* got, std::string*) override {
    *got = contents_.copy(into, size, offset_);
    offset_ += *got;
    return true;
  }

 private:
  std::string contents_;
  std::size_t offset_ = 0;
};

}  // namespace fendrix

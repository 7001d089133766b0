#include "support/file_helpers.h"

#include <memory>

#include "support/path_text.h"
#include "support/text_lines.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kCountPiece = std::size_t{64} << 10;

}  // namespace

bool FileExists(FileSystem& fs, const fs::path& path) {
  // Only a regular file: reading a pipe or a device that a skin names would
  // block or never end.
  return fs.Stat(path) == EntryKind::kFile;
}

bool FolderExists(FileSystem& fs, const fs::path& path) {
  return fs.Stat(path) == EntryKind::kDirectory;
}

bool CreatePath(FileSystem& fs, const fs::path& path, std::string* err) {
  if (FolderExists(fs, path)) return true;
  // The first component (a drive or root, or the first name of a relative
  // path) is where the path starts from: it is never created.
  fs::path prefix = path.root_path();
  bool skip_first = prefix.empty();
  for (const fs::path& part : path.relative_path()) {
    if (part.empty()) continue;  // a trailing separator
    prefix /= part;
    if (skip_first) {
      skip_first = false;
      continue;
    }
    if (!FolderExists(fs, prefix) && !fs.MakeDirectory(prefix, err)) return false;
  }
  return true;
}

bool CountLines(FileSystem& fs, const fs::path& path, std::size_t* count, std::string* err) {
  std::unique_ptr<FileReader> file = fs.OpenForReading(path, err);
  if (!file) return false;
  // A skin file can run to megabytes: counted piece by piece through one
  // buffer small enough to stay in the processor's cache.
  auto piece = std::make_unique_for_overwrite<char[]>(kCountPiece);
  LineCounter counter;
  for (std::size_t got;;) {
    if (!file->Read(piece.get(), kCountPiece, &got, err)) return false;
    if (got == 0) break;
    counter.Add(std::string_view(piece.get(), got));
  }
  *count = counter.count();
  return true;
}

}  // namespace fendrix

namespace fendrix {

fs::path FindEntry(FileSystem& fs, const fs::path& folder, const fs::path& name) {
  fs::path exact = folder / name;
  if (fs.Stat(exact) != EntryKind::kMissing) return exact;
  std::vector<DirectoryEntry> entries;
  std::string ignored;
  if (!fs.ListDirectory(folder, &entries, &ignored)) return exact;
  for (const DirectoryEntry& entry : entries) {
    if (NamesEqualIgnoringCase(entry.name, name)) return folder / entry.name;
  }
  return exact;
}

}  // namespace fendrix

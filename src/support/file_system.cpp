#include "support/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include "support/durable_io.h"
#include "support/file_lock.h"
#include "support/large_buffer.h"
#include "support/link_check.h"
#include "support/system_error_text.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wide_mode(mode, mode + std::strlen(mode));
  return _wfopen(path.c_str(), wide_mode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

std::string Failure(const char* what, const fs::path& path, const std::string& reason) {
  return std::string(what) + ": " + DisplayPath(path) + " (" + reason + ")";
}

std::string ErrnoText() { return SystemErrorText(errno); }

bool WriteWhole(const fs::path& path, std::string_view contents, std::string* err) {
  errno = 0;
  std::FILE* file = OpenFile(path, "wb");
  if (!file) {
    *err = Failure("Datei kann nicht geschrieben werden", path, ErrnoText());
    return false;
  }
  bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size() &&
                 FlushToDisk(file);
  int write_errno = errno;
  // A full disk often shows only when the buffer is flushed on close.
  bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    errno = write_errno ? write_errno : errno;
    *err = Failure("Datei kann nicht geschrieben werden", path, ErrnoText());
    return false;
  }
  return true;
}

// The pieces come from and go to the caller's own buffers, so the stream
// keeps no buffer of its own: every read and write goes straight to the
// system.
class StdioReader : public FileReader {
 public:
  StdioReader(FilePtr file, fs::path path) : file_(std::move(file)), path_(std::move(path)) {
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
  }

  bool Read(char* into, std::size_t size, std::size_t* got, std::string* err) override {
    errno = 0;
    *got = std::fread(into, 1, size, file_.get());
    if (std::ferror(file_.get())) {
      *err = Failure("Datei kann nicht gelesen werden", path_, ErrnoText());
      return false;
    }
    return true;
  }

 private:
  FilePtr file_;
  fs::path path_;
};

class StdioWriter : public FileWriter {
 public:
  StdioWriter(FilePtr file, fs::path path) : file_(std::move(file)), path_(std::move(path)) {
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
  }

  bool Write(std::string_view bytes, std::string* err) override {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) {
      *err = Failure("Datei kann nicht geschrieben werden", path_, ErrnoText());
      return false;
    }
    return true;
  }

  bool Close(std::string* err) override {
    errno = 0;
    const bool flushed = FlushToDisk(file_.get());
    const int flush_errno = errno;
    if (std::fclose(file_.release()) != 0 || !flushed) {
      if (!flushed) errno = flush_errno;
      *err = Failure("Datei kann nicht geschrieben werden", path_, ErrnoText());
      return false;
    }
    return true;
  }

 private:
  FilePtr file_;
  fs::path path_;
};

bool RemoveEntry(const fs::path& path, std::string* err) {
  std::error_code ec;
  fs::remove(path, ec);
  if (ec) {
    *err = Failure("Eintrag kann nicht entfernt werden", path, SystemErrorText(ec));
    return false;
  }
  return true;
}

}  // namespace

std::string DisplayPath(const fs::path& path) {
  std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

std::string ReadOnlyFolderText(const fs::path& folder, const fs::path& marked) {
  std::string text = "Ordner kann nicht ersetzt werden: " + DisplayPath(folder) + "\n";
  if (marked.empty() || marked == ".") return text + "Der Ordner ist schreibgeschützt.";
  return text + "Schreibgeschützt: " + DisplayPath(marked);
}

EntryKind RealFileSystem::Stat(const fs::path& path) {
  if (path.empty()) return EntryKind::kMissing;
  std::error_code ec;
  fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) return EntryKind::kMissing;
  if (fs::is_directory(status)) return EntryKind::kDirectory;
  if (fs::is_regular_file(status)) return EntryKind::kFile;
  return EntryKind::kOther;
}

bool RealFileSystem::IsLink(const fs::path& path) { return IsLinkOrJunction(path); }

bool RealFileSystem::ReadFile(const fs::path& path, std::string* contents, std::string* err) {
  errno = 0;
  FilePtr file(OpenFile(path, "rb"));
  if (!file) {
    *err = Failure("Datei kann nicht gelesen werden", path, ErrnoText());
    return false;
  }
  // One read of the size the file has now, straight into the caller's
  // buffer (whose capacity a caller reading many files keeps); then on to
  // the end, should the file have grown meanwhile.
  std::error_code ec;
  const std::uintmax_t found = fs::is_regular_file(path, ec) ? fs::file_size(path, ec) : 0;
  const std::size_t size = ec ? 0 : static_cast<std::size_t>(std::min(found, kMaxReadBytes + 1));
  if (size > kMaxReadBytes) {
    *err = Failure(
        "Datei kann nicht gelesen werden", path,
        "zu groß: " + std::to_string(found) + " Bytes, höchstens " + std::to_string(kMaxReadBytes));
    return false;
  }
  if (contents->capacity() < size) {
    contents->clear();  // nothing to keep when it moves
    contents->reserve(size);
    ExpectFullUse(contents->data(), size);
  }
  contents->resize(size);
  std::size_t got = std::fread(contents->data(), 1, size, file.get());
  if (got == size) {
    char buffer[1 << 16];
    for (std::size_t more; (more = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
      if (got + more > kMaxReadBytes) {
        *err =
            Failure("Datei kann nicht gelesen werden", path, "wächst beim Lesen über die Grenze");
        return false;
      }
      contents->append(buffer, more);
      got += more;
    }
  }
  contents->resize(got);
  if (std::ferror(file.get())) {
    *err = Failure("Datei kann nicht gelesen werden", path, ErrnoText());
    return false;
  }
  return true;
}

bool RealFileSystem::WriteFile(const fs::path& path, std::string_view contents, std::string* err) {
  return WriteWhole(path, contents, err);
}

std::unique_ptr<FileReader> RealFileSystem::OpenForReading(const fs::path& path, std::string* err) {
  errno = 0;
  FilePtr file(OpenFile(path, "rb"));
  if (!file) {
    *err = Failure("Datei kann nicht gelesen werden", path, ErrnoText());
    return nullptr;
  }
  return std::make_unique<StdioReader>(std::move(file), path);
}

std::unique_ptr<FileWriter> RealFileSystem::OpenForWriting(const fs::path& path, std::string* err) {
  errno = 0;
  FilePtr file(OpenFile(path, "wb"));
  if (!file) {
    *err = Failure("Datei kann nicht geschrieben werden", path, ErrnoText());
    return nullptr;
  }
  return std::make_unique<StdioWriter>(std::move(file), path);
}

bool RealFileSystem::ListDirectory(const fs::path& path, std::vector<DirectoryEntry>* entries,
                                   std::string* err) {
  std::error_code ec;
  fs::directory_iterator it(path, ec), end;
  std::vector<DirectoryEntry> found;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code kind_ec;
    found.push_back({it->path().filename(), it->is_directory(kind_ec)});
  }
  if (ec) {
    *err = Failure("Ordner kann nicht gelesen werden", path, SystemErrorText(ec));
    return false;
  }
  *entries = std::move(found);
  return true;
}

bool RealFileSystem::MakeDirectory(const fs::path& path, std::string* err) {
  std::error_code ec;
  if (!fs::create_directory(path, ec) && !ec) {
    // It already stood there; only a folder will do.
    if (Stat(path) == EntryKind::kDirectory) return true;
    ec = std::make_error_code(std::errc::file_exists);
  }
  if (ec) {
    *err = Failure("Ordner kann nicht angelegt werden", path, SystemErrorText(ec));
    return false;
  }
  return true;
}

bool RealFileSystem::RemoveTree(const fs::path& path, std::string* err) {
  if (IsLinkOrJunction(path)) return RemoveEntry(path, err);
  std::error_code ec;
  fs::file_status status = fs::symlink_status(path, ec);
  if (ec || !fs::exists(status)) return true;
  if (fs::is_directory(status)) {
    std::vector<DirectoryEntry> entries;
    if (!ListDirectory(path, &entries, err)) return false;
    for (const DirectoryEntry& entry : entries) {
      if (!RemoveTree(path / entry.name, err)) return false;
    }
  }
  return RemoveEntry(path, err);
}

bool RealFileSystem::Rename(const fs::path& from, const fs::path& to, std::string* err) {
  if (Stat(to) != EntryKind::kMissing || IsLinkOrJunction(to)) {
    *err = "Umbenennen nicht möglich, das Ziel existiert bereits: " + DisplayPath(to);
    return false;
  }
  std::error_code ec;
  RenameWrittenThrough(from, to, ec);
  if (ec) {
    *err = "Umbenennen fehlgeschlagen: " + DisplayPath(from) + " -> " + DisplayPath(to) + " (" +
           SystemErrorText(ec) + ")";
    return false;
  }
  return true;
}

bool RealFileSystem::Copy(const fs::path& from, const fs::path& to, std::string* err) {
  std::string contents;
  if (!ReadFile(from, &contents, err)) return false;
  return WriteFile(to, contents, err);
}

bool RealFileSystem::SyncFolder(const fs::path& folder, std::string* err) {
  return SyncFolderToDisk(folder, err);
}

std::unique_ptr<FileLock> RealFileSystem::TryLock(const fs::path& path, bool* held_elsewhere,
                                                  std::string* err) {
  return TryLockFile(path, held_elsewhere, err);
}

std::string RealFileSystem::LockNote(const fs::path& path) { return ReadLockNote(path); }

bool RealFileSystem::CheckRemovable(const fs::path& path, std::string* err) {
  fs::path protected_entry;
  if (!FindReadOnly(path, &protected_entry, err)) return false;
  if (protected_entry.empty()) return true;
  *err = ReadOnlyFolderText(path, protected_entry.lexically_relative(path));
  return false;
}

bool RealFileSystem::FindReadOnly(const fs::path& path, fs::path* found, std::string* err) {
  // A link is removed itself, whatever it points to.
  if (IsLinkOrJunction(path)) return true;
  const EntryKind kind = Stat(path);
  if (kind == EntryKind::kMissing) return true;
  if (IsMarkedReadOnly(path)) {
    *found = path;
    return true;
  }
  if (kind != EntryKind::kDirectory) return true;
  std::vector<DirectoryEntry> entries;
  if (!ListDirectory(path, &entries, err)) return false;
  for (const DirectoryEntry& entry : entries) {
    if (!FindReadOnly(path / entry.name, found, err)) return false;
    if (!found->empty()) return true;
  }
  return true;
}

}  // namespace fendrix

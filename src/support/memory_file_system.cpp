#include "support/memory_file_system.h"

#include "support/memory_tree.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

// Links followed on one path before it counts as a loop, as a system would.
constexpr int kMaxLinks = 40;

}  // namespace

// Held in the set of the file system, which must outlive it.
class MemoryFileSystem::Lock : public FileLock {
 public:
  Lock(MemoryFileSystem& owner, fs::path path) : owner_(owner), path_(std::move(path)) {}
  ~Lock() override {
    std::lock_guard guard(owner_.mutex_);
    owner_.locked_.erase(path_);
    owner_.entries_.erase(path_);
  }
  void SetNote(std::string_view note) override {
    std::lock_guard guard(owner_.mutex_);
    owner_.entries_[path_].contents = note;
  }

 private:
  MemoryFileSystem& owner_;
  fs::path path_;
};

// Every piece goes into the file at once, as an unbuffered stream's would.
class MemoryFileSystem::Writer : public FileWriter {
 public:
  Writer(MemoryFileSystem& owner, fs::path path) : owner_(owner), path_(std::move(path)) {}
  bool Write(std::string_view bytes, std::string* err) override {
    std::lock_guard guard(owner_.mutex_);
    return owner_.Put(path_, bytes, true, err);
  }
  bool Close(std::string* err) override { return Write("", err); }

 private:
  MemoryFileSystem& owner_;
  fs::path path_;
};

void MemoryFileSystem::AddFile(const fs::path& path, std::string_view contents) {
  AddFolder(TreeKey(path).parent_path());
  std::string ignored;
  WriteFile(path, contents, &ignored);
}

void MemoryFileSystem::AddFolder(const fs::path& path) {
  std::lock_guard guard(mutex_);
  fs::path prefix;
  for (const fs::path& part : TreeKey(path)) {
    prefix /= part;
    if (prefix.has_relative_path() && !Find(Resolve(prefix, true))) {
      entries_[Resolve(prefix, true)].kind = EntryKind::kDirectory;
    }
  }
}

void MemoryFileSystem::AddLink(const fs::path& path, const fs::path& target) {
  std::lock_guard guard(mutex_);
  Entry& link = entries_[Resolve(path, false)];
  link.kind = EntryKind::kOther;
  link.target = TreeKey(target);
}

void MemoryFileSystem::MarkReadOnly(const fs::path& path) {
  std::lock_guard guard(mutex_);
  if (Entry* entry = Find(Resolve(path, false))) entry->read_only = true;
}

fs::path MemoryFileSystem::Resolve(const fs::path& path, bool follow_last) const {
  const fs::path normal = TreeKey(path);
  const fs::path relative = normal.relative_path();
  fs::path resolved = normal.root_path();
  int links = 0;
  for (auto part = relative.begin(); part != relative.end();) {
    resolved /= *part;
    const bool last = ++part == relative.end();
    auto it = entries_.find(resolved);
    while (it != entries_.end() && !it->second.target.empty() && (!last || follow_last) &&
           links++ < kMaxLinks) {
      resolved = it->second.target;
      it = entries_.find(resolved);
    }
  }
  return resolved;
}

MemoryFileSystem::Entry* MemoryFileSystem::Find(const fs::path& resolved) {
  auto it = entries_.find(resolved);
  return it == entries_.end() ? nullptr : &it->second;
}

bool MemoryFileSystem::IsRoot(const fs::path& resolved) const {
  return !resolved.empty() && !resolved.has_relative_path();
}

bool MemoryFileSystem::ParentIsFolder(const fs::path& resolved) {
  if (!resolved.has_relative_path()) return false;
  const fs::path parent = resolved.parent_path();
  const Entry* entry = Find(parent);
  return IsRoot(parent) || (entry && entry->kind == EntryKind::kDirectory);
}

std::vector<fs::path> MemoryFileSystem::Tree(const fs::path& resolved) const {
  std::vector<fs::path> tree;
  for (auto it = entries_.lower_bound(resolved); it != entries_.end(); ++it) {
    if (!IsUnder(it->first, resolved)) break;
    tree.push_back(it->first);
  }
  return tree;
}

EntryKind MemoryFileSystem::Stat(const fs::path& path) {
  std::lock_guard guard(mutex_);
  return KindOf(path);
}

EntryKind MemoryFileSystem::KindOf(const fs::path& path) {
  const fs::path resolved = Resolve(path, true);
  if (IsRoot(resolved)) return EntryKind::kDirectory;
  const Entry* entry = Find(resolved);
  // A link whose target is missing, or a loop of links, leads nowhere.
  return entry && entry->target.empty() ? entry->kind : EntryKind::kMissing;
}

bool MemoryFileSystem::IsLink(const fs::path& path) {
  std::lock_guard guard(mutex_);
  return IsLinkAt(path);
}

bool MemoryFileSystem::IsLinkAt(const fs::path& path) {
  const Entry* entry = Find(Resolve(path, false));
  return entry && !entry->target.empty();
}

const MemoryFileSystem::Entry* MemoryFileSystem::FileToRead(const fs::path& path,
                                                            std::string* err) {
  const Entry* entry = Find(Resolve(path, true));
  if (!entry || entry->kind != EntryKind::kFile) {
    *err = TreeFailure("Datei kann nicht gelesen werden", path, "nicht vorhanden");
    return nullptr;
  }
  return entry;
}

bool MemoryFileSystem::ReadFile(const fs::path& path, std::string* contents, std::string* err) {
  std::lock_guard guard(mutex_);
  const Entry* entry = FileToRead(path, err);
  if (entry) contents->assign(entry->contents);
  return entry;
}

bool MemoryFileSystem::Put(const fs::path& path, std::string_view contents, bool append,
                           std::string* err) {
  const fs::path resolved = Resolve(path, true);
  Entry* entry = Find(resolved);
  const char* reason = nullptr;
  if (!ParentIsFolder(resolved)) reason = "Ordner fehlt";
  if (entry && entry->kind != EntryKind::kFile) reason = "keine Datei";
  if (entry && entry->read_only) reason = "schreibgeschützt";
  if (reason) {
    *err = TreeFailure("Datei kann nicht geschrieben werden", path, reason);
    return false;
  }
  Entry& file = entries_[resolved];
  if (!append) file.contents.clear();
  file.contents.append(contents);
  return true;
}

bool MemoryFileSystem::WriteFile(const fs::path& path, std::string_view contents,
                                 std::string* err) {
  std::lock_guard guard(mutex_);
  return Put(path, contents, false, err);
}

std::unique_ptr<FileReader> MemoryFileSystem::OpenForReading(const fs::path& path,
                                                             std::string* err) {
  std::lock_guard guard(mutex_);
  const Entry* entry = FileToRead(path, err);
  if (!entry) return nullptr;
  return std::make_unique<BytesReader>(entry->contents);
}

std::unique_ptr<FileWriter> MemoryFileSystem::OpenForWriting(const fs::path& path,
                                                             std::string* err) {
  std::lock_guard guard(mutex_);
  if (!Put(path, "", false, err)) return nullptr;
  return std::make_unique<Writer>(*this, path);
}

bool MemoryFileSystem::ListDirectory(const fs::path& path, std::vector<DirectoryEntry>* entries,
                                     std::string* err) {
  std::lock_guard guard(mutex_);
  const fs::path resolved = Resolve(path, true);
  if (KindOf(resolved) != EntryKind::kDirectory) {
    *err = TreeFailure("Ordner kann nicht gelesen werden", path, "nicht vorhanden");
    return false;
  }
  entries->clear();
  for (const fs::path& below : Tree(resolved)) {
    if (below.parent_path() != resolved || below == resolved) continue;
    entries->push_back({below.filename(), KindOf(below) == EntryKind::kDirectory});
  }
  return true;
}

bool MemoryFileSystem::MakeDirectory(const fs::path& path, std::string* err) {
  std::lock_guard guard(mutex_);
  const fs::path resolved = Resolve(path, true);
  const EntryKind kind = KindOf(resolved);
  if (kind == EntryKind::kDirectory) return true;
  if (kind != EntryKind::kMissing || !ParentIsFolder(resolved)) {
    *err = TreeFailure("Ordner kann nicht angelegt werden", path,
                   kind == EntryKind::kMissing ? "Ordner darüber fehlt" : "existiert als Datei");
    return false;
  }
  entries_[resolved].kind = EntryKind::kDirectory;
  return true;
}

bool MemoryFileSystem::RemoveTree(const fs::path& path, std::string* err) {
  std::lock_guard guard(mutex_);
  // A link is one entry; what it points to lies elsewhere and stays.
  const std::vector<fs::path> tree = Tree(Resolve(path, false));
  for (const fs::path& entry : tree) {
    if (entries_[entry].read_only) {
      *err = TreeFailure("Eintrag kann nicht entfernt werden", entry, "schreibgeschützt");
      return false;
    }
  }
  for (const fs::path& entry : tree) entries_.erase(entry);
  return true;
}

bool MemoryFileSystem::Rename(const fs::path& from, const fs::path& to, std::string* err) {
  std::lock_guard guard(mutex_);
  if (KindOf(to) != EntryKind::kMissing || IsLinkAt(to)) {
    *err = "Umbenennen nicht möglich, das Ziel existiert bereits: " + DisplayPath(to);
    return false;
  }
  const fs::path source = Resolve(from, false);
  const fs::path target = Resolve(to, false);
  const char* reason = nullptr;
  if (!Find(source)) reason = "nicht vorhanden";
  if (!ParentIsFolder(target) || IsUnder(target, source)) reason = "Ziel nicht erreichbar";
  if (reason) {
    *err = "Umbenennen fehlgeschlagen: " + DisplayPath(from) + " -> " + DisplayPath(to) + " (" +
           reason + ")";
    return false;
  }
  for (const fs::path& entry : Tree(source)) {
    auto node = entries_.extract(entry);
    node.key() = entry == source ? target : target / entry.lexically_relative(source);
    entries_.insert(std::move(node));
  }
  return true;
}

bool MemoryFileSystem::Copy(const fs::path& from, const fs::path& to, std::string* err) {
  std::lock_guard guard(mutex_);
  const Entry* entry = FileToRead(from, err);
  if (!entry) return false;
  const std::string contents = entry->contents;
  return Put(to, contents, false, err);
}

bool MemoryFileSystem::SyncFolder(const fs::path& folder, std::string* err) {
  return SyncedInMemory(Stat(folder), folder, err);
}

std::unique_ptr<FileLock> MemoryFileSystem::TryLock(const fs::path& path, bool* held_elsewhere,
                                                    std::string* err) {
  std::lock_guard guard(mutex_);
  const fs::path resolved = Resolve(path, true);
  *held_elsewhere = locked_.contains(resolved);
  if (*held_elsewhere) return nullptr;
  if (!Put(resolved, "", false, err)) return nullptr;
  locked_.insert(resolved);
  return std::make_unique<Lock>(*this, resolved);
}

std::string MemoryFileSystem::LockNote(const fs::path& path) {
  std::lock_guard guard(mutex_);
  const fs::path resolved = Resolve(path, true);
  const Entry* entry = locked_.contains(resolved) ? Find(resolved) : nullptr;
  return entry ? entry->contents : "";
}

bool MemoryFileSystem::CheckRemovable(const fs::path& path, std::string* err) {
  std::lock_guard guard(mutex_);
  const fs::path resolved = Resolve(path, false);
  for (const fs::path& entry : Tree(resolved)) {
    if (!entries_[entry].read_only) continue;
    *err = ReadOnlyFolderText(path, entry.lexically_relative(resolved));
    return false;
  }
  return true;
}

}  // namespace fendrix

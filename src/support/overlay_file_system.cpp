#include "support/overlay_file_system.h"

#include "support/memory_tree.h"

namespace fendrix {
namespace fs = std::filesystem;

class OverlayFileSystem::Lock : public FileLock {
 public:
  Lock(OverlayFileSystem& owner, fs::path path) : owner_(owner), path_(std::move(path)) {}
  ~Lock() override {
    owner_.locked_.erase(path_);
    owner_.changes_.erase(path_);
  }
  void SetNote(std::string_view note) override { owner_.changes_[path_].contents = note; }

 private:
  OverlayFileSystem& owner_;
  fs::path path_;
};

class OverlayFileSystem::Writer : public FileWriter {
 public:
  Writer(OverlayFileSystem& owner, fs::path path) : owner_(owner), path_(std::move(path)) {}
  bool Write(std::string_view bytes, std::string* err) override {
    Change* file = owner_.Locate(path_).change;
    if (!file || file->kind != EntryKind::kFile) {
      *err = TreeFailure("Datei kann nicht geschrieben werden", path_, "nicht vorhanden");
      return false;
    }
    file->contents.append(bytes);
    return true;
  }
  bool Close(std::string* err) override { return Write("", err); }

 private:
  OverlayFileSystem& owner_;
  fs::path path_;
};

OverlayFileSystem::Place OverlayFileSystem::Locate(const fs::path& path) {
  const fs::path normal = TreeKey(path);
  for (fs::path above = normal;; above = above.parent_path()) {
    if (auto it = changes_.find(above); it != changes_.end()) {
      if (above == normal) return {&it->second, it->second.disk};
      const Change& change = it->second;
      // Below a file, a removed entry or a folder made here the disk is hidden.
      if (change.kind != EntryKind::kDirectory || change.disk.empty()) return {};
      return {nullptr, change.disk / normal.lexically_relative(above)};
    }
    // Untouched here: the disk's, named as the caller named it, as the disk's
    // own messages then name it.
    if (!above.has_relative_path()) return {nullptr, path};
  }
}

EntryKind OverlayFileSystem::KindOf(const Place& place) {
  if (place.change) return place.change->kind;
  return place.disk.empty() ? EntryKind::kMissing : disk_.Stat(place.disk);
}

std::vector<fs::path> OverlayFileSystem::ChangesBelow(const fs::path& path) const {
  std::vector<fs::path> below;
  for (auto it = changes_.lower_bound(path); it != changes_.end() && IsUnder(it->first, path);
       ++it) {
    below.push_back(it->first);
  }
  return below;
}

EntryKind OverlayFileSystem::Stat(const fs::path& path) { return KindOf(Locate(path)); }

bool OverlayFileSystem::IsLink(const fs::path& path) {
  const Place place = Locate(path);
  return !place.change && !place.disk.empty() && disk_.IsLink(place.disk);
}

bool OverlayFileSystem::ReadFile(const fs::path& path, std::string* contents, std::string* err) {
  const Place place = Locate(path);
  if (place.change && place.change->kind == EntryKind::kFile && place.disk.empty()) {
    contents->assign(place.change->contents);
    return true;
  }
  if (KindOf(place) != EntryKind::kFile) {
    *err = TreeFailure("Datei kann nicht gelesen werden", path, "nicht vorhanden");
    return false;
  }
  return disk_.ReadFile(place.disk, contents, err);
}

std::unique_ptr<FileReader> OverlayFileSystem::OpenForReading(const fs::path& path,
                                                              std::string* err) {
  const Place place = Locate(path);
  if (place.change && place.change->kind == EntryKind::kFile && place.disk.empty()) {
    return std::make_unique<BytesReader>(place.change->contents);
  }
  if (KindOf(place) != EntryKind::kFile) {
    *err = TreeFailure("Datei kann nicht gelesen werden", path, "nicht vorhanden");
    return nullptr;
  }
  return disk_.OpenForReading(place.disk, err);
}

bool OverlayFileSystem::Put(const fs::path& path, std::string_view contents, std::string* err) {
  const fs::path normal = TreeKey(path);
  const char* reason = nullptr;
  if (!normal.has_relative_path() || Stat(normal.parent_path()) != EntryKind::kDirectory) {
    reason = "Ordner fehlt";
  } else if (Stat(normal) == EntryKind::kDirectory) {
    reason = "keine Datei";
  }
  if (reason) {
    *err = TreeFailure("Datei kann nicht geschrieben werden", path, reason);
    return false;
  }
  changes_[normal] = {EntryKind::kFile, std::string(contents), {}};
  return true;
}

bool OverlayFileSystem::WriteFile(const fs::path& path, std::string_view contents,
                                  std::string* err) {
  return Put(path, contents, err);
}

std::unique_ptr<FileWriter> OverlayFileSystem::OpenForWriting(const fs::path& path,
                                                              std::string* err) {
  if (!Put(path, "", err)) return nullptr;
  return std::make_unique<Writer>(*this, path);
}

bool OverlayFileSystem::ListDirectory(const fs::path& path, std::vector<DirectoryEntry>* entries,
                                      std::string* err) {
  const fs::path normal = TreeKey(path);
  const Place place = Locate(path);
  if (place.change ? place.change->kind != EntryKind::kDirectory : place.disk.empty()) {
    *err = TreeFailure("Ordner kann nicht gelesen werden", path, "nicht vorhanden");
    return false;
  }
  std::vector<DirectoryEntry> on_disk;
  if (!place.disk.empty() && !disk_.ListDirectory(place.disk, &on_disk, err)) return false;
  std::map<fs::path, bool> merged;
  for (const DirectoryEntry& entry : on_disk) merged[entry.name] = entry.is_directory;
  for (const fs::path& changed : ChangesBelow(normal)) {
    if (changed.parent_path() != normal || changed == normal) continue;
    const EntryKind kind = changes_[changed].kind;
    if (kind == EntryKind::kMissing) {
      merged.erase(changed.filename());
    } else {
      merged[changed.filename()] = kind == EntryKind::kDirectory;
    }
  }
  entries->clear();
  for (const auto& [name, is_directory] : merged) entries->push_back({name, is_directory});
  return true;
}

bool OverlayFileSystem::MakeDirectory(const fs::path& path, std::string* err) {
  const fs::path normal = TreeKey(path);
  const EntryKind kind = Stat(normal);
  if (kind == EntryKind::kDirectory) return true;
  if (kind != EntryKind::kMissing || !normal.has_relative_path() ||
      Stat(normal.parent_path()) != EntryKind::kDirectory) {
    *err = TreeFailure("Ordner kann nicht angelegt werden", path,
                   kind == EntryKind::kMissing ? "Ordner darüber fehlt" : "existiert als Datei");
    return false;
  }
  changes_[normal] = {EntryKind::kDirectory, "", {}};
  return true;
}

bool OverlayFileSystem::RemoveTree(const fs::path& path, std::string*) {
  const fs::path normal = TreeKey(path);
  for (const fs::path& changed : ChangesBelow(normal)) changes_.erase(changed);
  changes_[normal] = {};
  return true;
}

bool OverlayFileSystem::Rename(const fs::path& from, const fs::path& to, std::string* err) {
  if (Stat(to) != EntryKind::kMissing || IsLink(to)) {
    *err = "Umbenennen nicht möglich, das Ziel existiert bereits: " + DisplayPath(to);
    return false;
  }
  const fs::path source = TreeKey(from), target = TreeKey(to);
  const Place place = Locate(from);
  const char* reason = nullptr;
  if (KindOf(place) == EntryKind::kMissing && !IsLink(source)) reason = "nicht vorhanden";
  if (!target.has_relative_path() || Stat(target.parent_path()) != EntryKind::kDirectory ||
      IsUnder(target, source)) {
    reason = "Ziel nicht erreichbar";
  }
  if (reason) {
    *err = "Umbenennen fehlgeschlagen: " + DisplayPath(from) + " -> " + DisplayPath(to) + " (" +
           reason + ")";
    return false;
  }
  const Change moved = place.change ? *place.change : Change{KindOf(place), "", place.disk};
  for (const fs::path& changed : ChangesBelow(target)) changes_.erase(changed);
  for (const fs::path& changed : ChangesBelow(source)) {
    if (changed == source) continue;
    auto node = changes_.extract(changed);
    node.key() = target / changed.lexically_relative(source);
    changes_.insert(std::move(node));
  }
  changes_[target] = moved;
  changes_[source] = {};
  return true;
}

bool OverlayFileSystem::Copy(const fs::path& from, const fs::path& to, std::string* err) {
  const Place place = Locate(from);
  if (KindOf(place) != EntryKind::kFile) {
    *err = TreeFailure("Datei kann nicht gelesen werden", from, "nicht vorhanden");
    return false;
  }
  // The copy's bytes stay on the disk until they are asked for.
  const Change copy = place.change ? *place.change : Change{EntryKind::kFile, "", place.disk};
  if (!Put(to, "", err)) return false;
  changes_[TreeKey(to)] = copy;
  return true;
}

bool OverlayFileSystem::SyncFolder(const fs::path& folder, std::string* err) {
  return SyncedInMemory(Stat(folder), folder, err);
}

std::unique_ptr<FileLock> OverlayFileSystem::TryLock(const fs::path& path, bool* held_elsewhere,
                                                     std::string* err) {
  const fs::path normal = TreeKey(path);
  *held_elsewhere = locked_.contains(normal);
  if (*held_elsewhere || !Put(normal, "", err)) return nullptr;
  locked_.insert(normal);
  return std::make_unique<Lock>(*this, normal);
}

std::string OverlayFileSystem::LockNote(const fs::path& path) {
  const fs::path normal = TreeKey(path);
  return locked_.contains(normal) ? changes_[normal].contents : "";
}

bool OverlayFileSystem::CheckRemovable(const fs::path& path, std::string* err) {
  // Nothing made here is read-only; what lies on the disk is as the disk says.
  const Place place = Locate(path);
  return place.disk.empty() || KindOf(place) != EntryKind::kDirectory ||
         disk_.CheckRemovable(place.disk, err);
}

}  // namespace fendrix

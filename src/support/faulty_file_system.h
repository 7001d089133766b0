#pragma once

// For tests only: a file system, in memory or the real one, with faults
// injected on purpose, to prove that a run leaves the disk as it was when the disk fills, a file
// cannot be opened or a rename fails half-way, or the process dies at any
// call. It also remembers every path it was asked to touch, so a test can
// prove what was never read.

#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "support/file_system.h"
#include "support/path_text.h"

namespace fendrix::testing {

class FaultyFileSystem : public FileSystem {
 public:
  /// Faults on `inner`, which must outlive this.
  explicit FaultyFileSystem(FileSystem& inner) : inner_(inner) {}

  /// Faults on the machine's own file system.
  FaultyFileSystem() : owned_(std::make_unique<RealFileSystem>()), inner_(*owned_) {}

  /// Which operation a fault hits. A copy is a read of its source and a
  /// write of its target; a tree removal hits kRemove once per entry, the
  /// folder itself first.
  enum class Op { kRead, kWrite, kRename, kRemove, kMakeDirectory, kSync, kLock, kCheck };

  /// How a fault shows.
  enum class Leftover {
    kNothing,      ///< fails before the file is opened
    kHalfFile,     ///< a write puts down the first half, then fails, as a disk that fills does
    kOutOfMemory,  ///< throws std::bad_alloc, as an allocation that fails does
  };

  /// The `nth` (1-based) call of `op` whose path contains `fragment` fails
  /// with `reason`; every call after it succeeds again. Several faults may
  /// wait on one operation; each counts its own calls.
  void FailOn(Op op, std::string fragment, int nth, std::string reason,
              Leftover leftover = Leftover::kNothing) {
    faults_[op].push_back({std::move(fragment), nth, std::move(reason), leftover});
  }

  /// From the `call`-th call of any operation on (counting every call, also
  /// the reads and writes of an open file and the entries of a tree
  /// removal), every call fails and Stat finds nothing: the process
  /// has died, and what it would still do never reaches the disk.
  void DieAtCall(int call) { die_at_ = call; }

  /// How many calls of any operation were made.
  int AllCalls() const { return all_calls_; }

  /// How many calls of `op` were made.
  int Calls(Op op) const {
    auto it = paths_.find(op);
    return it == paths_.end() ? 0 : static_cast<int>(it->second.size());
  }

  /// The paths `op` was called with, in order (for a rename: the target).
  std::vector<std::filesystem::path> Paths(Op op) const {
    auto it = paths_.find(op);
    return it == paths_.end() ? std::vector<std::filesystem::path>{} : it->second;
  }

  EntryKind Stat(const std::filesystem::path& path) override {
    std::string ignored;
    return Dead(path, &ignored) ? EntryKind::kMissing : inner_.Stat(path);
  }
  bool IsLink(const std::filesystem::path& path) override {
    std::string ignored;
    return !Dead(path, &ignored) && inner_.IsLink(path);
  }
  bool ListDirectory(const std::filesystem::path& path, std::vector<DirectoryEntry>* entries,
                     std::string* err) override {
    return !Dead(path, err) && inner_.ListDirectory(path, entries, err);
  }
  bool SyncFolder(const std::filesystem::path& folder, std::string* err) override {
    return Hit(Op::kSync, folder, err) == nullptr && inner_.SyncFolder(folder, err);
  }
  std::unique_ptr<FileLock> TryLock(const std::filesystem::path& path, bool* held_elsewhere,
                                    std::string* err) override {
    *held_elsewhere = false;
    if (Hit(Op::kLock, path, err)) return nullptr;
    return inner_.TryLock(path, held_elsewhere, err);
  }
  std::string LockNote(const std::filesystem::path& path) override { return inner_.LockNote(path); }
  bool CheckRemovable(const std::filesystem::path& path, std::string* err) override {
    return Hit(Op::kCheck, path, err) == nullptr && inner_.CheckRemovable(path, err);
  }
  bool ReadFile(const std::filesystem::path& path, std::string* contents,
                std::string* err) override {
    return Hit(Op::kRead, path, err) == nullptr && inner_.ReadFile(path, contents, err);
  }
  bool WriteFile(const std::filesystem::path& path, std::string_view contents,
                 std::string* err) override {
    if (const Fault* fault = Hit(Op::kWrite, path, err)) {
      WriteLeftover(*fault, path, contents);
      return false;
    }
    return inner_.WriteFile(path, contents, err);
  }
  std::unique_ptr<FileReader> OpenForReading(const std::filesystem::path& path,
                                             std::string* err) override {
    if (Hit(Op::kRead, path, err)) return nullptr;
    std::unique_ptr<FileReader> real = inner_.OpenForReading(path, err);
    if (!real) return nullptr;
    return std::make_unique<MortalReader>(*this, std::move(real), path);
  }
  /// A fault with kHalfFile lets the file open; its first write then puts
  /// down half its bytes and fails.
  std::unique_ptr<FileWriter> OpenForWriting(const std::filesystem::path& path,
                                             std::string* err) override {
    const Fault* fault = Hit(Op::kWrite, path, err);
    if (fault && fault->leftover != Leftover::kHalfFile) return nullptr;
    std::unique_ptr<FileWriter> real = inner_.OpenForWriting(path, err);
    if (!real) return nullptr;
    if (fault) real = std::make_unique<HalfWriter>(std::move(real), *err);
    return std::make_unique<MortalWriter>(*this, std::move(real), path);
  }
  bool Copy(const std::filesystem::path& from, const std::filesystem::path& to,
            std::string* err) override {
    std::string contents;
    return ReadFile(from, &contents, err) && WriteFile(to, contents, err);
  }
  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to,
              std::string* err) override {
    return Hit(Op::kRename, to, err) == nullptr && inner_.Rename(from, to, err);
  }
  bool RemoveTree(const std::filesystem::path& path, std::string* err) override {
    if (Hit(Op::kRemove, path, err)) return false;
    // Entry by entry, so that a fault can stop the removal half-way.
    std::vector<DirectoryEntry> entries;
    if (!IsLink(path) && Stat(path) == EntryKind::kDirectory) {
      if (!ListDirectory(path, &entries, err)) return false;
    }
    for (const DirectoryEntry& entry : entries) {
      if (!RemoveTree(path / entry.name, err)) return false;
    }
    return !Dead(path, err) && inner_.RemoveTree(path, err);
  }
  bool MakeDirectory(const std::filesystem::path& path, std::string* err) override {
    return Hit(Op::kMakeDirectory, path, err) == nullptr && inner_.MakeDirectory(path, err);
  }

 private:
  struct Fault {
    std::string fragment;
    int nth = 0;
    std::string reason;
    Leftover leftover = Leftover::kNothing;
    int seen = 0;
  };

  class HalfWriter : public FileWriter {
   public:
    HalfWriter(std::unique_ptr<FileWriter> real, std::string reason)
        : real_(std::move(real)), reason_(std::move(reason)) {}
    bool Write(std::string_view bytes, std::string* err) override {
      std::string ignored;
      if (!full_) real_->Write(bytes.substr(0, bytes.size() / 2), &ignored);
      full_ = true;
      *err = reason_;
      return false;
    }
    bool Close(std::string* err) override {
      *err = reason_;
      return false;
    }

   private:
    std::unique_ptr<FileWriter> real_;
    std::string reason_;
    bool full_ = false;
  };

  // A reader or writer that dies with the process.
  class MortalReader : public FileReader {
   public:
    MortalReader(FaultyFileSystem& fs, std::unique_ptr<FileReader> real, std::filesystem::path path)
        : fs_(fs), real_(std::move(real)), path_(std::move(path)) {}
    bool Read(char* into, std::size_t size, std::size_t* got, std::string* err) override {
      return !fs_.Dead(path_, err) && real_->Read(into, size, got, err);
    }

   private:
    FaultyFileSystem& fs_;
    std::unique_ptr<FileReader> real_;
    std::filesystem::path path_;
  };
  class MortalWriter : public FileWriter {
   public:
    MortalWriter(FaultyFileSystem& fs, std::unique_ptr<FileWriter> real, std::filesystem::path path)
        : fs_(fs), real_(std::move(real)), path_(std::move(path)) {}
    bool Write(std::string_view bytes, std::string* err) override {
      return !fs_.Dead(path_, err) && real_->Write(bytes, err);
    }
    bool Close(std::string* err) override { return !fs_.Dead(path_, err) && real_->Close(err); }

   private:
    FaultyFileSystem& fs_;
    std::unique_ptr<FileWriter> real_;
    std::filesystem::path path_;
  };

  // Counts the call; true, with `err` set, once the process has died.
  bool Dead(const std::filesystem::path& path, std::string* err) {
    ++all_calls_;
    if (die_at_ == 0 || all_calls_ < die_at_) return false;
    *err = "Fehler beim Zugriff: " + DisplayPath(path) + " (Prozess beendet)";
    return true;
  }

  // Records the call; the fault when this call is the one to fail, with `err` set.
  const Fault* Hit(Op op, const std::filesystem::path& path, std::string* err) {
    static const Fault kDeath{"", 0, "Prozess beendet"};
    if (Dead(path, err)) return &kDeath;
    paths_[op].push_back(path);
    const Fault* hit = nullptr;
    for (Fault& fault : faults_[op]) {
      if (PathToUtf8(path).find(fault.fragment) == std::string::npos) continue;
      if (++fault.seen == fault.nth && !hit) hit = &fault;
    }
    if (hit && hit->leftover == Leftover::kOutOfMemory) throw std::bad_alloc();
    if (hit) *err = "Fehler beim Zugriff: " + DisplayPath(path) + " (" + hit->reason + ")";
    return hit;
  }

  void WriteLeftover(const Fault& fault, const std::filesystem::path& path,
                     std::string_view contents) {
    if (fault.leftover != Leftover::kHalfFile) return;
    std::string ignored;
    inner_.WriteFile(path, contents.substr(0, contents.size() / 2), &ignored);
  }

  std::unique_ptr<FileSystem> owned_;
  FileSystem& inner_;
  std::map<Op, std::vector<Fault>> faults_;
  std::map<Op, std::vector<std::filesystem::path>> paths_;
  int die_at_ = 0;  // 0: never
  int all_calls_ = 0;
};

}  // namespace fendrix::testing

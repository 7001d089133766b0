#pragma once

// For tests only: the real file system with faults injected on purpose, to
// prove that a run leaves the disk as it was when the disk fills, a file
// cannot be opened or a rename fails half-way.

#include <functional>
#include <map>
#include <string>

#include "support/file_system.h"
#include "support/path_text.h"

namespace fendrix::testing {

class FaultyFileSystem : public RealFileSystem {
 public:
  /// Which operation a fault hits.
  enum class Op { kRead, kWrite, kRename, kRemove, kMakeDirectory };

  /// The `nth` (1-based) call of `op` whose path contains `fragment` fails
  /// with `reason`; every call after it succeeds again.
  void FailOn(Op op, std::string fragment, int nth, std::string reason) {
    faults_[op] = {std::move(fragment), nth, std::move(reason)};
  }

  /// How many calls of `op` were made.
  int Calls(Op op) const {
    auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
  }

  bool ReadFile(const std::filesystem::path& path, std::string* contents, std::string* err) override {
    return Hit(Op::kRead, path, err) && RealFileSystem::ReadFile(path, contents, err);
  }
  bool WriteFile(const std::filesystem::path& path, std::string_view contents, std::string* err) override {
    return Hit(Op::kWrite, path, err) && RealFileSystem::WriteFile(path, contents, err);
  }
  bool AppendFile(const std::filesystem::path& path, std::string_view contents, std::string* err) override {
    return Hit(Op::kWrite, path, err) && RealFileSystem::AppendFile(path, contents, err);
  }
  bool CopyFile(const std::filesystem::path& from, const std::filesystem::path& to, std::string* err) override {
    return Hit(Op::kWrite, to, err) && RealFileSystem::CopyFile(from, to, err);
  }
  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to, std::string* err) override {
    return Hit(Op::kRename, to, err) && RealFileSystem::Rename(from, to, err);
  }
  bool RemoveTree(const std::filesystem::path& path, std::string* err) override {
    return Hit(Op::kRemove, path, err) && RealFileSystem::RemoveTree(path, err);
  }
  bool MakeDirectory(const std::filesystem::path& path, std::string* err) override {
    return Hit(Op::kMakeDirectory, path, err) && RealFileSystem::MakeDirectory(path, err);
  }

 private:
  struct Fault {
    std::string fragment;
    int nth = 0;
    std::string reason;
    int seen = 0;
  };

  bool Hit(Op op, const std::filesystem::path& path, std::string* err) {
    ++calls_[op];
    auto it = faults_.find(op);
    if (it == faults_.end()) return true;
    Fault& fault = it->second;
    if (PathToUtf8(path).find(fault.fragment) == std::string::npos) return true;
    if (++fault.seen != fault.nth) return true;
    *err = "Fehler beim Zugriff: " + DisplayPath(path) + " (" + fault.reason + ")";
    return false;
  }

  std::map<Op, Fault> faults_;
  std::map<Op, int> calls_;
};

}  // namespace fendrix::testing

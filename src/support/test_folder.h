#pragma once

// For tests only: a fresh folder under the system's temporary folder, removed
// with everything in it when the test ends; or the same in memory, for tests
// that need files and folders but not the disk.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "support/memory_file_system.h"

namespace fendrix::testing {

class TestFolder {
 public:
  TestFolder() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("fendrix-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TestFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

  /// Writes `contents` to `relative`, creating its folders.
  std::filesystem::path Write(const std::filesystem::path& relative,
                              std::string_view contents) const {
    std::filesystem::path file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return file;
  }

  /// Creates the folder `relative` and its parents.
  std::filesystem::path MakeFolder(const std::filesystem::path& relative) const {
    std::filesystem::create_directories(path_ / relative);
    return path_ / relative;
  }

 private:
  std::filesystem::path path_;
};

/// A folder in a file system of its own in memory, made as TestFolder makes
/// one on the disk.
class MemoryFolder {
 public:
  const std::filesystem::path& path() const { return path_; }

  /// Writes `contents` to `relative`, creating its folders.
  std::filesystem::path Write(const std::filesystem::path& relative, std::string_view contents) {
    files.AddFile(path_ / relative, contents);
    return path_ / relative;
  }

  /// Creates the folder `relative` and its parents.
  std::filesystem::path MakeFolder(const std::filesystem::path& relative) {
    files.AddFolder(path_ / relative);
    return path_ / relative;
  }

  MemoryFileSystem files;

 private:
  std::filesystem::path path_ = std::filesystem::path("/") / "test";
};

/// The whole contents of a file, or "" when it cannot be read.
inline std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// The whole contents of a file of `files`, or "" when it cannot be read.
inline std::string ReadAll(FileSystem& files, const std::filesystem::path& file) {
  std::string contents, ignored;
  return files.ReadFile(file, &contents, &ignored) ? contents : "";
}

}  // namespace fendrix::testing

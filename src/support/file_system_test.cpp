// One contract for the disk, for the file system in memory that most tests
// run on and for the dry run's overlay: every row runs on each, so a test
// that passes in memory relies on nothing the disk does otherwise. Where the
// platform decides (read-only marks, locks, links, the order of a listing)
// the disk is the model the others imitate.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <tuple>
#include <vector>

#include "support/file_system.h"
#include "support/memory_file_system.h"
#include "support/overlay_file_system.h"
#include "support/test_folder.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;
constexpr auto npos = std::string::npos;

// A file system under test, with what its interface cannot make itself.
class Subject {
 public:
  virtual ~Subject() = default;
  virtual FileSystem& files() = 0;
  virtual fs::path root() const = 0;
  // False where this system cannot make a link.
  virtual bool Link(const fs::path& link, const fs::path& target) = 0;
  // Marks an entry read-only the way the platform's own tools would; false
  // where this system cannot.
  virtual bool MarkReadOnly(const fs::path& path) = 0;
};

class Disk : public Subject {
 public:
  ~Disk() override {
    // Without its write bits back a folder could not be cleared away.
    std::error_code ec;
    for (const fs::path& path : marked_) {
      fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
    }
  }
  FileSystem& files() override { return files_; }
  fs::path root() const override { return dir_.path(); }
  bool Link([[maybe_unused]] const fs::path& link,
            [[maybe_unused]] const fs::path& target) override {
#ifdef _WIN32
    return false;  // a link needs privileges there
#else
    std::error_code ec;
    fs::create_symlink(target, link, ec);
    return !ec;
#endif
  }
  bool MarkReadOnly(const fs::path& path) override {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    marked_.push_back(path);
    return true;
  }

 private:
  testing::TestFolder dir_;
  RealFileSystem files_;
  std::vector<fs::path> marked_;
};

class Memory : public Subject {
 public:
  Memory() { files_.AddFolder(root()); }
  FileSystem& files() override { return files_; }
  fs::path root() const override { return fs::path("/") / "test"; }
  bool Link(const fs::path& link, const fs::path& target) override {
    files_.AddLink(link, target);
    return true;
  }
  bool MarkReadOnly(const fs::path& path) override {
    files_.MarkReadOnly(path);
    return true;
  }

 private:
  MemoryFileSystem files_;
};

// The overlay over a disk that holds only the root: all a row makes lives in
// the overlay, where nothing is a link or read-only.
class Overlay : public Subject {
 public:
  Overlay() { disk_.AddFolder(root()); }
  FileSystem& files() override { return files_; }
  fs::path root() const override { return fs::path("/") / "test"; }
  bool Link(const fs::path&, const fs::path&) override { return false; }
  bool MarkReadOnly(const fs::path&) override { return false; }

 private:
  MemoryFileSystem disk_;
  OverlayFileSystem files_{disk_};
};

// Makes `entries` below `root` through the file system itself: a name that
// ends in '/' a folder, any other a file holding its own name.
void Make(FileSystem& files, const fs::path& root,
          std::initializer_list<std::string_view> entries) {
  for (std::string_view entry : entries) {
    const bool folder = entry.ends_with('/');
    const fs::path path = root / fs::path(entry.substr(0, entry.size() - folder)).make_preferred();
    std::string err;
    ASSERT_TRUE(folder ? files.MakeDirectory(path, &err) : files.WriteFile(path, entry, &err))
        << err;
  }
}

// The entries of `folder` sorted, a folder's with '/' after it: the disk
// lists them in an order of its own. What the vector held before must go.
std::vector<std::string> Listed(FileSystem& files, const fs::path& folder) {
  std::vector<DirectoryEntry> entries = {{"stale", false}};
  std::string err;
  EXPECT_TRUE(files.ListDirectory(folder, &entries, &err)) << err;
  std::vector<std::string> names;
  for (const DirectoryEntry& entry : entries) {
    names.push_back(entry.name.string() + (entry.is_directory ? "/" : ""));
  }
  std::sort(names.begin(), names.end());
  return names;
}

using testing::ReadAll;

struct Row {
  const char* name;
  std::function<void(Subject& on, FileSystem& files, const fs::path& root)> check;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

const Row kRows[] = {
    {"StatTellsFilesFoldersAndNothing",
     [](Subject&, FileSystem& files, const fs::path& root) {
       Make(files, root, {"d/", "d/f"});
       EXPECT_EQ(files.Stat(root / "d"), EntryKind::kDirectory);
       EXPECT_EQ(files.Stat(root / "d" / "f"), EntryKind::kFile);
       EXPECT_EQ(files.Stat(root / "d" / "g"), EntryKind::kMissing);
       EXPECT_EQ(files.Stat(root / "d" / "f" / "g"), EntryKind::kMissing);
       EXPECT_EQ(files.Stat(""), EntryKind::kMissing);
       EXPECT_FALSE(files.IsLink(root / "d"));
     }},
    {"ReadingWhatIsNoFileFailsNamingIt",
     [](Subject&, FileSystem& files, const fs::path& root) {
       Make(files, root, {"d/"});
       for (const fs::path& path : {root / "missing", root / "d"}) {
         std::string contents, err;
         EXPECT_FALSE(files.ReadFile(path, &contents, &err));
         EXPECT_NE(err.find("Datei kann nicht gelesen werden: " + DisplayPath(path)), npos) << err;
       }
       std::string err;
       EXPECT_FALSE(files.OpenForReading(root / "missing", &err));
       EXPECT_NE(err.find(DisplayPath(root / "missing")), npos) << err;
     }},
    {"WritingReplaces",
     [](Subject&, FileSystem& files, const fs::path& root) {
       std::string err;
       ASSERT_TRUE(files.WriteFile(root / "f", "a longer text", &err)) << err;
       ASSERT_TRUE(files.WriteFile(root / "f", "short", &err)) << err;
       EXPECT_EQ(ReadAll(files, root / "f"), "short");
       ASSERT_TRUE(files.WriteFile(root / "new", "x", &err)) << err;
       auto writer = files.OpenForWriting(root / "new", &err);
       ASSERT_TRUE(writer && writer->Write("w", &err) && writer->Close(&err)) << err;
       EXPECT_EQ(ReadAll(files, root / "new"), "w");
       const fs::path nowhere = root / "missing" / "f";
       EXPECT_FALSE(files.WriteFile(nowhere, "x", &err));
       EXPECT_NE(err.find("Datei kann nicht geschrieben werden: " + DisplayPath(nowhere)), npos)
           << err;
     }},
    {"RenameMovesAFolderWithAllBelowIt",
     [](Subject&, FileSystem& files, const fs::path& root) {
       Make(files, root, {"a/", "a/sub/", "a/sub/f"});
       std::string err;
       ASSERT_TRUE(files.Rename(root / "a", root / "b", &err)) << err;
       EXPECT_EQ(files.Stat(root / "a"), EntryKind::kMissing);
       EXPECT_EQ(ReadAll(files, root / "b" / "sub" / "f"), "a/sub/f");
     }},
    // The disk's own rename would replace an empty folder; the run relies on
    // being refused any target that exists.
    {"RenameRefusesATargetThatExistsOrCannotBe",
     [](Subject&, FileSystem& files, const fs::path& root) {
       Make(files, root, {"a/", "a/f", "full/", "full/g", "empty/", "file"});
       for (const char* target : {"full", "empty", "file"}) {
         std::string err;
         EXPECT_FALSE(files.Rename(root / "a", root / target, &err)) << target;
         EXPECT_NE(err.find(DisplayPath(root / target)), npos) << err;
       }
       std::string err;
       EXPECT_FALSE(files.Rename(root / "a", root / "a" / "inner", &err));
       EXPECT_FALSE(files.Rename(root / "missing", root / "b", &err));
       EXPECT_EQ(ReadAll(files, root / "a" / "f"), "a/f");
       EXPECT_EQ(ReadAll(files, root / "full" / "g"), "full/g");
       EXPECT_EQ(Listed(files, root / "empty"), std::vector<std::string>{});
     }},
    {"RemoveTreeRemovesAFolderAndAllBelowIt",
     [](Subject&, FileSystem& files, const fs::path& root) {
       Make(files, root, {"a/", "a/sub/", "a/sub/f", "a/g", "ab/", "ab/h"});
       std::string err;
       ASSERT_TRUE(files.RemoveTree(root / "a", &err)) << err;
       EXPECT_EQ(files.Stat(root / "a"), EntryKind::kMissing);
       EXPECT_EQ(Listed(files, root), std::vector<std::string>{"ab/"});
       EXPECT_EQ(ReadAll(files, root / "ab" / "h"), "ab/h");
       EXPECT_TRUE(files.RemoveTree(root / "missing", &err)) << err;
     }},
    {"ListDirectoryNamesEachEntryBelowOnce",
     [](Subject&, FileSystem& files, const fs::path& root) {
       Make(files, root, {"d/", "d/x", "d/y/", "d/y/deep", "d/z"});
       EXPECT_EQ(Listed(files, root / "d"), (std::vector<std::string>{"x", "y/", "z"}));
       std::vector<DirectoryEntry> entries;
       std::string err;
       for (const fs::path& path : {root / "missing", root / "d" / "x"}) {
         EXPECT_FALSE(files.ListDirectory(path, &entries, &err));
         EXPECT_NE(err.find("Ordner kann nicht gelesen werden: " + DisplayPath(path)), npos) << err;
       }
     }},
    // A link inside a skin must never lead a removal to what it points to,
    // nor a read-only mark there keep the skin from being replaced.
    {"ALinkIsFollowedButRemovedAlone",
     [](Subject& on, FileSystem& files, const fs::path& root) {
       Make(files, root, {"target/", "target/f", "d/"});
       if (!on.Link(root / "d" / "l", root / "target") || !on.Link(root / "top", root / "target")) {
         GTEST_SKIP() << "no links here";
       }
       EXPECT_TRUE(files.IsLink(root / "d" / "l"));
       EXPECT_FALSE(files.IsLink(root / "target"));
       EXPECT_EQ(files.Stat(root / "d" / "l"), EntryKind::kDirectory);
       EXPECT_EQ(ReadAll(files, root / "d" / "l" / "f"), "target/f");
       EXPECT_EQ(Listed(files, root / "d"), std::vector<std::string>{"l/"});
       on.MarkReadOnly(root / "target");
       std::string err;
       EXPECT_TRUE(files.CheckRemovable(root / "d", &err)) << err;
       ASSERT_TRUE(files.RemoveTree(root / "top", &err)) << err;
       EXPECT_FALSE(files.IsLink(root / "top"));
       ASSERT_TRUE(files.RemoveTree(root / "d", &err)) << err;
       EXPECT_EQ(files.Stat(root / "d"), EntryKind::kMissing);
       EXPECT_EQ(ReadAll(files, root / "target" / "f"), "target/f");
     }},
    {"AReadOnlyMarkMakesATreeUnremovable",
     [](Subject& on, FileSystem& files, const fs::path& root) {
       Make(files, root, {"old/", "old/sub/", "old/sub/old.bmp"});
       // A folder nobody may write to; on Windows a file with the read-only
       // attribute.
#ifdef _WIN32
       const fs::path marked = root / "old" / "sub" / "old.bmp";
#else
       const fs::path marked = root / "old" / "sub";
#endif
       std::string err;
       ASSERT_TRUE(files.CheckRemovable(root / "old", &err)) << err;
       EXPECT_TRUE(files.CheckRemovable(root / "missing", &err)) << err;
       if (!on.MarkReadOnly(marked)) GTEST_SKIP() << "nothing is read-only here";
       EXPECT_FALSE(files.CheckRemovable(root / "old", &err));
       const std::string folder_line =
           "Ordner kann nicht ersetzt werden: " + DisplayPath(root / "old");
       EXPECT_EQ(err, folder_line + "\nSchreibgeschützt: " +
                          DisplayPath(marked.lexically_relative(root / "old")));
       EXPECT_FALSE(files.CheckRemovable(marked, &err));
       EXPECT_EQ(err, "Ordner kann nicht ersetzt werden: " + DisplayPath(marked) +
                          "\nDer Ordner ist schreibgeschützt.");
     }},
    // On the disk every TryLock opens the file anew, as a second process
    // would.
    {"ALockKeepsASecondTakerOutUntilItGoes",
     [](Subject&, FileSystem& files, const fs::path& root) {
       const fs::path lock_file = root / "~1024x768.lock";
       bool held_elsewhere = true;
       std::string err;
       // As a holder that was killed leaves it, note and all.
       ASSERT_TRUE(files.WriteFile(lock_file, "asking", &err)) << err;
       auto held = files.TryLock(lock_file, &held_elsewhere, &err);
       ASSERT_TRUE(held) << err;
       EXPECT_FALSE(held_elsewhere);
       EXPECT_EQ(files.LockNote(lock_file), "");
       held->SetNote("converting");
       held->SetNote("asking");
       EXPECT_FALSE(files.TryLock(lock_file, &held_elsewhere, &err));
       EXPECT_TRUE(held_elsewhere);
       EXPECT_EQ(files.LockNote(lock_file), "asking");
       held.reset();
       EXPECT_TRUE(files.TryLock(lock_file, &held_elsewhere, &err)) << err;
     }},
};

enum class System { kDisk, kMemory, kOverlay };

void PrintTo(System system, std::ostream* out) {
  *out << (system == System::kDisk ? "Disk" : system == System::kMemory ? "Memory" : "Overlay");
}

class FileSystemContract : public ::testing::TestWithParam<std::tuple<System, Row>> {};

TEST_P(FileSystemContract, Holds) {
  const auto& [system, row] = GetParam();
  std::unique_ptr<Subject> on;
  if (system == System::kDisk) {
    on = std::make_unique<Disk>();
  } else if (system == System::kMemory) {
    on = std::make_unique<Memory>();
  } else {
    on = std::make_unique<Overlay>();
  }
  row.check(*on, on->files(), on->root());
}

INSTANTIATE_TEST_SUITE_P(EverySystem, FileSystemContract,
                         ::testing::Combine(::testing::Values(System::kDisk, System::kMemory,
                                                              System::kOverlay),
                                            ::testing::ValuesIn(kRows)),
                         [](const auto& info) {
                           return ::testing::PrintToString(std::get<0>(info.param)) + "_" +
                                  std::get<1>(info.param).name;
                         });

}  // namespace
}  // namespace fendrix

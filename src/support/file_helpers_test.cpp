#include "support/file_helpers.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/faulty_file_system.h"
#include "support/path_text.h"
#include "support/test_folder.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;
using testing::TestFolder;

TEST(ExistsTest, TellsFilesFromFolders) {
  TestFolder dir;
  RealFileSystem real;
  fs::path file = dir.Write("a.txt", "x");
  fs::path folder = dir.MakeFolder("sub");
  struct {
    fs::path path;
    bool file, folder;
  } cases[] = {
      {"", false, false},
      {file, true, false},
      {folder, false, true},
      {folder / "", false, true},  // a trailing separator
      {dir.path() / "missing", false, false},
      {file / "below-a-file", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileExists(real, c.path), c.file) << c.path;
    EXPECT_EQ(FolderExists(real, c.path), c.folder) << c.path;
  }
}

TEST(CreatePathTest, CreatesMissingLevelsAndKeepsThemOnFailure) {
  TestFolder dir;
  RealFileSystem real;
  std::string err;
  fs::path target = dir.path() / "Skins" / "Name" / "1280x1024";
  ASSERT_TRUE(CreatePath(real, target, &err)) << err;
  EXPECT_TRUE(fs::is_directory(target));
  EXPECT_TRUE(CreatePath(real, target, &err));  // exists: true at once
  EXPECT_TRUE(CreatePath(real, target / "", &err));

  dir.Write("Skins/file", "x");
  EXPECT_FALSE(CreatePath(real, dir.path() / "Skins" / "file" / "deeper", &err));
  EXPECT_NE(err.find("file"), std::string::npos) << err;

  testing::FaultyFileSystem faulty;
  faulty.FailOn(testing::FaultyFileSystem::Op::kMakeDirectory, "Stop", 1, "Zugriff verweigert");
  EXPECT_FALSE(CreatePath(faulty, dir.path() / "Skins" / "Neu" / "Stop" / "deeper", &err));
  EXPECT_TRUE(fs::is_directory(dir.path() / "Skins" / "Neu"));  // made before the failure stays
  EXPECT_NE(err.find("Zugriff verweigert"), std::string::npos) << err;
}

TEST(CreatePathTest, NeverCreatesTheFirstPartOfARelativePath) {
  TestFolder dir;
  RealFileSystem real;
  std::string err;
  fs::path old_dir = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_TRUE(CreatePath(real, "Name", &err));
  EXPECT_FALSE(fs::exists(dir.path() / "Name"));
  EXPECT_FALSE(CreatePath(real, fs::path("Missing") / "Child", &err));  // its start is not there
  fs::current_path(old_dir);
}

TEST(LineFilesTest, CountLines) {
  TestFolder dir;
  RealFileSystem real;
  std::string err;
  std::size_t count = 99;
  fs::path file = dir.path() / "new.vsk";
  EXPECT_FALSE(CountLines(real, file, &count, &err));
  ASSERT_TRUE(real.WriteFile(file, "a\r\n\r\nb\r\n", &err));
  ASSERT_TRUE(CountLines(real, file, &count, &err));
  EXPECT_EQ(count, 3u);
}

TEST(StreamedFilesTest, WriteAndReadInPiecesAndNameThePathOnFailure) {
  TestFolder dir;
  RealFileSystem real;
  std::string err;
  const fs::path file = dir.path() / "out.vsk";
  std::unique_ptr<FileWriter> writer = real.OpenForWriting(file, &err);
  ASSERT_TRUE(writer) << err;
  ASSERT_TRUE(writer->Write("ab", &err));
  ASSERT_TRUE(writer->Write("", &err));
  ASSERT_TRUE(writer->Write(std::string(70000, 'c'), &err));
  ASSERT_TRUE(writer->Close(&err)) << err;
  EXPECT_EQ(testing::ReadAll(file), "ab" + std::string(70000, 'c'));

  std::unique_ptr<FileReader> reader = real.OpenForReading(file, &err);
  ASSERT_TRUE(reader) << err;
  std::string back;
  char piece[1000];
  for (std::size_t got; reader->Read(piece, sizeof piece, &got, &err) && got > 0;) {
    back.append(piece, got);
  }
  EXPECT_EQ(back, testing::ReadAll(file));

  const fs::path missing = dir.path() / "fehlt" / "x.vsk";
  EXPECT_FALSE(real.OpenForReading(missing, &err));
  EXPECT_NE(err.find("Datei kann nicht gelesen werden: " + DisplayPath(missing)), std::string::npos)
      << err;
  EXPECT_FALSE(real.OpenForWriting(missing, &err));
  EXPECT_NE(err.find("Datei kann nicht geschrieben werden: " + DisplayPath(missing)),
            std::string::npos)
      << err;
}

// In memory, where names are matched exactly, so that the fold itself is
// what finds the entry on every platform.
TEST(FindEntryTest, MatchesNamesWithoutCaseWhenMissingAsSpelled) {
  testing::MemoryFolder dir;
  const fs::path folder = dir.MakeFolder("1280x1024");
  const struct {
    const char8_t* on_disk;
    const char8_t* asked;
    bool found;
  } cases[] = {
      {u8"Zelback.bmp", u8"Zelback.bmp", true},
      {u8"skin.VSK", u8"Skin.vsk", true},
      {u8"Ärger.bmp", u8"äRGER.BMP", true},
      {u8"Ωmega", u8"ωMEGA", true},  // beyond Latin-1, as the window's /Name matches
      {u8"Жук", u8"жук", true},
      {u8"Zelbäck.bmp", u8"Zelback.bmp", false},
      {u8"Straße", u8"STRASSE", false},
  };
  for (const auto& c : cases) {
    dir.Write(fs::path("1280x1024") / c.on_disk, "x");
    EXPECT_EQ(FindEntry(dir.files, folder, c.asked), folder / (c.found ? c.on_disk : c.asked))
        << PathToUtf8(c.asked);
    std::string err;
    ASSERT_TRUE(dir.files.RemoveTree(folder / c.on_disk, &err)) << err;
  }
  EXPECT_EQ(FindEntry(dir.files, dir.path() / "missing", "x"), dir.path() / "missing" / "x");
}

TEST(RemoveTreeTest, RemovesALinkWithoutEnteringIt) {
  TestFolder dir;
  RealFileSystem real;
  fs::path outside = dir.Write("outside/keep.txt", "keep");
  dir.Write("tree/sub/a.txt", "a");
  std::error_code ec;
  fs::create_directory_symlink(dir.path() / "outside", dir.path() / "tree" / "link", ec);
  if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
  std::string err;
  ASSERT_TRUE(real.RemoveTree(dir.path() / "tree", &err)) << err;
  EXPECT_FALSE(fs::exists(dir.path() / "tree"));
  EXPECT_EQ(testing::ReadAll(outside), "keep");
}

}  // namespace
}  // namespace fendrix

#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/skinconv.h"
#include "conversion/run/test_skin.h"

// skinconv run as main runs it, on a player folder in memory or on the disk.

namespace fendrix::testing {

namespace fs = std::filesystem;

struct Outcome {
  int code;
  std::string out, err;
};

inline Outcome SkinconvOn(FileSystem& files, std::vector<std::string> args,
                          fs::path program_folder = "/nowhere") {
  args.insert(args.begin(), "skinconv");
  std::ostringstream out, err;
  CliEnvironment env{program_folder, ',', false};
  int code = RunSkinconv(files, args, env, out, err);
  return {code, out.str(), err.str()};
}

inline std::string U8(const fs::path& path) { return path.string(); }

// The same player folder in memory or on the disk.
template <class Folder>
void MakePlayer(Folder& dir) {
  dir.Write("Player/Skins/Demo/1280x1024/Skin.vsk",
            EncipherLines({"Form=1", "gfxHintergrund=back.bmp", "Titel.Left=120"}));
  dir.Write("Player/Skins/Demo/1280x1024/back.bmp", testing::BmpFile(64, 48));
  dir.Write("Player/Skins/Demo/800x600/Skin.vsk", EncipherLines({"Form=1"}));
  dir.MakeFolder("Player/Skins/Leer");
  dir.MakeFolder("Player/Tools");
}

class SkinconvTest : public ::testing::Test {
 protected:
  SkinconvTest() { MakePlayer(dir_); }
  Outcome Skinconv(std::vector<std::string> args, fs::path program_folder = "/nowhere") {
    return SkinconvOn(dir_.files, std::move(args), std::move(program_folder));
  }
  fs::path Skins() const { return dir_.path() / "Player" / "Skins"; }
  std::string ReadAll(const fs::path& file) { return testing::ReadAll(dir_.files, file); }
  bool Exists(const fs::path& path) { return dir_.files.Stat(path) != EntryKind::kMissing; }
  testing::MemoryFolder dir_;
};

// The command line as main runs it, on the disk: here a conversion's files,
// renames and lock really land where the next run and the user find them.
class SkinconvDiskTest : public ::testing::Test {
 protected:
  SkinconvDiskTest() { MakePlayer(dir_); }
  Outcome Skinconv(std::vector<std::string> args) { return SkinconvOn(files_, std::move(args)); }
  fs::path Skins() const { return dir_.path() / "Player" / "Skins"; }
  bool Exists(const fs::path& path) { return fs::exists(path); }
  testing::TestFolder dir_;
  RealFileSystem files_;
};

}  // namespace fendrix::testing

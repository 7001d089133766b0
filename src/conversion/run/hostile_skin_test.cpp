// Skins come from strangers and the program runs with administrator rights.
// Each row (in hostile_skin_*_test.cpp) is a skin built to hurt, laid out in
// memory and converted from 1280x1024 to 1024x768 over an old 1024x768
// folder that the user agreed to replace. Every row must end with the window idle, the base
// folder byte for byte as it was, no staging folder left, nothing outside
// the skin touched or read, and either one clear error naming the file and
// the cause (the old folder kept) or a complete new folder (with the warning
// the row names, tied to its line).

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "conversion/run/conversion_run.h"
#include "conversion/run/hostile_skin_rows.h"
#include "conversion/run/test_skin.h"
#include "support/faulty_file_system.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;
using testing::DecipherLines;
using testing::DemoInputs;
using testing::FaultyFileSystem;
using testing::ReadAll;
using testing::RecordingCaller;
using testing::Snapshot;
using testing::hostile::Ending;
using testing::hostile::HostileSkinTest;
using testing::hostile::Row;
using testing::hostile::Skin;

void ExpectInside(const fs::path& path, const fs::path& folder, const char* what) {
  fs::path relative = path.lexically_normal().lexically_relative(folder.lexically_normal());
  EXPECT_TRUE(!relative.empty() && *relative.begin() != "..")
      << what << " outside " << folder << ": " << path;
}

// The folders of a row's run, and what they held before it.
struct Before {
  Before(testing::MemoryFolder& dir, const Skin& skin)
      : skin_folder(dir.path() / "Skins" / "Demo"),
        base(dir.path() / skin.base()),
        new_folder(skin_folder / "1024x768"),
        outside(dir.path() / "outside"),
        base_files(Snapshot(dir.files, base)),
        old_files(Snapshot(dir.files, new_folder)),
        outside_files(Snapshot(dir.files, outside)) {}

  fs::path skin_folder, base, new_folder, outside;
  std::map<std::string, std::string> base_files, old_files, outside_files;
};

// What every row must leave, however it ends.
void ExpectLeftInOrder(const Before& before, MemoryFileSystem& disk, const RecordingCaller& port,
                       const FaultyFileSystem& files) {
  ASSERT_FALSE(port.events.empty());
  EXPECT_EQ(port.events.front(), "busy");
  EXPECT_EQ(port.events.back(), "idle");
  EXPECT_EQ(Snapshot(disk, before.base), before.base_files);
  EXPECT_EQ(Snapshot(disk, before.outside), before.outside_files);
  for (const std::string& name : testing::Names(disk, before.skin_folder)) {
    EXPECT_NE(name.front(), '~') << "left behind: " << name;
  }
  // Through a link on its way a read could go anywhere.
  for (const fs::path& read : files.Paths(FaultyFileSystem::Op::kRead)) {
    ExpectInside(read, before.base, "read");
    for (fs::path at = read; at != before.base && at.has_relative_path(); at = at.parent_path()) {
      EXPECT_FALSE(disk.IsLink(at)) << "read through a link: " << read;
    }
  }
  for (auto op : {FaultyFileSystem::Op::kWrite, FaultyFileSystem::Op::kRemove,
                  FaultyFileSystem::Op::kRename, FaultyFileSystem::Op::kMakeDirectory}) {
    for (const fs::path& touched : files.Paths(op)) {
      ExpectInside(touched, before.skin_folder, "changed");
    }
  }
}

void ExpectTheError(const Row& row, const RunResult& result, const RecordingCaller& port,
                    MemoryFileSystem& disk, const Before& before) {
  EXPECT_EQ(result.outcome, RunOutcome::kFailed);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].first, MessageKind::kError);
  EXPECT_NE(port.messages[0].second.find(row.names), std::string::npos) << port.messages[0].second;
  EXPECT_NE(port.messages[0].second.find(row.cause), std::string::npos) << port.messages[0].second;
  EXPECT_EQ(Snapshot(disk, before.new_folder), before.old_files);
}

// The row's one warning, and the rest of the skin converted as usual.
void ExpectTheWarning(const Row& row, const RecordingCaller& port, MemoryFileSystem& disk,
                      const fs::path& new_folder) {
  ASSERT_EQ(port.warnings.size(), 1u);
  EXPECT_EQ(port.warnings[0].line, row.line);
  EXPECT_NE(port.warnings[0].text.find(row.names), std::string::npos) << port.warnings[0].text;
  EXPECT_NE(port.warnings[0].text.find(row.cause), std::string::npos) << port.warnings[0].text;
  std::vector<std::string> lines = DecipherLines(ReadAll(disk, new_folder / "Skin.vsk"));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[2], "Titel.Left=96");
  EXPECT_EQ(disk.Stat(new_folder / "back.bmp"), EntryKind::kFile);
}

// Replaced by a complete new folder: none of the old files, every new one.
void ExpectReplaced(const Row& row, const RunResult& result, const RecordingCaller& port,
                    MemoryFileSystem& disk, const fs::path& new_folder) {
  ASSERT_EQ(result.outcome, RunOutcome::kSucceeded) << result.message;
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0], std::make_pair(MessageKind::kSuccess, std::string(kSuccessText)));
  EXPECT_FALSE(disk.IsLink(new_folder));
  for (const std::string& name : testing::Names(disk, new_folder)) {
    EXPECT_TRUE(name != "old.bmp" && name != "elsewhere") << "kept: " << name;
  }
  EXPECT_EQ(disk.Stat(new_folder / "ArrowT.bmp"), EntryKind::kFile);
  if (row.ending == Ending::kClean) {
    EXPECT_TRUE(port.warnings.empty()) << port.warnings[0].text;
  } else {
    ASSERT_NO_FATAL_FAILURE(ExpectTheWarning(row, port, disk, new_folder));
  }
  if (row.check) row.check(disk, new_folder);
}

TEST_P(HostileSkinTest, EndsIdleWithTheDiskInOrder) {
  const Row& row = GetParam();
  testing::MemoryFolder dir;
  Skin skin(dir);
  row.make(skin);
  if (::testing::Test::HasFatalFailure()) return;
  const Before before(dir, skin);

  RunRequest in = DemoInputs(dir.path() / "Skins");
  in.base = {skin.base_name, skin.base_width, skin.base_height};
  RecordingCaller port(in);
  port.answer_yes = true;
  FaultyFileSystem files(dir.files);  // no faults: it only keeps the paths it was given
  ConversionRun run(files, port);
  RunResult result = port.Execute(run);

  ASSERT_NO_FATAL_FAILURE(ExpectLeftInOrder(before, dir.files, port, files));
  switch (row.ending) {
    case Ending::kError:
      ExpectTheError(row, result, port, dir.files, before);
      break;
    case Ending::kWarning:
    case Ending::kClean:
      ExpectReplaced(row, result, port, dir.files, before.new_folder);
      break;
    case Ending::kSameAsBase:
      EXPECT_EQ(result.outcome, RunOutcome::kSameAsBase);
      ASSERT_EQ(port.messages.size(), 1u);
      EXPECT_EQ(port.messages[0].second, kSameAsBaseText);
      break;
  }
}

}  // namespace
}  // namespace fendrix

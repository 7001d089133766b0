// Faults in the middle of a run, injected through the file-system seam, and
// a run under load. The first faults (a write, a read, the two renames, the
// staging folder) are in conversion_run_test.cpp; this table goes on where
// it stops: writes that leave half a file as a full disk does, the other
// reads, the clearing of leftovers, the swap failing twice, and the removal
// of the retired folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "conversion/imaging/bmp_codec.h"
#include "conversion/run/conversion_run.h"
#include "conversion/run/test_skin.h"
#include "support/faulty_file_system.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;
using testing::DecipherLines;
using testing::EncipherLines;
using testing::FaultyFileSystem;
using testing::Names;
using testing::ReadAll;
using testing::RecordingCaller;
using testing::Snapshot;
using Op = FaultyFileSystem::Op;
using Leftover = FaultyFileSystem::Leftover;

const std::vector<std::string> kLines = {"Form=Jukebox", "gfxHintergrund=back.bmp",
                                         "gfxSchluss=sep.bmp", "Titel.Left=120"};
const std::vector<std::string> kConverted = {"Form=Jukebox", "gfxHintergrund=back.bmp",
                                             "gfxSchluss=sep.bmp", "Titel.Left=96"};

// What the disk must hold after the fault.
enum class After {
  kOldState,        ///< failed; everything as before the run
  kOldAside,        ///< failed; the old folder waits under ~1024x768.alt for the next run
  kStagingLeft,     ///< failed; old folder kept, the staging folder left, as the message says
  kNewWithWarning,  ///< succeeded; the old folder could not be removed, as the warning says
};

struct Fault {
  Op op;
  const char* fragment;
  int nth;
  Leftover leftover = Leftover::kNothing;
};

constexpr char kCause[] = "Datenträger voll";

struct FaultRow {
  const char* name;
  std::vector<Fault> faults;
  After after;
  const char* names;  // what the message (or warning) must name besides the cause
  const char* cause = kCause;
};

const FaultRow kRows[] = {
    {"DiskFillsWhileWritingSkinFile",
     {{Op::kWrite, "Skin.vsk", 1, Leftover::kHalfFile}},
     After::kOldState,
     "Skin.vsk"},
    {"DiskFillsWhileWritingScaledBitmap",
     {{Op::kWrite, "back.bmp", 1, Leftover::kHalfFile}},
     After::kOldState,
     "back.bmp"},
    {"DiskFillsWhileWritingCopiedBitmap",
     {{Op::kWrite, "sep.bmp", 1, Leftover::kHalfFile}},
     After::kOldState,
     "sep.bmp"},
    {"DiskFillsWhileWritingArrow",
     {{Op::kWrite, "ArrowT.bmp", 1, Leftover::kHalfFile}},
     After::kOldState,
     "ArrowT.bmp"},
    {"ArrowCannotBeOpened", {{Op::kRead, "ArrowT.bmp", 1}}, After::kOldState, "ArrowT.bmp"},
    {"CopiedBitmapCannotBeOpened", {{Op::kRead, "sep.bmp", 2}}, After::kOldState, "sep.bmp"},
    {"SkinFileCannotBeOpened", {{Op::kRead, "Skin.vsk", 1}}, After::kOldState, "Skin.vsk"},
    // A 32-bit program may find no room for a large picture: no file to name.
    {"MemoryRunsOutWhileReadingABitmap",
     {{Op::kRead, "back.bmp", 1, Leftover::kOutOfMemory}},
     After::kOldState,
     "",
     "zu wenig Arbeitsspeicher"},
    {"LeftoverStagingCannotBeCleared", {{Op::kRemove, ".neu", 1}}, After::kOldState, ".neu"},
    {"LeftoverRetiredFolderCannotBeCleared", {{Op::kRemove, ".alt", 1}}, After::kOldState, ".alt"},
    {"NewFolderCannotTakeItsPlaceNorOldGoBack",
     {{Op::kRename, "1024x768", 2}, {Op::kRename, "1024x768", 3}},
     After::kOldAside,
     "~1024x768.alt"},
    {"StagingCannotBeRemovedAfterAFailure",
     {{Op::kWrite, "Skin.vsk", 1}, {Op::kRemove, ".neu", 2}},
     After::kStagingLeft,
     "~1024x768.neu"},
    {"RetiredFolderCannotBeRemoved",
     {{Op::kRemove, ".alt", 2}},
     After::kNewWithWarning,
     "~1024x768.alt"},
    // The folder itself, its first entry, then its second entry fails.
    {"RetiredFolderRemovalStopsHalfWay",
     {{Op::kRemove, ".alt", 4}},
     After::kNewWithWarning,
     "~1024x768.alt"},
};

// ctest lists a row by its name, not by its bytes.
void PrintTo(const FaultRow& row, std::ostream* out) { *out << row.name; }

class RunFaultTest : public ::testing::TestWithParam<FaultRow> {
 protected:
  RunFaultTest() {
    dir_.Write("Skins/Demo/1280x1024/Skin.vsk", EncipherLines(kLines));
    dir_.Write("Skins/Demo/1280x1024/back.bmp", testing::BmpFile(40, 32));
    dir_.Write("Skins/Demo/1280x1024/sep.bmp", testing::BmpFile(200, 1));  // copied, not scaled
    dir_.Write("Skins/Demo/1280x1024/ArrowT.bmp", testing::BmpFile(5, 5));
    dir_.Write("Skins/Demo/1024x768/Skin.vsk", "old");
    dir_.Write("Skins/Demo/1024x768/old.bmp", testing::BmpFile(3, 3));
  }

  RunResult Run(FileSystem& files, RecordingCaller& port) {
    ConversionRun run(files, port);
    return port.Execute(run);
  }

  RecordingCaller Port() {
    RecordingCaller port(testing::DemoInputs(dir_.path() / "Skins"));
    port.answer_yes = true;
    return port;
  }

  fs::path Skin() const { return dir_.path() / "Skins" / "Demo"; }

  void ExpectNewFolderComplete() {
    EXPECT_EQ(DecipherLines(ReadAll(dir_.files, Skin() / "1024x768" / "Skin.vsk")), kConverted);
    EXPECT_EQ(Names(dir_.files, Skin() / "1024x768"),
              (std::vector<std::string>{"ArrowT.bmp", "Skin.vsk", "back.bmp", "sep.bmp"}));
  }

  // The next run succeeds whatever this one left, and clears it; an old
  // folder set aside goes back first and is asked about as the old folder.
  void ExpectTheNextRunRepairs() {
    RecordingCaller again = Port();
    ASSERT_EQ(Run(dir_.files, again).outcome, RunOutcome::kSucceeded)
        << again.messages.back().second;
    EXPECT_EQ(again.events.size(), 3u);  // busy, the question, idle
    ExpectNewFolderComplete();
    EXPECT_EQ(Names(dir_.files, Skin()), (std::vector<std::string>{"1024x768", "1280x1024"}));
  }

  testing::MemoryFolder dir_;
};

TEST_P(RunFaultTest, LeavesTheDiskAsTheMessageSays) {
  const FaultRow& row = GetParam();
  const auto before = Snapshot(dir_.files, Skin());
  const auto base = Snapshot(dir_.files, Skin() / "1280x1024");
  const auto old_folder = Snapshot(dir_.files, Skin() / "1024x768");
  FaultyFileSystem files(dir_.files);
  for (const Fault& fault : row.faults) {
    files.FailOn(fault.op, fault.fragment, fault.nth, kCause, fault.leftover);
  }
  RecordingCaller port = Port();
  RunResult result = Run(files, port);

  ASSERT_FALSE(port.events.empty());
  EXPECT_EQ(port.events.back(), "idle");
  ASSERT_EQ(port.messages.size(), 1u);
  const std::string& message = port.messages[0].second;
  EXPECT_EQ(Snapshot(dir_.files, Skin() / "1280x1024"), base);

  switch (row.after) {
    case After::kOldState:
      EXPECT_EQ(result.outcome, RunOutcome::kFailed);
      EXPECT_EQ(port.messages[0].first, MessageKind::kError);
      EXPECT_NE(message.find(row.cause), std::string::npos) << message;
      EXPECT_NE(message.find(row.names), std::string::npos) << message;
      EXPECT_EQ(Snapshot(dir_.files, Skin()), before);
      break;
    case After::kOldAside:
      EXPECT_EQ(result.outcome, RunOutcome::kFailed);
      EXPECT_NE(message.find(row.cause), std::string::npos) << message;
      EXPECT_NE(message.find(row.names), std::string::npos) << message;
      EXPECT_EQ(Snapshot(dir_.files, Skin() / "~1024x768.alt"), old_folder);
      EXPECT_EQ(Names(dir_.files, Skin()),
                (std::vector<std::string>{"1280x1024", "~1024x768.alt"}));
      break;
    case After::kStagingLeft:
      EXPECT_EQ(result.outcome, RunOutcome::kFailed);
      EXPECT_NE(message.find(row.cause), std::string::npos) << message;
      EXPECT_NE(message.find("Zwischenordner " + (Skin() / row.names).string() + " bleibt"),
                std::string::npos)
          << message;
      EXPECT_TRUE(dir_.files.Stat(Skin() / row.names) != EntryKind::kMissing);
      EXPECT_EQ(Snapshot(dir_.files, Skin() / "1024x768"), old_folder);
      break;
    case After::kNewWithWarning:
      ASSERT_EQ(result.outcome, RunOutcome::kSucceeded) << result.message;
      EXPECT_EQ(port.messages[0].first, MessageKind::kSuccess);
      ExpectNewFolderComplete();
      ASSERT_EQ(port.warnings.size(), 1u);
      EXPECT_NE(port.warnings[0].text.find(row.cause), std::string::npos) << port.warnings[0].text;
      EXPECT_NE(port.warnings[0].text.find(row.names), std::string::npos) << port.warnings[0].text;
      EXPECT_FALSE(dir_.files.Stat(Skin() / "~1024x768.neu") != EntryKind::kMissing);
      break;
  }

  ExpectTheNextRunRepairs();
}

INSTANTIATE_TEST_SUITE_P(Rows, RunFaultTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<FaultRow>& info) {
                           return info.param.name;
                         });

// The process dies at every call of a run in turn, with and without an old
// folder to replace: from that call on nothing reaches the disk, and its
// clean-up can do nothing either. The disk must then hold the old folder or
// the complete new one (the old one may wait set aside, if it died between
// the renames), and the next run must repair whatever else was left.
TEST(RunDeathTest, DyingAtAnyCallLosesNothing) {
  for (const bool with_old : {true, false}) {
    SCOPED_TRACE(with_old ? "replacing an old folder" : "no old folder");
    testing::MemoryFolder dir;
    const fs::path skin = dir.path() / "Skins" / "Demo";
    auto reset = [&] {
      std::string ignored;
      dir.files.RemoveTree(skin, &ignored);
      dir.Write("Skins/Demo/1280x1024/Skin.vsk", EncipherLines(kLines));
      dir.Write("Skins/Demo/1280x1024/back.bmp", testing::BmpFile(40, 32));
      dir.Write("Skins/Demo/1280x1024/sep.bmp", testing::BmpFile(200, 1));
      dir.Write("Skins/Demo/1280x1024/ArrowT.bmp", testing::BmpFile(5, 5));
      if (with_old) dir.Write("Skins/Demo/1024x768/old.bmp", testing::BmpFile(3, 3));
    };
    auto run = [&](FileSystem& files, bool answer_yes) {
      RecordingCaller port(testing::DemoInputs(dir.path() / "Skins"));
      port.answer_yes = answer_yes;
      ConversionRun conversion(files, port);
      return port.Execute(conversion);
    };
    reset();
    const auto old_folder = Snapshot(dir.files, skin / "1024x768");
    FaultyFileSystem counted(dir.files);
    ASSERT_EQ(run(counted, true).outcome, RunOutcome::kSucceeded);
    const auto new_folder = Snapshot(dir.files, skin / "1024x768");
    ASSERT_EQ(new_folder.size(), 4u);

    for (int call = 1; call <= counted.AllCalls(); ++call) {
      SCOPED_TRACE("died at call " + std::to_string(call));
      reset();
      FaultyFileSystem dying(dir.files);
      dying.DieAtCall(call);
      run(dying, true);
      auto kept = Snapshot(dir.files, skin / "1024x768");
      if (kept.empty() && with_old) kept = Snapshot(dir.files, skin / "~1024x768.alt");
      EXPECT_TRUE(kept == old_folder || kept == new_folder);
      for (const std::string& name : Names(dir.files, skin)) {
        EXPECT_TRUE(name == "1280x1024" || name == "1024x768" || name.starts_with("~1024x768."))
            << name;
      }

      // Asked to replace what it finds, the next run says No: the folder the
      // dead run kept must stand, now under its own name and alone.
      const RunOutcome next = run(dir.files, false).outcome;
      EXPECT_EQ(next, kept.empty() ? RunOutcome::kSucceeded : RunOutcome::kReplaceDeclined);
      EXPECT_EQ(Snapshot(dir.files, skin / "1024x768"), kept.empty() ? new_folder : kept);
      EXPECT_EQ(Names(dir.files, skin), (std::vector<std::string>{"1024x768", "1280x1024"}));
    }
  }
}

// The open file descriptors of this process, where the system shows them.
std::optional<std::size_t> OpenHandles() {
#ifdef __linux__
  std::error_code ec;
  std::size_t count = 0;
  for (auto it = fs::directory_iterator("/proc/self/fd", ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    ++count;
  }
  if (!ec) return count;
#endif
  return std::nullopt;
}

// 200 skins in a row through one run object and one port, as the window
// converts skin after skin: every result right, nothing left open, nothing
// left behind (the sanitizer build adds: nothing leaked).
TEST(RunUnderLoadTest, TwoHundredSkinsThroughOneRun) {
  constexpr int kSkins = 200;
  testing::TestFolder dir;
  for (int i = 0; i < kSkins; ++i) {
    const fs::path base = fs::path("Skins") / ("Skin" + std::to_string(i)) / "1280x1024";
    dir.Write(
        base / "Skin.vsk",
        EncipherLines({"Form=" + std::to_string(i), "gfxHintergrund=back.bmp",
                       "Titel.Left=" + std::to_string(10 * i + 7), "Titel.Top=" + std::to_string(i),
                       "Titel.Caption=Skin " + std::to_string(i)}));
    dir.Write(base / "back.bmp", testing::BmpFile(2 * (10 + i % 13), 2 * (8 + i % 7)));
    if (i % 2) dir.Write(base / "ArrowB.bmp", testing::BmpFile(4, 6));
  }

  RunRequest in;
  in.skins_path = dir.path() / "Skins";
  RecordingCaller port(in);
  RealFileSystem files;
  ConversionRun run(files, port);
  const std::optional<std::size_t> handles_before = OpenHandles();

  for (int i = 0; i < kSkins; ++i) {
    SCOPED_TRACE("skin " + std::to_string(i));
    // Half the skins shrink to exactly half, half grow to exactly double.
    const bool shrink = i % 2 == 0;
    port.inputs.skin = "Skin" + std::to_string(i);
    port.inputs.new_width_text = shrink ? "640" : "2560";
    port.inputs.new_height_text = shrink ? "512" : "2048";
    port.events.clear();
    port.messages.clear();
    RunResult result = port.Execute(run);

    ASSERT_EQ(result.outcome, RunOutcome::kSucceeded) << result.message;
    EXPECT_EQ(port.events, (std::vector<std::string>{"busy", "idle"}));
    const fs::path made =
        dir.path() / "Skins" / port.inputs.skin / (shrink ? "640x512" : "2560x2048");
    auto scaled = [&](int value) { return std::to_string(shrink ? value / 2 : value * 2); };
    EXPECT_EQ(
        DecipherLines(ReadAll(made / "Skin.vsk")),
        (std::vector<std::string>{"Form=" + std::to_string(i), "gfxHintergrund=back.bmp",
                                  "Titel.Left=" + scaled(10 * i + 7), "Titel.Top=" + scaled(i),
                                  "Titel.Caption=Skin " + std::to_string(i)}));
    Image back;
    std::string bytes = ReadAll(made / "back.bmp"), reason;
    ASSERT_TRUE(DecodeBmp({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()},
                          &back, &reason))
        << reason;
    EXPECT_EQ(back.width, shrink ? 10 + i % 13 : 4 * (10 + i % 13));
    EXPECT_EQ(back.height, shrink ? 8 + i % 7 : 4 * (8 + i % 7));
    EXPECT_EQ(Names(made).size(), i % 2 ? 3u : 2u);  // Skin.vsk, back.bmp and the arrow
    EXPECT_EQ(Names(dir.path() / "Skins" / port.inputs.skin).size(), 2u);
  }
  if (handles_before) {
    EXPECT_EQ(OpenHandles(), handles_before);
  } else {
    std::cout << "open handles are not counted on this platform\n";
  }
}

}  // namespace
}  // namespace fendrix

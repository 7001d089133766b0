#include "conversion/run/conversion_run.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "conversion/run/test_skin.h"
#include "conversion/skin_text/line_rewriter.h"
#include "support/faulty_file_system.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;
using testing::DecipherLines;
using testing::EncipherLines;
using testing::FaultyFileSystem;
using testing::RecordingCaller;
using testing::Snapshot;

const std::vector<std::string> kSkinLines = {
    "Form=Jukebox",
    "gfxHintergrund=back.bmp",
    "",
    "Titel.Left=120",
    "Titel.Top=96",
    "Titel.FontSize=8,25",
    "Titel.Caption=Hallo",
    "gfxSchluss=sub\\close.bmp",
    "Liste.Width=abc",
    "gfxSongsuche=fehlt.bmp",
};

class ConversionRunTest : public ::testing::Test {
 protected:
  ConversionRunTest() {
    base_ = dir_.MakeFolder("Skins/Demo/1280x1024");
    dir_.Write("Skins/Demo/1280x1024/Skin.vsk", EncipherLines(kSkinLines));
    dir_.Write("Skins/Demo/1280x1024/back.bmp", testing::BmpFile(40, 32));
    dir_.Write("Skins/Demo/1280x1024/sub/close.bmp", testing::BmpFile(10, 8));
    dir_.Write("Skins/Demo/1280x1024/ArrowT.bmp", testing::BmpFile(5, 5));
    dir_.Write("Skins/Demo/1280x1024/unused.txt", "not copied");
  }

  RunRequest Inputs(std::string width, std::string height) {
    return testing::DemoInputs(dir_.path() / "Skins", std::move(width), std::move(height));
  }

  RunResult Run(RecordingCaller& port) {
    ConversionRun run(*fs_, port);
    return port.Execute(run);
  }

  fs::path Skin() const { return dir_.path() / "Skins" / "Demo"; }

  testing::MemoryFolder dir_;
  std::unique_ptr<FaultyFileSystem> fs_ = std::make_unique<FaultyFileSystem>(dir_.files);
  fs::path base_;
};

TEST_F(ConversionRunTest, ConvertsTheWholeSkin) {
  auto before = Snapshot(dir_.files, base_);
  RecordingCaller port(Inputs("1024", "768"));
  RunResult result = Run(port);

  ASSERT_EQ(result.outcome, RunOutcome::kSucceeded) << result.message;
  fs::path made = Skin() / "1024x768";
  EXPECT_EQ(result.new_folder, made);
  EXPECT_EQ(DecipherLines(testing::ReadAll(dir_.files, made / "Skin.vsk")),
            (std::vector<std::string>{"Form=Jukebox", "gfxHintergrund=back.bmp", "Titel.Left=96",
                                      "Titel.Top=71", "Titel.FontSize=6", "Titel.Caption=Hallo",
                                      "gfxSchluss=close.bmp", "Liste.Width=abc",
                                      "gfxSongsuche=fehlt.bmp"}));
  EXPECT_EQ(testing::Names(dir_.files, made),
            (std::vector<std::string>{"ArrowT.bmp", "Skin.vsk", "back.bmp", "close.bmp"}));
  EXPECT_EQ(testing::ReadAll(dir_.files, made / "back.bmp"),
            EncodeBmp24(Stretch(testing::Gradient(40, 32), 32, 24, StretchFilter::kNearest)));
  EXPECT_EQ(result.lines_written, 9u);
  EXPECT_EQ(result.bitmaps_scaled, 3u);

  ASSERT_EQ(port.warnings.size(), 2u);
  EXPECT_EQ(port.warnings[0].line, 9u);   // Liste.Width=abc
  EXPECT_EQ(port.warnings[1].line, 10u);  // the missing bitmap
  EXPECT_EQ(port.events, (std::vector<std::string>{"busy", "idle"}));
  ASSERT_EQ(port.progress.size(), kSkinLines.size());
  EXPECT_FLOAT_EQ(port.progress.back(), 100.0f);
  EXPECT_EQ(port.messages.back(), std::make_pair(MessageKind::kSuccess, std::string(kSuccessText)));
  EXPECT_EQ(Snapshot(dir_.files, base_), before);
  EXPECT_EQ(testing::Names(dir_.files, Skin()),
            (std::vector<std::string>{"1024x768", "1280x1024"}));
}

// A short line and one past the cipher's period of 256 bytes come out as
// CryptLine and RewriteLine make them, line by line as LineReader cuts them
// (an enciphered line may hold a carriage return and so fall in two).
TEST_F(ConversionRunTest, CiphersLinesOfEveryLengthAsCryptLineDoes) {
  std::vector<std::string> lines;
  for (std::size_t length : {1, 300}) {
    std::string line = "x.Left=1";
    for (std::size_t i = 0; line.size() < length; ++i) line += static_cast<char>('0' + i % 10);
    lines.push_back(line.substr(0, length));
    lines.push_back("x.Caption=" + line.substr(0, length));
  }
  const std::string stored = EncipherLines(lines);
  dir_.Write("Skins/Demo/1280x1024/Skin.vsk", stored);
  RecordingCaller port(Inputs("1024", "768"));
  ASSERT_EQ(Run(port).outcome, RunOutcome::kSucceeded);

  std::string expected;
  LineReader reader(stored);
  for (std::string_view read; reader.Next(&read);) {
    std::string line(read);
    CryptLine(line, kSkinKey);
    RewrittenLine rewritten = RewriteLine(line, ComputeFactors(1280, 1024, 1024, 768), ',');
    if (!rewritten.line) continue;
    CryptLine(*rewritten.line, kSkinKey);
    expected += *rewritten.line + std::string(kLineEnd);
  }
  EXPECT_TRUE(testing::ReadAll(dir_.files, Skin() / "1024x768" / "Skin.vsk") == expected);
}

TEST_F(ConversionRunTest, RefusesInvalidResolutionsBeforeTouchingAnything) {
  const std::pair<std::string, std::string> cases[] = {
      {"639", "480"},  {"640", "479"},    {"abc", "600"},  {"800", ""},
      {"9e99", "600"}, {"1024.5", "768"}, {"-800", "600"},
  };
  for (const auto& [w, h] : cases) {
    RecordingCaller port(Inputs(w, h));
    EXPECT_EQ(Run(port).outcome, RunOutcome::kInvalidResolution) << w << "x" << h;
    EXPECT_TRUE(port.events.empty());
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0],
              std::make_pair(MessageKind::kInvalidResolution, std::string(kInvalidResolutionText)));
  }
  EXPECT_EQ(testing::Names(dir_.files, Skin()), std::vector<std::string>{"1280x1024"});
}

TEST_F(ConversionRunTest, RefusesARunWithoutASkinBeforeGoingBusy) {
  for (const char* skin : {"", "..", "."}) {
    RunRequest in = Inputs("1024", "768");
    in.skin = skin;
    in.base = {"1280x1024", 1280, 1024};
    RecordingCaller port(in);
    EXPECT_EQ(Run(port).outcome, RunOutcome::kFailed) << skin;
    EXPECT_TRUE(port.events.empty());
    EXPECT_EQ(port.messages,
              (std::vector{std::make_pair(MessageKind::kError, std::string(kNoSkinText))}));
  }
  EXPECT_EQ(testing::Names(dir_.files, dir_.path() / "Skins"), std::vector<std::string>{"Demo"});
  EXPECT_EQ(testing::Names(dir_.files, Skin()), std::vector<std::string>{"1280x1024"});
}

// A caller that, while its run asks or writes, starts more runs on the same
// disk, as a second window or a script would.
class MeddlingPort : public RecordingCaller {
 public:
  using RecordingCaller::RecordingCaller;
  bool ConfirmReplace(std::string_view question) override {
    if (meddle_when_asked) meddle_when_asked();
    return RecordingCaller::ConfirmReplace(question);
  }
  void SetProgress(float percent) override {
    RecordingCaller::SetProgress(percent);
    if (meddle && progress.size() == 2) meddle();
  }
  std::function<void()> meddle_when_asked;
  std::function<void()> meddle;
};

TEST_F(ConversionRunTest, OneRunPerSkinAndResolutionAtATime) {
  dir_.Write("Skins/Demo/1024x768/old.bmp", "old");
  MemoryFileSystem& other_disk = dir_.files;  // a second user of the same files
  RunResult same, other;
  RecordingCaller same_port(Inputs("1024", "768")), other_port(Inputs("800", "600"));
  RecordingCaller while_asked(Inputs("1024", "768"));
  std::map<std::string, std::string> during;
  MeddlingPort port(Inputs("1024", "768"));
  port.answer_yes = true;
  port.meddle_when_asked = [&] {
    ConversionRun asked_run(other_disk, while_asked);
    while_asked.Execute(asked_run);
  };
  port.meddle = [&] {
    during = Snapshot(dir_.files, Skin());
    same_port.answer_yes = true;
    ConversionRun same_run(other_disk, same_port);
    same = same_port.Execute(same_run);
    EXPECT_EQ(Snapshot(dir_.files, Skin()), during);
    ConversionRun other_run(other_disk, other_port);
    other = other_port.Execute(other_run);
  };
  ASSERT_EQ(Run(port).outcome, RunOutcome::kSucceeded) << port.messages.back().second;

  EXPECT_EQ(same.outcome, RunOutcome::kFailed);
  EXPECT_EQ(same_port.events, (std::vector<std::string>{"busy", "idle"}));
  ASSERT_EQ(same_port.messages.size(), 1u);
  EXPECT_EQ(same_port.messages[0].second.find("Der Skin Demo wird bereits in 1024x768 umgewandelt"),
            0u)
      << same_port.messages[0].second;
  ASSERT_EQ(while_asked.messages.size(), 1u);
  EXPECT_EQ(
      while_asked.messages[0].second.find("Ein anderes Fenster ist dabei, das "
                                          "Skinverzeichnis 1024x768 des Skins Demo zu ersetzen"),
      0u)
      << while_asked.messages[0].second;
  EXPECT_EQ(other.outcome, RunOutcome::kSucceeded) << other.message;
  EXPECT_FALSE(dir_.files.Stat(Skin() / "1024x768" / "old.bmp") != EntryKind::kMissing);
  EXPECT_EQ(testing::Names(dir_.files, Skin() / "1024x768"),
            testing::Names(dir_.files, Skin() / "800x600"));
  EXPECT_EQ(testing::Names(dir_.files, Skin()),
            (std::vector<std::string>{"1024x768", "1280x1024", "800x600"}));

  // The lock went with the run.
  RecordingCaller again(Inputs("1024", "768"));
  again.answer_yes = true;
  EXPECT_EQ(Run(again).outcome, RunOutcome::kSucceeded);
}

TEST_F(ConversionRunTest, AReadOnlyOldFolderFailsTheRunBeforeAnythingIsWritten) {
  dir_.files.MarkReadOnly(dir_.Write("Skins/Demo/1024x768/sub/old.bmp", "old"));
  const auto before = Snapshot(dir_.files, Skin());
  RecordingCaller port(Inputs("1024", "768"));
  port.answer_yes = true;
  RunResult result = Run(port);

  EXPECT_EQ(result.outcome, RunOutcome::kFailed);
  EXPECT_NE(result.message.find(fs::path(Skin() / "1024x768").string()), std::string::npos)
      << result.message;
  EXPECT_EQ(Snapshot(dir_.files, Skin()), before);
  EXPECT_TRUE(fs_->Paths(FaultyFileSystem::Op::kWrite).empty());
}

TEST_F(ConversionRunTest, ReadsTheSizeWithTheDecimalSeparator) {
  RecordingCaller port(Inputs("800,4", "600"));
  ASSERT_EQ(Run(port).outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(dir_.files.Stat(Skin() / "800x600"), EntryKind::kDirectory);
  RecordingCaller smallest(Inputs("640", "480"));
  EXPECT_EQ(Run(smallest).outcome, RunOutcome::kSucceeded);
}

TEST_F(ConversionRunTest, AsksBeforeReplacingAndKeepsTheOldFolderOnNo) {
  dir_.Write("Skins/Demo/1024x768/Skin.vsk", "old");
  auto old = Snapshot(dir_.files, Skin() / "1024x768");

  RecordingCaller no(Inputs("1024", "768"));
  EXPECT_EQ(Run(no).outcome, RunOutcome::kReplaceDeclined);
  EXPECT_EQ(no.events, (std::vector<std::string>{
                           "busy", "ask: " + std::string(kReplaceQuestionText), "idle"}));
  EXPECT_TRUE(no.messages.empty());
  EXPECT_EQ(Snapshot(dir_.files, Skin() / "1024x768"), old);

  RecordingCaller yes(Inputs("1024", "768"));
  yes.answer_yes = true;
  ASSERT_EQ(Run(yes).outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(DecipherLines(testing::ReadAll(dir_.files, Skin() / "1024x768" / "Skin.vsk")).size(),
            9u);
  EXPECT_EQ(testing::Names(dir_.files, Skin()),
            (std::vector<std::string>{"1024x768", "1280x1024"}));
}

// Whether the success message shows is the caller's to decide: the window
// closes instead.
TEST_F(ConversionRunTest, AutomaticModeReplacesWithoutAsking) {
  dir_.Write("Skins/Demo/1024x768/stale.bmp", "old");
  RunRequest in = Inputs("1024", "768");
  in.auto_mode = true;
  RecordingCaller port(in);
  ASSERT_EQ(Run(port).outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(port.events, (std::vector<std::string>{"busy", "idle"}));
  EXPECT_FALSE(dir_.files.Stat(Skin() / "1024x768" / "stale.bmp") != EntryKind::kMissing);
}

TEST_F(ConversionRunTest, NeverReplacesTheBaseFolder) {
  auto before = Snapshot(dir_.files, Skin());
  for (bool auto_mode : {false, true}) {
    RunRequest in = Inputs("1280", "1024");
    in.auto_mode = auto_mode;
    RecordingCaller port(in);
    port.answer_yes = true;
    EXPECT_EQ(Run(port).outcome, RunOutcome::kSameAsBase);
    EXPECT_EQ(port.events, (std::vector<std::string>{"busy", "idle"}));
    EXPECT_EQ(port.messages.back().second, kSameAsBaseText);
  }
  EXPECT_EQ(Snapshot(dir_.files, Skin()), before);
}

TEST_F(ConversionRunTest, AnUnreadableBitmapLeavesTheDiskAsItWas) {
  dir_.Write("Skins/Demo/1024x768/Skin.vsk", "old");
  std::string truncated = testing::BmpFile(40, 32).substr(0, 100);
  dir_.Write("Skins/Demo/1280x1024/back.bmp", truncated);
  auto before = Snapshot(dir_.files, Skin());

  RecordingCaller port(Inputs("1024", "768"));
  port.answer_yes = true;
  RunResult result = Run(port);
  EXPECT_EQ(result.outcome, RunOutcome::kFailed);
  EXPECT_NE(result.message.find("back.bmp"), std::string::npos) << result.message;
  EXPECT_EQ(port.events.back(), "idle");
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0], std::make_pair(MessageKind::kError, result.message));
  EXPECT_EQ(Snapshot(dir_.files, Skin()), before);
}

TEST_F(ConversionRunTest, FaultsWhileWritingOrSwappingLeaveTheOldState) {
  dir_.Write("Skins/Demo/1024x768/Skin.vsk", "old");
  auto before = Snapshot(dir_.files, Skin());
  struct {
    FaultyFileSystem::Op op;
    std::string fragment;
    int nth;
    std::string reason;
  } faults[] = {
      {FaultyFileSystem::Op::kWrite, "Skin.vsk", 1, "Datenträger voll"},
      {FaultyFileSystem::Op::kWrite, "close.bmp", 1, "Datenträger voll"},
      {FaultyFileSystem::Op::kRead, "back.bmp", 1, "Zugriff verweigert"},
      {FaultyFileSystem::Op::kRename, "1024x768", 1, "Zugriff verweigert"},  // old folder aside
      {FaultyFileSystem::Op::kRename, "1024x768", 2, "Zugriff verweigert"},  // new folder in
      {FaultyFileSystem::Op::kMakeDirectory, ".neu", 1, "Zugriff verweigert"},
  };
  for (const auto& fault : faults) {
    fs_ = std::make_unique<FaultyFileSystem>(dir_.files);
    fs_->FailOn(fault.op, fault.fragment, fault.nth, fault.reason);
    RecordingCaller port(Inputs("1024", "768"));
    port.answer_yes = true;
    RunResult result = Run(port);
    EXPECT_EQ(result.outcome, RunOutcome::kFailed) << fault.fragment << " " << fault.nth;
    EXPECT_NE(result.message.find(fault.reason), std::string::npos) << result.message;
    EXPECT_EQ(port.events.back(), "idle");
    EXPECT_EQ(Snapshot(dir_.files, Skin()), before) << fault.fragment << " " << fault.nth;
  }
}

TEST_F(ConversionRunTest, AnEmptySourceGivesOnlyTheArrows) {
  dir_.Write("Skins/Demo/1280x1024/Skin.vsk", "");
  RecordingCaller port(Inputs("1024", "768"));
  ASSERT_EQ(Run(port).outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(testing::Names(dir_.files, Skin() / "1024x768"),
            std::vector<std::string>{"ArrowT.bmp"});
  EXPECT_TRUE(port.progress.empty());
}

TEST_F(ConversionRunTest, AMissingSourceFileFailsWithItsName) {
  std::string ignored;
  dir_.files.RemoveTree(base_ / "Skin.vsk", &ignored);
  RecordingCaller port(Inputs("1024", "768"));
  RunResult result = Run(port);
  EXPECT_EQ(result.outcome, RunOutcome::kFailed);
  EXPECT_NE(result.message.find("Skin.vsk"), std::string::npos);
  EXPECT_EQ(testing::Names(dir_.files, Skin()), std::vector<std::string>{"1280x1024"});
}

TEST_F(ConversionRunTest, AStoredByteThirteenSplitsTheLineAsTheReadingRuleSays) {
  // A plain byte that enciphers to CR at position 2 cuts the stored line there.
  std::string plain = "ab";
  plain.push_back(static_cast<char>(13 ^ 255 ^ 't' ^ 2));
  plain += "X.Left=10";
  dir_.Write("Skins/Demo/1280x1024/Skin.vsk", EncipherLines({plain, "Form=1"}));
  RecordingCaller port(Inputs("1024", "768"));
  ASSERT_EQ(Run(port).outcome, RunOutcome::kSucceeded);
  std::vector<std::string> lines =
      DecipherLines(testing::ReadAll(dir_.files, Skin() / "1024x768" / "Skin.vsk"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "ab");
  EXPECT_EQ(lines[2], "Form=1");
  EXPECT_EQ(port.progress.size(), 3u);
}

}  // namespace
}  // namespace fendrix

#include "app/main_window_logic.h"

#include <gtest/gtest.h>

#include "app/fake_main_view.h"
#include "support/faulty_file_system.h"

namespace fendrix::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kSucceeded[] = "Der Skin wurde erfolgreich umgewandelt!";

class RunFlowTest : public ::testing::Test {
 protected:
  MainWindowLogic& Open() {
    h.tree.AddResolution("A", "1280x1024");
    return h.Open();
  }
  void Click() { h.logic->OnCreateSkinClicked(); }

  FlowHarness h;
  FakeMainView& view = h.view;
};

TEST_F(RunFlowTest, SucceedsWithOneMessageOverAFullBarThatEmptiesOnceRead) {
  Open();
  long progress_while_told = -1;
  view.on_message = [&] { progress_while_told = view.progress; };
  Click();

  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, kSucceeded);
  EXPECT_EQ(view.messages[0].style, MessageStyle::kInformation);
  EXPECT_EQ(progress_while_told, 100);
  EXPECT_EQ(view.progress, 0);
  EXPECT_TRUE(view.Idle());
  EXPECT_EQ(DecipherLines(ReadAll(h.files, h.skins / "A" / "1024x768" / "Skin.vsk")).size(), 5u);
  EXPECT_FALSE(view.closed);
}

TEST_F(RunFlowTest, WithoutASelectedSkinTheClickIsRefusedAndTouchesNothing) {
  Open();
  view.SelectListItem(ViewList::kSkins, -1);
  ASSERT_TRUE(view.IsEnabled(ViewControl::kCreateSkin));

  Click();

  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_TRUE(view.messages[0].text.starts_with("Kein Skin ausgewählt")) << view.messages[0].text;
  EXPECT_EQ(view.messages[0].style, MessageStyle::kError);
  EXPECT_EQ(Names(h.files, h.skins), std::vector<std::string>{"A"});
  EXPECT_EQ(Names(h.files, h.skins / "A"), std::vector<std::string>{"1280x1024"});
  EXPECT_TRUE(view.Idle());
}

TEST_F(RunFlowTest, ClickWhileCreateIsDisabledDoesNothing) {
  h.inputs.program_folder = h.tree.MakeFolder("Elsewhere");
  Open();
  ASSERT_FALSE(view.IsEnabled(ViewControl::kCreateSkin));
  Click();
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(RunFlowTest, InvalidResolutionOnlySaysSo) {
  struct {
    std::string width, height;
  } cases[] = {{"639", "480"}, {"640", "479"}, {"abc", "480"}, {"800", ""}};
  Open();
  for (const auto& c : cases) {
    view.messages.clear();
    view.SetText(ViewTextBox::kResH, c.width);
    view.SetText(ViewTextBox::kResV, c.height);
    Click();
    ASSERT_EQ(view.messages.size(), 1u) << c.width << "x" << c.height;
    EXPECT_EQ(view.messages[0].text, "Keine gültige Auflösung angegeben");
    EXPECT_EQ(view.messages[0].style, MessageStyle::kPlain);
    EXPECT_TRUE(view.Idle());
  }
  EXPECT_EQ(Names(h.files, h.skins / "A"), std::vector<std::string>{"1280x1024"});
  EXPECT_EQ(view.progress, 0);
}

TEST_F(RunFlowTest, DecimalCommaIsReadWithTheUsersSeparator) {
  Open();
  view.SetText(ViewTextBox::kResH, "800,4");
  view.SetText(ViewTextBox::kResV, "600");
  Click();
  EXPECT_TRUE(FileExists(h.files, h.skins / "A" / "800x600" / "Skin.vsk"));
}

TEST_F(RunFlowTest, ReplaceQuestionIsAskedWhileBusyNoKeepsTheOldFolderYesReplacesIt) {
  h.tree.Write("Player/Skins/A/1024x768/alt.txt", "alt");
  Open();
  std::map<ViewControl, bool> enabled_while_asked;
  std::string caption_while_asked;
  view.on_message = [&] {
    enabled_while_asked = view.enabled;
    caption_while_asked = view.create_caption;
  };
  view.answers = {false};

  Click();

  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text,
            "Ein Skinverzeichnis für diese Auflösung existiert bereits, soll dieses ersetzt "
            "werden?");
  EXPECT_EQ(view.messages[0].style, MessageStyle::kQuestion);
  ASSERT_EQ(enabled_while_asked.size(), 6u);
  for (const auto& [control, on] : enabled_while_asked) EXPECT_FALSE(on);
  EXPECT_EQ(caption_while_asked, "Erstelle Skin...");
  EXPECT_EQ(Names(h.files, h.skins / "A" / "1024x768"), std::vector<std::string>{"alt.txt"});
  EXPECT_TRUE(view.Idle());

  view.answers = {true};
  Click();

  ASSERT_EQ(view.messages.size(), 3u);
  EXPECT_EQ(view.messages[2].text, kSucceeded);
  EXPECT_EQ(Names(h.files, h.skins / "A" / "1024x768"),
            (std::vector<std::string>{"Skin.vsk", "Zelback.bmp"}));
}

// A disk that fails every write by throwing instead of answering false.
class ThrowingDisk : public FaultyFileSystem {
 public:
  using FaultyFileSystem::FaultyFileSystem;
  bool WriteFile(const fs::path& path, std::string_view, std::string*) override {
    throw fs::filesystem_error("Datenträger voll", path,
                               std::make_error_code(std::errc::no_space_on_device));
  }
};

TEST_F(RunFlowTest, FailureLeavesTheWindowIdleWithOneMessageNamingTheFile) {
  FaultyFileSystem full_disk(h.files);
  full_disk.FailOn(FaultyFileSystem::Op::kWrite, "Skin.vsk", 1, "Datenträger voll");
  ThrowingDisk throwing_disk(h.files);
  struct {
    FileSystem* fs;
    const char* file;
  } cases[] = {{&full_disk, "Skin.vsk"}, {&throwing_disk, "Zelback.bmp"}};
  long progress_while_told = -1;
  view.on_message = [&] { progress_while_told = view.progress; };
  for (const auto& c : cases) {
    view.messages.clear();
    h.inputs.fs = c.fs;
    Open();

    Click();

    EXPECT_GT(progress_while_told, 0) << c.file;  // where the run stopped
    EXPECT_EQ(view.progress, 0) << c.file;
    ASSERT_EQ(view.messages.size(), 1u) << c.file;
    EXPECT_EQ(view.messages[0].style, MessageStyle::kError);
    const std::string& text = view.messages[0].text;
    EXPECT_NE(text.find(c.file), std::string::npos) << text;
    EXPECT_NE(text.find("Datenträger voll"), std::string::npos) << text;
    EXPECT_TRUE(view.Idle());
    EXPECT_FALSE(FileExists(h.files, h.skins / "A" / "1024x768")) << c.file;
  }
}

}  // namespace
}  // namespace fendrix::testing

#include "app/main_window_logic.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/fake_main_view.h"
#include "support/faulty_file_system.h"

namespace fendrix::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kRed = 0x0000ff;
constexpr std::uint32_t kBlue = 0xff0000;
constexpr std::uint32_t kGreen = 0x00ff00;
constexpr char kSucceeded[] = "Der Skin wurde erfolgreich umgewandelt!";

// --- Start-up ------------------------------------------------------------

TEST(StartUpFlowTest, SuggestsTheScreenAndFindsTheSkinsBesideTheTools) {
  FlowHarness h;
  h.tree.AddResolution("A", "1280x1024");
  h.Open();

  EXPECT_EQ(h.view.Text(ViewTextBox::kResH), "1024");
  EXPECT_EQ(h.view.Text(ViewTextBox::kResV), "768");
  EXPECT_EQ(h.view.skins_path, h.skins);
  EXPECT_EQ(h.view.Selected(ViewList::kSkins), "A");
  EXPECT_EQ(h.view.Selected(ViewList::kBaseResolution), "1280x1024");
  EXPECT_TRUE(h.view.IsEnabled(ViewControl::kCreateSkin));
  EXPECT_TRUE(h.view.messages.empty());
}

TEST(StartUpFlowTest, WithoutToolsFolderNoSkinsAreListed) {
  FlowHarness h;
  h.inputs.program_folder = h.tree.MakeFolder("Player/tools");  // case matters
  h.tree.AddResolution("A", "1280x1024");
  h.Open();

  EXPECT_EQ(h.view.ListCount(ViewList::kSkins), 0);
  EXPECT_EQ(h.view.skins_path, fs::path());
  EXPECT_FALSE(h.view.IsEnabled(ViewControl::kCreateSkin));
}

TEST(StartUpFlowTest, ResolutionOnTheCommandLineFixesTheBase) {
  struct {
    std::wstring command_line;
    std::vector<std::string> folders;
    bool locked;
    std::string selected;
  } cases[] = {
      {L"1024x768", {"1280x1024"}, true, ""},
      {L"1024x768", {"1280x1024", "1024x768"}, true, "1024x768"},
      {L"800x600x2", {"1280x1024", "800x600"}, true, ""},
      // A field beyond 16 bits cannot be a base: the command line does nothing.
      {L"40000x600", {"1280x1024"}, false, "1280x1024"},
      {L"1e6x600", {"1280x1024"}, false, "1280x1024"},
      {L"axb", {"1280x1024"}, false, "1280x1024"},
  };
  for (const auto& c : cases) {
    FlowHarness h;
    h.inputs.command_line = c.command_line;
    for (const std::string& folder : c.folders) h.tree.AddResolution("A", folder);
    h.Open();
    const char* why = c.folders.size() == 1 ? "one folder" : "two folders";

    EXPECT_EQ(!h.view.IsEnabled(ViewControl::kBaseResolution), c.locked) << why;
    EXPECT_EQ(h.view.ListCount(ViewList::kBaseResolution), static_cast<int>(c.folders.size()))
        << why;
    EXPECT_EQ(h.view.Selected(ViewList::kBaseResolution), c.selected) << why;
    EXPECT_EQ(h.view.IsEnabled(ViewControl::kCreateSkin), !c.selected.empty()) << why;
  }
}

TEST(StartUpFlowTest, FixedBaseIsTheSourceAndStaysFixedAfterTheRun) {
  FlowHarness h;
  h.inputs.command_line = L"1024x768";
  h.tree.AddResolution("A", "1280x1024", TestSkinLines("120"));
  h.tree.AddResolution("A", "1024x768", TestSkinLines("100"));
  MainWindowLogic& logic = h.Open();
  h.view.SetText(ViewTextBox::kResH, "800");
  h.view.SetText(ViewTextBox::kResV, "600");

  logic.OnCreateSkinClicked();

  // 100 / (1024 / 800); from 1280x1024 it would be 120 / 1.6 = 75.
  std::vector<std::string> lines = h.tree.SkinFileLines("A", "800x600");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "Titel.Left=78");
  EXPECT_FALSE(h.view.IsEnabled(ViewControl::kBaseResolution));
  EXPECT_TRUE(h.view.IsEnabled(ViewControl::kSkins));
}

TEST(StartUpFlowTest, SlashNameConvertsToTheScreenUnattendedAndCloses) {
  FlowHarness h;
  h.inputs.command_line = L"/mEIN skin";
  h.tree.AddResolution("Mein Skin", "1280x1024");
  h.tree.AddResolution("Mein Skin", "1024x768", {"Alt=1"});

  h.Open();

  EXPECT_TRUE(h.view.closed);
  EXPECT_EQ(h.view.shown, 1);
  EXPECT_TRUE(h.view.messages.empty());  // no question, no success message
  fs::path made = h.skins / "Mein Skin" / "1024x768";
  EXPECT_EQ(DecipherLines(ReadAll(h.files, made / "Skin.vsk")),
            (std::vector<std::string>{"Form=Fendrix", "gfxHintergrund=Zelback.bmp", "Titel.Left=96",
                                      "Titel.Top=71", "Titel.FontSize=7"}));
  EXPECT_TRUE(FileExists(h.files, made / "Zelback.bmp"));
}

TEST(StartUpFlowTest, SlashNameOfASkinAlreadyAtTheScreenResolutionJustCloses) {
  FlowHarness h;
  h.inputs.command_line = L"/A";
  h.tree.AddResolution("A", "1024x768");
  std::string before = ReadAll(h.files, h.skins / "A" / "1024x768" / "Skin.vsk");

  h.Open();

  EXPECT_TRUE(h.view.closed);
  EXPECT_EQ(h.view.shown, 0);
  EXPECT_TRUE(h.view.messages.empty());
  EXPECT_EQ(ReadAll(h.files, h.skins / "A" / "1024x768" / "Skin.vsk"), before);
}

enum class Disk { kHealthy, kFailsTheSkinFile };

// A "/Name" start whose run does not close the window.
struct UnclosedStart {
  const char* why;
  std::wstring command_line;
  int screen_width, screen_height;
  Disk disk;
  std::size_t messages;
  const char* named;  // in the one message, when there is one
};

const UnclosedStart kUnclosedStarts[] = {
    {"no such skin: no run", L"/Unbekannt", 1024, 768, Disk::kHealthy, 0, nullptr},
    {"screen below 640x480", L"/A", 600, 768, Disk::kHealthy, 1, "Auflösung"},
    {"no resolution folder", L"/Leer", 1024, 768, Disk::kHealthy, 1, "Skin.vsk"},
    {"already at the screen", L"/Leer", 1280, 1024, Disk::kHealthy, 1, "Basis-Auflösung"},
    {"disk fails", L"/A", 1024, 768, Disk::kFailsTheSkinFile, 1, "Datenträger voll"},
};

// The user picks A by hand and converts it to 800x600: asked first, the
// old folder kept on "no", then converted and told so, the window open.
void ExpectAHandRunAsksAndReports(FlowHarness& h, MainWindowLogic& logic, const char* why) {
  FakeMainView& view = h.view;
  auto& skins = view.lists[ViewList::kSkins].items;
  view.SelectListItem(ViewList::kSkins,
                      static_cast<int>(std::find(skins.begin(), skins.end(), "A") - skins.begin()));
  logic.OnSkinSelected();
  view.SetText(ViewTextBox::kResH, "800");
  view.SetText(ViewTextBox::kResV, "600");
  view.messages.clear();
  view.answers = {false};
  logic.OnCreateSkinClicked();
  ASSERT_EQ(view.messages.size(), 1u) << why;
  EXPECT_EQ(view.messages[0].style, MessageStyle::kQuestion) << why;
  EXPECT_EQ(Names(h.files, h.skins / "A" / "800x600"), std::vector<std::string>{"alt.txt"}) << why;

  view.answers = {true};
  logic.OnCreateSkinClicked();
  ASSERT_EQ(view.messages.size(), 3u) << why;
  EXPECT_EQ(view.messages[2].text, kSucceeded) << why;
  EXPECT_TRUE(FileExists(h.files, h.skins / "A" / "800x600" / "Skin.vsk")) << why;
  EXPECT_FALSE(view.closed) << why;
}

// However the unattended run ends short of closing, the window is then an
// ordinary one: the next run, started by hand, asks before it replaces,
// reports, and leaves the window open.
TEST(StartUpFlowTest, SlashNameRunThatDoesNotCloseLeavesTheWindowInNormalMode) {
  for (const UnclosedStart& c : kUnclosedStarts) {
    FlowHarness h;
    FaultyFileSystem disk(h.files);
    if (c.disk == Disk::kFailsTheSkinFile) {
      disk.FailOn(FaultyFileSystem::Op::kWrite, "Skin.vsk", 1, "Datenträger voll");
    }
    h.inputs.fs = &disk;
    h.inputs.command_line = c.command_line;
    h.inputs.screen_width = c.screen_width;
    h.inputs.screen_height = c.screen_height;
    h.tree.AddResolution("A", "1280x1024");
    h.tree.MakeFolder("Player/Skins/Leer/1280x1024");
    h.tree.Write("Player/Skins/A/800x600/alt.txt", "alt");
    MainWindowLogic& logic = h.Open();
    FakeMainView& view = h.view;

    ASSERT_FALSE(view.closed) << c.why;
    ASSERT_EQ(view.messages.size(), c.messages) << c.why;
    if (c.named) {
      EXPECT_NE(view.messages[0].text.find(c.named), std::string::npos)
          << c.why << ": " << view.messages[0].text;
    }
    EXPECT_EQ(view.create_caption, "Skin erstellen") << c.why;
    EXPECT_FALSE(FileExists(h.files, h.skins / "A" / "1024x768")) << c.why;
    ASSERT_NO_FATAL_FAILURE(ExpectAHandRunAsksAndReports(h, logic, c.why));
  }
}

// --- The skin selection --------------------------------------------------

// The skins folder is picked, not found beside the program.
class SelectionFlowTest : public ::testing::Test {
 protected:
  SelectionFlowTest() { h.inputs.program_folder = h.tree.MakeFolder("Elsewhere"); }

  void PickFolder(const fs::path& folder) {
    h.view.picked_folder = folder;
    h.logic->OnSelectSkinClicked();
  }
  void Choose(ViewList list, const std::string& entry) {
    auto& items = h.view.lists[list].items;
    auto found = std::find(items.begin(), items.end(), fs::path(entry));
    ASSERT_NE(found, items.end()) << entry;
    h.view.SelectListItem(list, static_cast<int>(found - items.begin()));
    if (list == ViewList::kSkins) h.logic->OnSkinSelected();
    if (list == ViewList::kBaseResolution) h.logic->OnBaseResolutionSelected();
  }

  FlowHarness h;
  FakeMainView& view = h.view;
};

TEST_F(SelectionFlowTest, PickingAFolderSelectsTheFirstSkinWithItsHighestBase) {
  h.tree.AddResolution("A", "800x600");
  h.tree.AddResolution("A", "1280x1024");
  h.tree.AddResolution("A", "1280x960");
  h.tree.AddResolution("B", "1024x768", TestSkinLines(), 40, 30, kBlue);
  h.tree.AddResolution("B", "1024x600", TestSkinLines(), 40, 30, kBlue);
  h.Open();
  EXPECT_FALSE(view.IsEnabled(ViewControl::kCreateSkin));

  PickFolder(h.skins);

  ASSERT_EQ(view.browse_calls.size(), 1u);
  const BrowseArgs& args = view.browse_calls[0];
  EXPECT_EQ(args.title, L"Bitte Skin-Verzeichnis wählen...");
  EXPECT_EQ(args.start_folder, h.inputs.program_folder.wstring());
  EXPECT_EQ(args.root_folder, std::optional<std::wstring>(L""));
  EXPECT_EQ(BrowseFlags(args), 69u);
  EXPECT_EQ(view.skins_path, h.skins);

  EXPECT_EQ(view.SortedItems(ViewList::kSkins), (std::vector<std::string>{"A", "B"}));
  // The first skin in enumeration order is selected, whichever it is.
  std::string first = view.ListItem(ViewList::kSkins, 0).string();
  EXPECT_EQ(view.Selected(ViewList::kSkins), first);
  struct Expected {
    std::vector<std::string> bases;
    std::string highest;
    std::uint32_t preview;
  };
  std::map<std::string, Expected> expected = {
      {"A", {{"1280x1024", "1280x960", "800x600"}, "1280x1024", kRed}},
      {"B", {{"1024x600", "1024x768"}, "1024x768", kBlue}},
  };
  EXPECT_EQ(view.SortedItems(ViewList::kBaseResolution), expected[first].bases);
  EXPECT_EQ(view.Selected(ViewList::kBaseResolution), expected[first].highest);
  ASSERT_TRUE(view.preview);
  EXPECT_EQ(FirstPixel(*view.preview), expected[first].preview);
  EXPECT_TRUE(view.IsEnabled(ViewControl::kCreateSkin));
}

TEST_F(SelectionFlowTest, CancellingThePickerKeepsFolderAndLists) {
  h.tree.AddResolution("A", "1280x1024");
  h.Open();
  PickFolder(h.skins);

  PickFolder(fs::path());

  EXPECT_EQ(view.browse_calls.size(), 2u);
  EXPECT_EQ(view.skins_path, h.skins);
  EXPECT_EQ(view.SortedItems(ViewList::kSkins), std::vector<std::string>{"A"});
  EXPECT_EQ(view.Selected(ViewList::kBaseResolution), "1280x1024");
  EXPECT_TRUE(view.IsEnabled(ViewControl::kCreateSkin));
}

// The other lists stay, but nothing may be converted from a folder without skins,
// not even by choosing the old base resolution again.
TEST_F(SelectionFlowTest, AnEmptySkinsFolderEmptiesTheSkinListAndDisablesCreate) {
  h.tree.AddResolution("A", "1280x1024");
  h.Open();
  PickFolder(h.skins);

  PickFolder(h.tree.MakeFolder("Leer"));

  EXPECT_EQ(view.ListCount(ViewList::kSkins), 0);
  EXPECT_EQ(view.skins_path.filename(), "Leer");
  EXPECT_EQ(view.SortedItems(ViewList::kBaseResolution), std::vector<std::string>{"1280x1024"});
  ASSERT_TRUE(view.preview);
  EXPECT_EQ(FirstPixel(*view.preview), kRed);
  EXPECT_FALSE(view.IsEnabled(ViewControl::kCreateSkin));
  h.tree.Write("Leer/1280x1024/Skin.vsk", EncipherLines(TestSkinLines()));
  Choose(ViewList::kBaseResolution, "1280x1024");
  EXPECT_FALSE(view.IsEnabled(ViewControl::kCreateSkin));
}

TEST_F(SelectionFlowTest, PreviewComesFromVorschauElseTheBackgroundElseNothing) {
  h.tree.AddResolution("A", "1280x1024");
  // Pictures are told by their bytes, not their names: a BMP serves as the preview.
  h.tree.Write("Player/Skins/A/Vorschau.jpg", SolidBmp(600, 300, kGreen));
  h.tree.AddResolution("B", "1280x1024");
  h.tree.AddResolution("C", "1280x1024", TestSkinLines(), 0, 0);
  h.Open();
  PickFolder(h.skins);

  Choose(ViewList::kSkins, "A");
  ASSERT_TRUE(view.preview);
  EXPECT_EQ(FirstPixel(*view.preview), kGreen);
  // 9000x4500 twips shrink to 25 percent to fit 2295 twips, centred at
  // 22.5 and 405 twips: 150x75 pixels from (2, 27).
  EXPECT_EQ(view.preview_target.left, 2);
  EXPECT_EQ(view.preview_target.top, 27);
  EXPECT_EQ(view.preview_target.width, 150);
  EXPECT_EQ(view.preview_target.height, 75);

  Choose(ViewList::kSkins, "B");
  ASSERT_TRUE(view.preview);
  EXPECT_EQ(FirstPixel(*view.preview), kRed);

  Choose(ViewList::kSkins, "C");
  EXPECT_FALSE(view.preview);
}

TEST_F(SelectionFlowTest, ChosenBaseEntryIsTheSourceOfTheRun) {
  h.tree.AddResolution("A", "1280x1024", TestSkinLines("120"));
  h.tree.AddResolution("A", "800x600", TestSkinLines("100"));
  h.Open();
  PickFolder(h.skins);
  ASSERT_EQ(view.Selected(ViewList::kBaseResolution), "1280x1024");

  Choose(ViewList::kBaseResolution, "800x600");
  EXPECT_TRUE(view.IsEnabled(ViewControl::kCreateSkin));
  view.SetText(ViewTextBox::kResH, "640");
  view.SetText(ViewTextBox::kResV, "480");
  h.logic->OnCreateSkinClicked();

  // 100 / (800 / 640); from 1280x1024 it would be 120 / 2.
  std::vector<std::string> lines = h.tree.SkinFileLines("A", "640x480");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "Titel.Left=80");
}

TEST_F(SelectionFlowTest, AnEntryWithoutSkinFileDisablesCreate) {
  h.tree.AddResolution("A", "1280x1024");
  h.tree.AddResolution("A", "800x600");
  h.Open();
  PickFolder(h.skins);
  std::string ignored;
  h.files.RemoveTree(h.skins / "A" / "800x600" / "Skin.vsk", &ignored);

  Choose(ViewList::kBaseResolution, "800x600");
  EXPECT_FALSE(view.IsEnabled(ViewControl::kCreateSkin));
  Choose(ViewList::kBaseResolution, "1280x1024");
  EXPECT_TRUE(view.IsEnabled(ViewControl::kCreateSkin));
}

}  // namespace
}  // namespace fendrix::testing

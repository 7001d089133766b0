#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/window_test_support.h"
#include "dialogs/tooltip.h"
#include "support/faulty_file_system.h"

namespace fendrix::testing {
namespace {

namespace fs = std::filesystem;

TEST(StartUpTest, WindowIsFixedCentredAndLaidOutInTwips) {
  struct {
    int dpi;
    int client_width, client_height;
  } cases[] = {{96, 457, 277}, {120, 571, 346}};
  for (const auto& c : cases) {
    WindowHarness harness;
    harness.env.dpi_x = harness.env.dpi_y = c.dpi;
    std::unique_ptr<MainWindow> window = harness.Open();
    HWND hwnd = window->hwnd();
    RECT client, frame;
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &frame);
    EXPECT_EQ(client.right, c.client_width) << c.dpi;
    EXPECT_EQ(client.bottom, c.client_height) << c.dpi;
    EXPECT_EQ(frame.left, (1024 - (frame.right - frame.left)) / 2) << c.dpi;
    EXPECT_EQ(frame.top, (768 - (frame.bottom - frame.top)) / 2) << c.dpi;
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME)) << c.dpi;
    EXPECT_TRUE(style & WS_MINIMIZEBOX) << c.dpi;
    EXPECT_EQ(WindowText(hwnd), L"ZEL Fendrix");
  }
}

TEST(StartUpTest, SuggestsTheScreenAndFindsTheSkinsBesideTheTools) {
  WindowHarness harness;
  harness.AddResolution("A", "1280x1024");
  std::unique_ptr<MainWindow> window = harness.Open(true);
  const MainWindowControls& c = window->controls();

  EXPECT_EQ(WindowText(c.txtResH), L"1024");
  EXPECT_EQ(WindowText(c.txtResV), L"768");
  EXPECT_EQ(Selected(c.cboSkins), L"A");
  EXPECT_EQ(Selected(c.cboBaseResolution), L"1280x1024");
  EXPECT_TRUE(IsWindowEnabled(c.cmdCreateSkin));
  EXPECT_EQ(GetFocus(), c.cmdCreateSkin);
  std::wstring skins = harness.skins.wstring(), shown = WindowText(c.lblSkinPath);
  EXPECT_TRUE(shown == skins || ToolTipText(c.tooltip, c.lblSkinPath) == skins) << shown;
  EXPECT_TRUE(harness.messages.empty());
}

TEST(StartUpTest, WithoutSkinsTheFocusStartsInTheWidth) {
  WindowHarness harness;
  harness.env.program_folder = harness.folder.MakeFolder("Player/tools");  // case matters
  harness.AddResolution("A", "1280x1024");
  std::unique_ptr<MainWindow> window = harness.Open(true);
  const MainWindowControls& c = window->controls();

  EXPECT_TRUE(Items(c.cboSkins).empty());
  EXPECT_EQ(WindowText(c.lblSkinPath), L"");
  EXPECT_FALSE(IsWindowEnabled(c.cmdCreateSkin));
  EXPECT_EQ(GetFocus(), c.txtResH);
}

TEST(StartUpTest, ResolutionOnTheCommandLineFixesTheBase) {
  struct {
    std::wstring command_line;
    std::vector<std::string> folders;
    bool locked;
    std::wstring selected;
  } cases[] = {
      {L"1024x768", {"1280x1024"}, true, L""},
      {L"1024x768", {"1280x1024", "1024x768"}, true, L"1024x768"},
      {L"800x600x2", {"1280x1024", "800x600"}, true, L""},
      // A field beyond 16 bits cannot be a base: the command line does nothing.
      {L"40000x600", {"1280x1024"}, false, L"1280x1024"},
      {L"1e6x600", {"1280x1024"}, false, L"1280x1024"},
      {L"axb", {"1280x1024"}, false, L"1280x1024"},
  };
  for (const auto& c : cases) {
    WindowHarness harness;
    harness.env.command_line = c.command_line;
    for (const std::string& folder : c.folders) harness.AddResolution("A", folder);
    std::unique_ptr<MainWindow> window = harness.Open();
    const MainWindowControls& controls = window->controls();

    EXPECT_EQ(IsWindowEnabled(controls.cboBaseResolution) == FALSE, c.locked) << c.command_line;
    EXPECT_EQ(Items(controls.cboBaseResolution).size(), c.folders.size()) << c.command_line;
    EXPECT_EQ(Selected(controls.cboBaseResolution), c.selected) << c.command_line;
    EXPECT_EQ(IsWindowEnabled(controls.cmdCreateSkin) != FALSE, !c.selected.empty())
        << c.command_line;
  }
}

TEST(StartUpTest, FixedBaseIsTheSourceAndStaysFixedAfterTheRun) {
  WindowHarness harness;
  harness.env.command_line = L"1024x768";
  harness.AddResolution("A", "1280x1024", SkinLines("120"));
  harness.AddResolution("A", "1024x768", SkinLines("100"));
  std::unique_ptr<MainWindow> window = harness.Open();
  const MainWindowControls& c = window->controls();
  SetWindowTextW(c.txtResH, L"800");
  SetWindowTextW(c.txtResV, L"600");

  SendMessageW(c.cmdCreateSkin, BM_CLICK, 0, 0);

  // 100 / (1024 / 800); from 1280x1024 it would be 120 / 1.6 = 75.
  std::vector<std::string> lines =
      DecipherLines(ReadAll(harness.skins / "A" / "800x600" / "Skin.vsk"));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "Titel.Left=78");
  EXPECT_FALSE(IsWindowEnabled(c.cboBaseResolution));
  EXPECT_TRUE(IsWindowEnabled(c.cboSkins));
}

TEST(StartUpTest, SlashNameConvertsToTheScreenUnattendedAndCloses) {
  WindowHarness harness;
  harness.env.command_line = L"/mEIN skin";
  harness.AddResolution("Mein Skin", "1280x1024");
  harness.AddResolution("Mein Skin", "1024x768", {"Alt=1"});

  std::unique_ptr<MainWindow> window = harness.Open();

  EXPECT_TRUE(window->closed());
  EXPECT_EQ(harness.closed_count, 1);
  EXPECT_TRUE(harness.messages.empty());  // no question, no success message
  fs::path made = harness.skins / "Mein Skin" / "1024x768";
  EXPECT_EQ(DecipherLines(ReadAll(made / "Skin.vsk")),
            (std::vector<std::string>{"Form=Fendrix", "gfxHintergrund=Zelback.bmp", "Titel.Left=96",
                                      "Titel.Top=71", "Titel.FontSize=7"}));
  EXPECT_TRUE(fs::exists(made / "Zelback.bmp"));
}

TEST(StartUpTest, SlashNameOfASkinAlreadyAtTheScreenResolutionJustCloses) {
  WindowHarness harness;
  harness.env.command_line = L"/A";
  harness.AddResolution("A", "1024x768");
  std::string before = ReadAll(harness.skins / "A" / "1024x768" / "Skin.vsk");

  std::unique_ptr<MainWindow> window = harness.Open();

  EXPECT_TRUE(window->closed());
  EXPECT_TRUE(harness.messages.empty());
  EXPECT_EQ(ReadAll(harness.skins / "A" / "1024x768" / "Skin.vsk"), before);
}

// However the unattended run ends short of closing, the window is then an
// ordinary one: the next run, started by hand, asks before it replaces,
// reports, and leaves the window open.
TEST(StartUpTest, SlashNameRunThatDoesNotCloseLeavesTheWindowInNormalMode) {
  enum class Disk { kHealthy, kFailsTheSkinFile };
  struct {
    const char* why;
    std::wstring command_line;
    int screen_width, screen_height;
    Disk disk;
    std::size_t messages;
    const wchar_t* named;  // in the one message, when there is one
  } cases[] = {
      {"no such skin: no run", L"/Unbekannt", 1024, 768, Disk::kHealthy, 0, nullptr},
      {"screen below 640x480", L"/A", 600, 768, Disk::kHealthy, 1, L"Auflösung"},
      {"no resolution folder", L"/Leer", 1024, 768, Disk::kHealthy, 1, L"Skin.vsk"},
      {"already at the screen", L"/Leer", 1280, 1024, Disk::kHealthy, 1, L"Basis-Auflösung"},
      {"disk fails", L"/A", 1024, 768, Disk::kFailsTheSkinFile, 1, L"Datenträger voll"},
  };
  for (const auto& c : cases) {
    FaultyFileSystem disk;
    if (c.disk == Disk::kFailsTheSkinFile) {
      disk.FailOn(FaultyFileSystem::Op::kWrite, "Skin.vsk", 1, "Datenträger voll");
    }
    WindowHarness harness;
    harness.env.fs = &disk;
    harness.env.command_line = c.command_line;
    harness.env.screen_width = c.screen_width;
    harness.env.screen_height = c.screen_height;
    harness.AddResolution("A", "1280x1024");
    harness.folder.MakeFolder("Player/Skins/Leer/1280x1024");
    harness.folder.Write("Player/Skins/A/800x600/alt.txt", "alt");
    std::unique_ptr<MainWindow> window = harness.Open();
    const MainWindowControls& controls = window->controls();

    ASSERT_FALSE(window->closed()) << c.why;
    ASSERT_EQ(harness.messages.size(), c.messages) << c.why;
    if (c.named) {
      EXPECT_NE(harness.messages[0].text.find(c.named), std::wstring::npos)
          << c.why << ": " << harness.messages[0].text;
    }
    EXPECT_EQ(WindowText(controls.cmdCreateSkin), L"Skin erstellen") << c.why;
    EXPECT_FALSE(fs::exists(harness.skins / "A" / "1024x768")) << c.why;

    Choose(controls.cboSkins, L"A");
    SetWindowTextW(controls.txtResH, L"800");
    SetWindowTextW(controls.txtResV, L"600");
    harness.messages.clear();
    harness.answers = {IDNO};
    SendMessageW(controls.cmdCreateSkin, BM_CLICK, 0, 0);
    ASSERT_EQ(harness.messages.size(), 1u) << c.why;
    EXPECT_EQ(harness.messages[0].flags,
              static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1))
        << c.why;
    EXPECT_EQ(Names(harness.skins / "A" / "800x600"), std::vector<std::string>{"alt.txt"}) << c.why;

    harness.answers = {IDYES, IDOK};
    SendMessageW(controls.cmdCreateSkin, BM_CLICK, 0, 0);
    ASSERT_EQ(harness.messages.size(), 3u) << c.why;
    EXPECT_EQ(harness.messages[2].text, L"Der Skin wurde erfolgreich umgewandelt!") << c.why;
    EXPECT_TRUE(fs::exists(harness.skins / "A" / "800x600" / "Skin.vsk")) << c.why;
    EXPECT_FALSE(window->closed()) << c.why;
    EXPECT_EQ(harness.closed_count, 0) << c.why;
  }
}

}  // namespace
}  // namespace fendrix::testing

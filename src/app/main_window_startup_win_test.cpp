#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/window_test_support.h"
#include "dialogs/tooltip.h"

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

TEST(StartUpTest, SlashNameThatCannotRunLeavesTheWindowOpen) {
  struct {
    std::wstring command_line;
    int screen_width;
    int messages;
  } cases[] = {
      {L"/Unbekannt", 1024, 0},
      {L"/A", 600, 1},      // below 640x480: the invalid-resolution message
      {L"/Leer", 1024, 1},  // no resolution folder: the missing file is named
  };
  for (const auto& c : cases) {
    WindowHarness harness;
    harness.env.command_line = c.command_line;
    harness.env.screen_width = c.screen_width;
    harness.AddResolution("A", "1280x1024");
    harness.folder.MakeFolder("Player/Skins/Leer");
    std::unique_ptr<MainWindow> window = harness.Open();

    EXPECT_FALSE(window->closed()) << c.command_line;
    ASSERT_EQ(harness.messages.size(), static_cast<std::size_t>(c.messages)) << c.command_line;
    if (c.command_line == L"/Leer") {
      EXPECT_NE(harness.messages[0].text.find(L"Skin.vsk"), std::wstring::npos);
      EXPECT_EQ(harness.messages[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    }
    EXPECT_TRUE(IsWindowEnabled(window->controls().cboSkins)) << c.command_line;
    EXPECT_EQ(WindowText(window->controls().cmdCreateSkin), L"Skin erstellen");
    EXPECT_FALSE(fs::exists(harness.skins / "A" / "1024x768")) << c.command_line;
  }
}

}  // namespace
}  // namespace fendrix::testing

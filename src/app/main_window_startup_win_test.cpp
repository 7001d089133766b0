#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/window_test_support.h"
#include "dialogs/tooltip.h"

namespace fendrix::testing {
namespace {

TEST(StartUpTest, WindowIsFixedCentredAndLaidOutInTwips) {
  struct {
    int dpi;
    int client_width, client_height;
  } cases[] = {{96, 457, 277}, {120, 571, 346}};
  for (const auto& c : cases) {
    WindowHarness harness;
    harness.env.inputs.dpi_x = harness.env.inputs.dpi_y = c.dpi;
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
  harness.tree.AddResolution("A", "1280x1024");
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
  harness.env.inputs.program_folder = harness.tree.MakeFolder("Player/tools");  // case matters
  harness.tree.AddResolution("A", "1280x1024");
  std::unique_ptr<MainWindow> window = harness.Open(true);
  const MainWindowControls& c = window->controls();

  EXPECT_TRUE(Items(c.cboSkins).empty());
  EXPECT_EQ(WindowText(c.lblSkinPath), L"");
  EXPECT_FALSE(IsWindowEnabled(c.cmdCreateSkin));
  EXPECT_EQ(GetFocus(), c.txtResH);
}

}  // namespace
}  // namespace fendrix::testing

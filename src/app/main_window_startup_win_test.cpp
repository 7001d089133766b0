#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/window_test_support.h"

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

// The flow decides what is listed and enabled; the window puts the focus
// on the first control that can take it.
TEST(StartUpTest, FocusStartsOnCreateWithASkinElseInTheWidth) {
  struct {
    const char* program_folder;
    bool create_enabled;
  } cases[] = {{"Player/Tools", true}, {"Player/tools", false}};  // case matters
  for (const auto& c : cases) {
    WindowHarness harness;
    harness.env.inputs.program_folder = harness.tree.MakeFolder(c.program_folder);
    harness.tree.AddResolution("A", "1280x1024");
    std::unique_ptr<MainWindow> window = harness.Open(true);
    const MainWindowControls& controls = window->controls();

    EXPECT_EQ(IsWindowEnabled(controls.cmdCreateSkin) != FALSE, c.create_enabled);
    EXPECT_EQ(GetFocus(), c.create_enabled ? controls.cmdCreateSkin : controls.txtResH)
        << c.program_folder;
  }
}

}  // namespace
}  // namespace fendrix::testing

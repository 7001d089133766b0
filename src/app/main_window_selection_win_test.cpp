#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/window_test_support.h"
#include "dialogs/tooltip.h"

namespace fendrix::testing {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

COLORREF PreviewCentre(const MainWindow& window) {
  RECT box;
  GetClientRect(window.controls().imgSkin, &box);
  return PaintedPixel(window.controls().imgSkin, box.right / 2, box.bottom / 2);
}

// The skins folder is picked, not found beside the program.
class SelectionTest : public ::testing::Test {
 protected:
  SelectionTest() { harness.env.inputs.program_folder = harness.tree.MakeFolder("Elsewhere"); }

  void PickFolder(const std::wstring& folder) {
    harness.picked_folder = folder;
    SendMessageW(window->controls().cmdSelectSkin, BM_CLICK, 0, 0);
  }

  WindowHarness harness;
  std::unique_ptr<MainWindow> window;
};

TEST_F(SelectionTest, PreviewIsPaintedFittedAndClearedForTheNextSkin) {
  harness.tree.AddResolution("A", "1280x1024");
  // Pictures are told by their bytes, not their names: a BMP serves as the preview.
  harness.tree.Write("Player/Skins/A/Vorschau.jpg", SolidBmp(600, 300, kGreen));
  harness.tree.AddResolution("B", "1280x1024");
  harness.tree.AddResolution("C", "1280x1024", TestSkinLines(), 0, 0);
  window = harness.Open();
  PickFolder(harness.skins.wstring());
  const MainWindowControls& c = window->controls();

  Choose(c.cboSkins, L"A");
  // 600x300 pixels shrink to a quarter (25 percent fits 2295 twips), centred:
  // 150x75 pixels from row 27 of the 129 rows of the box.
  EXPECT_EQ(PreviewCentre(*window), kGreen);
  EXPECT_EQ(PaintedPixel(c.imgSkin, 76, 26), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(PaintedPixel(c.imgSkin, 76, 28), kGreen);
  EXPECT_EQ(PaintedPixel(c.imgSkin, 76, 101), kGreen);
  EXPECT_EQ(PaintedPixel(c.imgSkin, 76, 103), GetSysColor(COLOR_BTNFACE));

  Choose(c.cboSkins, L"B");
  EXPECT_EQ(PreviewCentre(*window), kRed);
  EXPECT_EQ(PaintedPixel(c.imgSkin, 76, 28), GetSysColor(COLOR_BTNFACE));

  Choose(c.cboSkins, L"C");
  EXPECT_EQ(PreviewCentre(*window), GetSysColor(COLOR_BTNFACE));
}

TEST_F(SelectionTest, PreviewStaysOnScreenAfterTheWindowWasCovered) {
  harness.tree.AddResolution("A", "1280x1024");
  window = harness.Open(true);
  PickFolder(harness.skins.wstring());
  RECT frame;
  GetWindowRect(window->hwnd(), &frame);
  HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, frame.left,
                               frame.top, frame.right - frame.left, frame.bottom - frame.top,
                               nullptr, nullptr, nullptr, nullptr);
  UpdateWindow(cover);
  DestroyWindow(cover);
  RedrawWindow(window->hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);

  HWND box = window->controls().imgSkin;
  RECT client;
  GetClientRect(box, &client);
  HDC dc = GetDC(box);
  EXPECT_EQ(GetPixel(dc, client.right / 2, client.bottom / 2), kRed);
  ReleaseDC(box, dc);
}

TEST_F(SelectionTest, ALongFolderIsShortenedWithTheFullPathAsTooltip) {
  std::wstring long_folder =
      harness.tree.MakeFolder("Ein recht langer Ordnername/noch einer/und ein dritter/Skins")
          .make_preferred()
          .wstring();
  window = harness.Open();
  const MainWindowControls& c = window->controls();

  PickFolder(long_folder);
  std::wstring shown = WindowText(c.lblSkinPath);
  EXPECT_NE(shown.find(L"..."), std::wstring::npos) << shown;
  EXPECT_LT(shown.size(), long_folder.size());
  EXPECT_EQ(ToolTipText(c.tooltip, c.lblSkinPath), long_folder);

  PickFolder(L"C:\\Skins");
  EXPECT_EQ(WindowText(c.lblSkinPath), L"C:\\Skins");
  EXPECT_EQ(ToolTipText(c.tooltip, c.lblSkinPath), L"");
}

}  // namespace
}  // namespace fendrix::testing

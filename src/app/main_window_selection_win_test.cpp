#include "app/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/window_test_support.h"
#include "dialogs/tooltip.h"

namespace fendrix::testing {
namespace {

namespace fs = std::filesystem;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

COLORREF PreviewCentre(const MainWindow& window) {
  RECT box;
  GetClientRect(window.controls().imgSkin, &box);
  return PaintedPixel(window.controls().imgSkin, box.right / 2, box.bottom / 2);
}

std::vector<std::string> NewSkinLines(const WindowHarness& harness, const std::string& skin,
                                      const std::string& resolution) {
  return DecipherLines(ReadAll(harness.skins / skin / resolution / "Skin.vsk"));
}

// The skins folder is picked, not found beside the program.
class SelectionTest : public ::testing::Test {
 protected:
  SelectionTest() { harness.env.program_folder = harness.folder.MakeFolder("Elsewhere"); }

  void PickFolder(const std::wstring& folder) {
    harness.picked_folder = folder;
    SendMessageW(window->controls().cmdSelectSkin, BM_CLICK, 0, 0);
  }

  WindowHarness harness;
  std::unique_ptr<MainWindow> window;
};

TEST_F(SelectionTest, PickingAFolderSelectsTheFirstSkinWithItsHighestBase) {
  harness.AddResolution("A", "800x600");
  harness.AddResolution("A", "1280x1024");
  harness.AddResolution("A", "1280x960");
  harness.AddResolution("B", "1024x768", SkinLines(), 40, 30, kBlue);
  harness.AddResolution("B", "1024x600", SkinLines(), 40, 30, kBlue);
  window = harness.Open();
  const MainWindowControls& c = window->controls();
  EXPECT_FALSE(IsWindowEnabled(c.cmdCreateSkin));

  PickFolder(harness.skins.wstring());

  ASSERT_EQ(harness.browse_calls.size(), 1u);
  const BrowseArgs& args = harness.browse_calls[0];
  EXPECT_EQ(args.title, L"Bitte Skin-Verzeichnis wählen...");
  EXPECT_EQ(args.start_folder, harness.env.program_folder.wstring());
  EXPECT_EQ(args.root_folder, std::optional<std::wstring>(L""));
  EXPECT_EQ(BrowseFlags(args), 69u);

  std::vector<std::wstring> skins = Items(c.cboSkins);
  std::sort(skins.begin(), skins.end());
  EXPECT_EQ(skins, (std::vector<std::wstring>{L"A", L"B"}));
  // The first skin in enumeration order is selected, whichever it is.
  std::wstring first = Items(c.cboSkins)[0];
  EXPECT_EQ(Selected(c.cboSkins), first);
  struct Expected {
    std::vector<std::wstring> bases;
    std::wstring highest;
    COLORREF preview;
  };
  std::map<std::wstring, Expected> expected = {
      {L"A", {{L"1280x1024", L"1280x960", L"800x600"}, L"1280x1024", kRed}},
      {L"B", {{L"1024x600", L"1024x768"}, L"1024x768", kBlue}},
  };
  std::vector<std::wstring> bases = Items(c.cboBaseResolution);
  std::sort(bases.begin(), bases.end());
  EXPECT_EQ(bases, expected[first].bases);
  EXPECT_EQ(Selected(c.cboBaseResolution), expected[first].highest);
  EXPECT_EQ(PreviewCentre(*window), expected[first].preview);
  EXPECT_TRUE(IsWindowEnabled(c.cmdCreateSkin));
}

TEST_F(SelectionTest, CancellingThePickerKeepsFolderListsAndLabel) {
  harness.AddResolution("A", "1280x1024");
  window = harness.Open();
  const MainWindowControls& c = window->controls();
  PickFolder(harness.skins.wstring());
  std::wstring label = WindowText(c.lblSkinPath);

  PickFolder(L"");

  EXPECT_EQ(harness.browse_calls.size(), 2u);
  EXPECT_EQ(WindowText(c.lblSkinPath), label);
  EXPECT_EQ(Items(c.cboSkins), std::vector<std::wstring>{L"A"});
  EXPECT_EQ(Selected(c.cboBaseResolution), L"1280x1024");
  EXPECT_TRUE(IsWindowEnabled(c.cmdCreateSkin));
}

// The other lists stay, but nothing may be converted from a folder without skins,
// not even by choosing the old base resolution again.
TEST_F(SelectionTest, AnEmptySkinsFolderEmptiesTheSkinListAndDisablesCreate) {
  harness.AddResolution("A", "1280x1024");
  window = harness.Open();
  const MainWindowControls& c = window->controls();
  PickFolder(harness.skins.wstring());

  PickFolder(harness.folder.MakeFolder("Leer").wstring());

  EXPECT_TRUE(Items(c.cboSkins).empty());
  EXPECT_TRUE(WindowText(c.lblSkinPath).ends_with(L"Leer"));
  EXPECT_EQ(Items(c.cboBaseResolution), std::vector<std::wstring>{L"1280x1024"});
  EXPECT_EQ(PreviewCentre(*window), kRed);
  EXPECT_FALSE(IsWindowEnabled(c.cmdCreateSkin));
  harness.folder.Write("Leer/1280x1024/Skin.vsk", EncipherLines(SkinLines()));
  Choose(c.cboBaseResolution, L"1280x1024");
  EXPECT_FALSE(IsWindowEnabled(c.cmdCreateSkin));
}

TEST_F(SelectionTest, PreviewComesFromVorschauElseTheBackgroundElseNothing) {
  harness.AddResolution("A", "1280x1024");
  // Pictures are told by their bytes, not their names: a BMP serves as the preview.
  harness.folder.Write("Player/Skins/A/Vorschau.jpg", WindowHarness::SolidBmp(600, 300, kGreen));
  harness.AddResolution("B", "1280x1024");
  harness.AddResolution("C", "1280x1024", SkinLines(), 0, 0);
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
  harness.AddResolution("A", "1280x1024");
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

TEST_F(SelectionTest, ChosenBaseEntryIsTheSourceOfTheRun) {
  harness.AddResolution("A", "1280x1024", SkinLines("120"));
  harness.AddResolution("A", "800x600", SkinLines("100"));
  window = harness.Open();
  PickFolder(harness.skins.wstring());
  const MainWindowControls& c = window->controls();
  ASSERT_EQ(Selected(c.cboBaseResolution), L"1280x1024");

  Choose(c.cboBaseResolution, L"800x600");
  EXPECT_TRUE(IsWindowEnabled(c.cmdCreateSkin));
  SetWindowTextW(c.txtResH, L"640");
  SetWindowTextW(c.txtResV, L"480");
  SendMessageW(c.cmdCreateSkin, BM_CLICK, 0, 0);

  // 100 / (800 / 640); from 1280x1024 it would be 120 / 2.
  std::vector<std::string> lines = NewSkinLines(harness, "A", "640x480");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "Titel.Left=80");
}

TEST_F(SelectionTest, AnEntryWithoutSkinFileDisablesCreate) {
  harness.AddResolution("A", "1280x1024");
  harness.AddResolution("A", "800x600");
  window = harness.Open();
  PickFolder(harness.skins.wstring());
  const MainWindowControls& c = window->controls();
  fs::remove(harness.skins / "A" / "800x600" / "Skin.vsk");

  Choose(c.cboBaseResolution, L"800x600");
  EXPECT_FALSE(IsWindowEnabled(c.cmdCreateSkin));
  Choose(c.cboBaseResolution, L"1280x1024");
  EXPECT_TRUE(IsWindowEnabled(c.cmdCreateSkin));
}

TEST_F(SelectionTest, ALongFolderIsShortenedWithTheFullPathAsTooltip) {
  std::wstring long_folder =
      harness.folder.MakeFolder("Ein recht langer Ordnername/noch einer/und ein dritter/Skins")
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

#include "dialogs/compact_path_label.h"

#include <gtest/gtest.h>

#include "dialogs/tooltip.h"

namespace fendrix {
namespace {

constexpr int kLabelTwips = 5895;  // 393 pixels at 15 twips a pixel

class CompactPathLabelTest : public ::testing::Test {
 protected:
  CompactPathLabelTest() {
    owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 500, 100, nullptr, nullptr, nullptr,
                             nullptr);
    label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 0, 393, 16,
                             owner_, nullptr, nullptr, nullptr);
    tooltip_ = CreateToolTip(owner_);
    AddToolTip(tooltip_, label_, L"");
  }
  ~CompactPathLabelTest() override { DestroyWindow(owner_); }

  void Show(const std::wstring& path) {
    CompactPathLabel(
        owner_, {.label = label_, .tooltip = tooltip_, .tag = path, .width_twips = kLabelTwips},
        15);
  }
  std::wstring Caption() const {
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(label_, text, MAX_PATH);
    return text;
  }
  int WidthInOwnerFont(const std::wstring& text) const {
    HDC dc = GetDC(owner_);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ReleaseDC(owner_, dc);
    return size.cx;
  }

  HWND owner_ = nullptr;
  HWND label_ = nullptr;
  HWND tooltip_ = nullptr;
};

TEST_F(CompactPathLabelTest, LongPathIsShortenedToTheLabelWithTheFullPathAsTooltip) {
  std::wstring path =
      L"C:\\Programme\\Musikbox\\Ein sehr langer Ordnername\\noch ein langer Ordnername\\"
      L"und ein dritter\\Skins";
  ASSERT_GT(WidthInOwnerFont(path), 393);

  Show(path);

  std::wstring caption = Caption();
  EXPECT_NE(caption.find(L"..."), std::wstring::npos) << caption;
  EXPECT_TRUE(caption.ends_with(L"Skins")) << caption;
  EXPECT_LE(WidthInOwnerFont(caption), 393);
  EXPECT_EQ(ToolTipText(tooltip_, label_), path);
}

TEST_F(CompactPathLabelTest, PathThatFitsIsShownWholeAndClearsAnEarlierTooltip) {
  Show(
      L"C:\\Programme\\Musikbox\\Ein sehr langer Ordnername\\noch ein langer Ordnername\\"
      L"und ein dritter\\Skins");

  Show(L"C:\\Player\\Skins");

  EXPECT_EQ(Caption(), L"C:\\Player\\Skins");
  EXPECT_EQ(ToolTipText(tooltip_, label_), L"");
}

}  // namespace
}  // namespace fendrix

#include "dialogs/compact_width.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

TEST(CompactWidthTest, LabelWidthRoundsHalvesToEven) {
  EXPECT_EQ(LabelWidthPixels(990, 15), 66);
  EXPECT_EQ(LabelWidthPixels(726, 12), 60);
  EXPECT_EQ(LabelWidthPixels(738, 12), 62);
  EXPECT_EQ(LabelWidthPixels(5895, 15), 393);
}

TEST(CompactWidthTest, StatusLineGetsEightyPixelsBeyondTheRoomBesideThePrefix) {
  EXPECT_EQ(StatusCompactionWidth(100, 400, 52), 328);
  // No status control: an empty rectangle leaves 80 minus the prefix.
  EXPECT_EQ(StatusCompactionWidth(0, 0, 52), 28);
}

TEST(CompactWidthTest, TooltipOnlyWhenTheShownTextIsShorter) {
  struct {
    std::wstring path, shown, tooltip;
  } cases[] = {
      {L"C:\\Player\\Skins", L"C:\\Player\\Skins", L""},
      {L"C:\\Player\\Skins\\Lang", L"C:\\...\\Lang", L"C:\\Player\\Skins\\Lang"},
      // Three characters replaced by "...": as long as the path, no tooltip.
      {L"C:\\abc\\Skins", L"C:\\...\\Skins", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(PathTooltip(c.path, c.shown), c.tooltip) << c.shown;
}

}  // namespace
}  // namespace fendrix

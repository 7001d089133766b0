#include "app/control_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace fendrix {
namespace {

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

// The rows as the layout's table gives them: left, top, width, height, tab
// index and font (points, weight; 0 for none).
TEST(ControlTableTest, RowsAreTheLayoutsFigures) {
  struct Expected {
    TwipsRect rect;
    int tab_index;
    double points;
    int weight;
  };
  const std::map<std::string, Expected> layout = {
      {"Label4", {{120, 120, 3645, 240}, 9, 9.75, 700}},
      {"lblSkinPath", {{120, 480, 5895, 240}, 16, 9.75, 400}},
      {"cmdSelectSkin", {{6240, 360, 495, 315}, 6, 9.75, 400}},
      {"Label5", {{120, 840, 2115, 240}, 10, 9.75, 700}},
      {"Label1", {{120, 1200, 1170, 240}, 1, 9.75, 400}},
      {"cboSkins", {{2160, 1200, 1815, 315}, 7, 8.25, 400}},
      {"imgSkin", {{4320, 1200, 2295, 1935}, 12, 0, 0}},
      {"Label7", {{120, 1680, 1530, 240}, 14, 9.75, 400}},
      {"cboBaseResolution", {{2160, 1680, 1815, 315}, 15, 8.25, 400}},
      {"Label6", {{120, 2160, 3045, 240}, 11, 9.75, 700}},
      {"Label2", {{120, 2520, 1470, 240}, 2, 9.75, 400}},
      {"txtResH", {{2160, 2520, 735, 315}, 3, 8.25, 400}},
      {"Label3", {{3030, 2520, 90, 240}, 4, 9.75, 400}},
      {"txtResV", {{3240, 2520, 735, 315}, 5, 8.25, 400}},
      {"ProgressBar1", {{120, 3240, 6615, 375}, 13, 0, 0}},
      {"cmdCreateSkin", {{2280, 3720, 2295, 375}, 0, 9.75, 700}},
      {"Image1", {{5280, 3720, 1545, 405}, kNoTabIndex, 0, 0}},
      {"PicConv", {{6240, 0, 495, 495}, 8, 8.25, 400}},
  };
  ASSERT_EQ(MainWindowControlRows().size(), layout.size());
  for (const ControlRow& row : MainWindowControlRows()) {
    auto found = layout.find(std::string(row.name));
    ASSERT_NE(found, layout.end()) << row.name;
    const Expected& e = found->second;
    EXPECT_EQ(row.rect.left, e.rect.left) << row.name;
    EXPECT_EQ(row.rect.top, e.rect.top) << row.name;
    EXPECT_EQ(row.rect.width, e.rect.width) << row.name;
    EXPECT_EQ(row.rect.height, e.rect.height) << row.name;
    EXPECT_EQ(row.tab_index, e.tab_index) << row.name;
    EXPECT_EQ(row.font ? row.font->points : 0, e.points) << row.name;
    EXPECT_EQ(row.font ? row.font->weight : 0, e.weight) << row.name;
  }
}

// The dialog keys move the focus in creation order, so creation order must
// be the tab order, and every tab index is used once.
TEST(ControlTableTest, CreationOrderIsTheTabOrder) {
  std::vector<const ControlRow*> order = CreationOrder();
  ASSERT_EQ(order.size(), MainWindowControlRows().size());
  for (std::size_t i = 0; i + 1 < order.size(); ++i) {
    EXPECT_EQ(order[i]->tab_index, static_cast<int>(i)) << order[i]->name;
  }
  EXPECT_EQ(order.back()->name, "Image1");
  EXPECT_EQ(order.front()->name, "cmdCreateSkin");
}

// Every control lies inside the client area, and none covers another on a
// screen of 96 or 120 dots per inch once rounded to pixels; only the hidden
// canvas lies over "...", as the layout puts it there.
TEST(ControlTableTest, ControlsFitTheClientAreaAndDoNotOverlap) {
  for (int dpi : {96, 120, 144}) {
    TwipsPerPixel scale = TwipsPerPixelFor(dpi, dpi);
    const PixelRect client = ToPixels({0, 0, kClientWidthTwips, kClientHeightTwips}, scale);
    std::set<std::pair<std::string_view, std::string_view>> overlaps;
    for (const ControlRow& a : MainWindowControlRows()) {
      PixelRect pa = ToPixels(a.rect, scale);
      EXPECT_LE(pa.left + pa.width, client.width) << a.name << " at " << dpi;
      EXPECT_LE(pa.top + pa.height, client.height) << a.name << " at " << dpi;
      for (const ControlRow& b : MainWindowControlRows()) {
        if (&a < &b && Overlap(pa, ToPixels(b.rect, scale))) overlaps.insert({a.name, b.name});
      }
    }
    EXPECT_EQ(
        overlaps,
        (std::set<std::pair<std::string_view, std::string_view>>{{"cmdSelectSkin", "PicConv"}}))
        << dpi;
  }
  EXPECT_EQ(ToPixels({0, 0, kClientWidthTwips, kClientHeightTwips}, {}).width, 457);
  EXPECT_EQ(ToPixels({0, 0, kClientWidthTwips, kClientHeightTwips}, {}).height, 277);
}

}  // namespace
}  // namespace fendrix

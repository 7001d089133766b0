#include "app/control_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace fendrix {
namespace {

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

bool TakesInput(ControlKind kind) {
  return kind == ControlKind::kButton || kind == ControlKind::kDefaultButton ||
         kind == ControlKind::kTextBox || kind == ControlKind::kDropDownList;
}

// What the window relies on: every name once (ControlNamed finds the first),
// a font wherever there is text, and every control a user works with in the
// tab order, which the dialog keys follow in creation order.
TEST(ControlTableTest, RowsAreNamedOnceWithFontsAndTheInputsInTabOrder) {
  std::set<std::string_view> names;
  for (const ControlRow& row : MainWindowControlRows()) {
    EXPECT_TRUE(names.insert(row.name).second) << row.name;
    if (!row.text.empty()) {
      EXPECT_NE(row.font, nullptr) << row.name;
    }
    if (TakesInput(row.kind)) {
      EXPECT_NE(row.tab_index, kNoTabIndex) << row.name;
    }
  }
  std::vector<const ControlRow*> order = CreationOrder();
  ASSERT_EQ(order.size(), MainWindowControlRows().size());
  for (std::size_t i = 0; i + 1 < order.size(); ++i) {
    EXPECT_EQ(order[i]->tab_index, static_cast<int>(i)) << order[i]->name;
  }
  EXPECT_EQ(order.back()->tab_index, kNoTabIndex) << order.back()->name;
}

// Every control is laid out inside the client area, and none covers another
// on a screen of 96, 120 or 144 dots per inch once rounded to pixels; only
// the hidden canvas lies over "...", as the layout puts it there.
TEST(ControlTableTest, ControlsFitTheClientAreaAndDoNotOverlap) {
  for (int dpi : {96, 120, 144}) {
    TwipsPerPixel scale = TwipsPerPixelFor(dpi, dpi);
    const PixelRect client = ToPixels({0, 0, kClientWidthTwips, kClientHeightTwips}, scale);
    std::set<std::pair<std::string_view, std::string_view>> overlaps;
    for (const ControlRow& a : MainWindowControlRows()) {
      PixelRect pa = ToPixels(a.rect, scale);
      EXPECT_GT(pa.width * pa.height, 0) << a.name << " at " << dpi;
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
}

}  // namespace
}  // namespace fendrix

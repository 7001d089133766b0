#include "app/control_table.h"

#include <algorithm>
#include <cassert>

namespace fendrix {
namespace {

using enum ControlKind;

constexpr ControlRow kRows[] = {
    {"Label4",
     kHeading,
     {120, 120, 3645, 240},
     9,
     &kHeadingFont,
     "1. Wählen des Skin-Verzeichnisses"},
    {"lblSkinPath", kPathLabel, {120, 480, 5895, 240}, 16, &kLabelFont, ""},
    {"cmdSelectSkin", kButton, {6240, 360, 495, 315}, 6, &kLabelFont, "..."},
    {"Label5", kHeading, {120, 840, 2115, 240}, 10, &kHeadingFont, "2. Wählen des Skins"},
    {"Label1", kLabel, {120, 1200, 1170, 240}, 1, &kLabelFont, "Original Skin:"},
    {"cboSkins", kDropDownList, {2160, 1200, 1815, 315}, 7, &kInputFont, ""},
    {"imgSkin", kPictureBox, {4320, 1200, 2295, 1935}, 12, nullptr, ""},
    {"Label7", kLabel, {120, 1680, 1530, 240}, 14, &kLabelFont, "Basis-Auflösung:"},
    {"cboBaseResolution", kDropDownList, {2160, 1680, 1815, 315}, 15, &kInputFont, ""},
    {"Label6", kHeading, {120, 2160, 3045, 240}, 11, &kHeadingFont, "3. Auflösung des neuen Skins"},
    {"Label2", kLabel, {120, 2520, 1470, 240}, 2, &kLabelFont, "Neue Auflösung:"},
    {"txtResH", kTextBox, {2160, 2520, 735, 315}, 3, &kInputFont, "800", false, 4},
    {"Label3", kLabel, {3030, 2520, 90, 240}, 4, &kLabelFont, "x"},
    {"txtResV", kTextBox, {3240, 2520, 735, 315}, 5, &kInputFont, "600", false, 4},
    {"ProgressBar1", kProgressBar, {120, 3240, 6615, 375}, 13, nullptr, ""},
    {"cmdCreateSkin",
     kDefaultButton,
     {2280, 3720, 2295, 375},
     0,
     &kHeadingFont,
     "Skin erstellen",
     true},
    {"Image1", kImage, {5280, 3720, 1545, 405}, kNoTabIndex, nullptr, ""},
    {"PicConv", kCanvas, {6240, 0, 495, 495}, 8, &kInputFont, ""},
};

}  // namespace

std::span<const ControlRow> MainWindowControlRows() { return kRows; }

const ControlRow& ControlNamed(std::string_view name) {
  auto found = std::find_if(std::begin(kRows), std::end(kRows),
                            [name](const ControlRow& row) { return row.name == name; });
  assert(found != std::end(kRows));
  return *found;
}

std::vector<const ControlRow*> CreationOrder() {
  std::vector<const ControlRow*> order;
  for (const ControlRow& row : kRows) order.push_back(&row);
  // A control without a tab index sorts after every one with it.
  auto key = [](const ControlRow* row) {
    return row->tab_index == kNoTabIndex ? 1 << 30 : row->tab_index;
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](const ControlRow* a, const ControlRow* b) { return key(a) < key(b); });
  return order;
}

}  // namespace fendrix

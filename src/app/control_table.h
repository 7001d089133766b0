#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "app/layout.h"

// The main window's controls as the layout gives them, one row each, so that
// the window is built by one loop and the layout is checked without a window.

namespace fendrix {

/// What a control is; the window picks the class and styles from it.
enum class ControlKind {
  kLabel,
  kHeading,    ///< a label in blue, above each numbered step
  kPathLabel,  ///< a label showing a path shortened, with the full path as tooltip
  kButton,
  kDefaultButton,  ///< clicked by Enter in the text and list boxes
  kTextBox,        ///< text centred
  kDropDownList,
  kProgressBar,  ///< 0 to 100
  kPictureBox,   ///< keeps what is drawn into it
  kImage,        ///< a picture shown at its own size
  kCanvas,       ///< never shown
};

/// A font of the window: every one is "MS Sans Serif" in the ANSI set.
struct FontArgs {
  double points = 9.75;
  int weight = 400;  ///< 400 normal, 700 bold
};

/// The window's own font, in which the skins path is measured.
inline constexpr FontArgs kWindowFont{13.5, 400};
inline constexpr FontArgs kLabelFont{9.75, 400};
inline constexpr FontArgs kHeadingFont{9.75, 700};
inline constexpr FontArgs kInputFont{8.25, 400};

/// The tab index of a control that never takes the focus.
inline constexpr int kNoTabIndex = -1;

/// One control of the main window.
struct ControlRow {
  std::string_view name;
  ControlKind kind = ControlKind::kLabel;
  TwipsRect rect;
  int tab_index = kNoTabIndex;
  /// Nothing for controls that show no text of their own.
  const FontArgs* font = nullptr;
  /// UTF-8, when the window opens.
  std::string_view text;
  bool disabled = false;
  /// The most characters a text box takes; 0 for no limit.
  int max_chars = 0;
};

/// The client area of the main window, in twips.
inline constexpr int kClientWidthTwips = 6855;
inline constexpr int kClientHeightTwips = 4155;

/// Every control of the main window, top to bottom as the layout lists them.
std::span<const ControlRow> MainWindowControlRows();

/// The row named `name`; the window's code names only rows that exist.
const ControlRow& ControlNamed(std::string_view name);

/// The rows in the order the window creates them: ascending tab index, as
/// the dialog keys move the focus in creation order, then those without one.
std::vector<const ControlRow*> CreationOrder();

}  // namespace fendrix

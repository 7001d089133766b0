#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "conversion/imaging/image.h"

// A skin's layout drawn as a picture a skin author can look at: where every
// element lies on the screen, over the background.

namespace fendrix {

/// One element's rectangle on the screen, in pixels, with its name (UTF-8).
struct LayoutBox {
  std::string name;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool flagged = false;  ///< something was found about the element
};

/// The height of a line of the findings a picture lists.
inline constexpr std::int32_t kNoteLineHeight = 14;

/// What a layout picture shows.
struct LayoutDrawing {
  std::int32_t width = 0;   ///< the screen
  std::int32_t height = 0;  ///< the screen
  Image background;         ///< drawn at the top left; may be empty
  std::vector<LayoutBox> boxes;
  /// Lines listed at the bottom left, one kNoteLineHeight each (UTF-8).
  std::vector<std::string> notes;
};

/// A PNG file of `width` x `height` pixels: black, the background over it,
/// every box outlined (a flagged one in a colour of its own) and labelled
/// with its name, the notes on a dark plate at the bottom left. False, with a German
/// reason, when drawing or encoding fails.
bool DrawLayoutPng(const LayoutDrawing& drawing, std::string* png, std::string* err);

}  // namespace fendrix

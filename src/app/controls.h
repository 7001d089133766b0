#pragma once

#include <windows.h>

#include <string>

#include "app/control_table.h"
#include "app/layout.h"

namespace fendrix {

/// Creates the font for a screen of `dpi` dots per inch.
HFONT CreateWindowFont(const FontArgs& args, int dpi);

/// What a child control is created from.
struct ControlArgs {
  const wchar_t* class_name = L"STATIC";
  int id = 0;
  const wchar_t* text = L"";
  TwipsRect rect;
  /// Styles besides WS_CHILD and WS_VISIBLE.
  DWORD style = 0;
  DWORD ex_style = 0;
  HFONT font = nullptr;
  /// A drop-down list also needs room below it for its dropped list.
  int list_height_twips = 0;
  bool visible = true;
};

/// The class and styles of a kind of control; picture boxes have their own
/// CreatePictureBox.
ControlArgs ControlArgsFor(ControlKind kind);

/// Creates a child control of `parent` at its place in pixels.
HWND CreateControl(HWND parent, const ControlArgs& args, const TwipsPerPixel& scale);

/// The text of a window.
std::wstring WindowText(HWND window);

}  // namespace fendrix

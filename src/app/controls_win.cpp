#include "app/controls.h"

#include <string>

namespace fendrix {

HFONT CreateWindowFont(const FontArgs& args, int dpi) {
  LOGFONTW font{};
  font.lfHeight = FontHeightPixels(args.points, dpi);
  font.lfWeight = args.weight;
  font.lfCharSet = ANSI_CHARSET;
  lstrcpynW(font.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

HWND CreateControl(HWND parent, const ControlArgs& args, const TwipsPerPixel& scale) {
  TwipsRect rect = args.rect;
  rect.height += args.list_height_twips;
  PixelRect pixels = ToPixels(rect, scale);
  HWND control = CreateWindowExW(
      args.ex_style, args.class_name, args.text, WS_CHILD | WS_VISIBLE | args.style, pixels.left,
      pixels.top, pixels.width, pixels.height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)), GetModuleHandleW(nullptr), nullptr);
  if (args.font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(args.font), FALSE);
  return control;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace fendrix

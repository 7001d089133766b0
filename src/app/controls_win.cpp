#include "app/controls.h"

#include <commctrl.h>

#include <string>

namespace fendrix {
namespace {

// Room below a drop-down list for eight entries when it opens.
constexpr int kDroppedListTwips = 8 * 195;

}  // namespace

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
  HWND control = CreateWindowExW(args.ex_style, args.class_name, args.text,
                                 WS_CHILD | (args.visible ? WS_VISIBLE : 0) | args.style,
                                 pixels.left, pixels.top, pixels.width, pixels.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (args.font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(args.font), FALSE);
  return control;
}

ControlArgs ControlArgsFor(ControlKind kind) {
  const DWORD label = SS_NOPREFIX;
  switch (kind) {
    case ControlKind::kLabel:
    case ControlKind::kHeading:
      return {.style = label};
    case ControlKind::kPathLabel:
      // It takes mouse messages so that its tooltip can show.
      return {.style = label | SS_NOTIFY | SS_LEFTNOWORDWRAP};
    case ControlKind::kButton:
      // It hears of its focus, to become the default button while it has it.
      return {.class_name = WC_BUTTONW, .style = WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY};
    case ControlKind::kDefaultButton:
      return {.class_name = WC_BUTTONW, .style = WS_TABSTOP | BS_DEFPUSHBUTTON};
    case ControlKind::kTextBox:
      return {.class_name = WC_EDITW,
              .style = WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL,
              .ex_style = WS_EX_CLIENTEDGE};
    case ControlKind::kDropDownList:
      return {.class_name = WC_COMBOBOXW,
              .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
              .list_height_twips = kDroppedListTwips};
    case ControlKind::kProgressBar:
      return {.class_name = PROGRESS_CLASSW};
    case ControlKind::kCanvas:
      return {.visible = false};
    case ControlKind::kPictureBox:
    case ControlKind::kImage:
      break;
  }
  return {};
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace fendrix

#include "dialogs/tooltip.h"

#include <commctrl.h>

namespace fendrix {
namespace {

constexpr int kMaxToolTipText = 1024;

TOOLINFOW ToolFor(HWND tool_window, const wchar_t* text) {
  TOOLINFOW tool{};
  // The version 2 size is understood by every common-controls version.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(tool_window);
  tool.uId = reinterpret_cast<UINT_PTR>(tool_window);
  tool.lpszText = const_cast<wchar_t*>(text);
  return tool;
}

}  // namespace

HWND CreateToolTip(HWND owner) {
  return CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void AddToolTip(HWND tooltip, HWND tool_window, const std::wstring& text) {
  TOOLINFOW tool = ToolFor(tool_window, text.c_str());
  SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void SetToolTipText(HWND tooltip, HWND tool_window, const std::wstring& text) {
  TOOLINFOW tool = ToolFor(tool_window, text.c_str());
  SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::wstring ToolTipText(HWND tooltip, HWND tool_window) {
  wchar_t buffer[kMaxToolTipText] = {};
  TOOLINFOW tool = ToolFor(tool_window, buffer);
  SendMessageW(tooltip, TTM_GETTEXTW, kMaxToolTipText, reinterpret_cast<LPARAM>(&tool));
  return buffer;
}

}  // namespace fendrix

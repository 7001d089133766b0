#pragma once

#include <windows.h>

#include <string>

namespace fendrix {

/// A tooltip control for the child windows of `owner`.
HWND CreateToolTip(HWND owner);

/// Gives `tool_window` a tooltip; the tooltip watches the window's mouse
/// messages itself.
void AddToolTip(HWND tooltip, HWND tool_window, const std::wstring& text);

/// Sets the tooltip text of `tool_window`; "" shows no tip at all.
void SetToolTipText(HWND tooltip, HWND tool_window, const std::wstring& text);

/// The tooltip text of `tool_window`.
std::wstring ToolTipText(HWND tooltip, HWND tool_window);

}  // namespace fendrix

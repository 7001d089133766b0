#pragma once

// For tests only: the real main window with scripted dialogs, skins made in
// memory, and the messages a user's hand would send to the controls.

#include <windows.h>

#include <commctrl.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/main_window.h"
#include "app/skin_tree_test_support.h"
#include "app/window_environment.h"
#include "conversion/run/test_skin.h"
#include "support/memory_file_system.h"

namespace fendrix::testing {

/// A message box the window showed.
struct ShownMessage {
  std::wstring text;
  UINT flags = 0;
};

/// Skins in memory beside the program's folder, and an environment whose
/// dialogs answer from scripts and record what they saw.
class WindowHarness {
 public:
  WindowHarness() {
    env.message_box = [this](HWND, const std::wstring& text, UINT flags) {
      messages.push_back({text, flags});
      if (on_message) on_message();
      if (answers.empty()) return (flags & MB_YESNO) ? IDNO : IDOK;
      int answer = answers.front();
      answers.pop_front();
      return answer;
    };
    env.browse_for_folder = [this](HWND, const BrowseArgs& args) {
      browse_calls.push_back(args);
      return picked_folder;
    };
    env.inputs.program_folder = tree.tools;
    env.inputs.screen_width = 1024;
    env.inputs.screen_height = 768;
    env.inputs.fs = &files;
  }

  /// Creates the window as the program does, but leaves it hidden unless
  /// asked: under Wine without a window manager every shown window costs
  /// seconds when it goes.
  std::unique_ptr<MainWindow> Open(bool shown = false) {
    std::unique_ptr<MainWindow> window = MainWindow::Create(env);
    if (shown && window && !window->closed()) window->Show(SW_SHOWNORMAL);
    return window;
  }

  MemoryFileSystem files;
  SkinTree tree{files, "C:\\test"};
  const std::filesystem::path& skins = tree.skins;
  WindowEnvironment env;

  std::vector<ShownMessage> messages;
  /// Called while a message box is up, before it is answered.
  std::function<void()> on_message;
  /// Answers to the message boxes in turn; OK or No when none is left.
  std::deque<int> answers;
  std::vector<BrowseArgs> browse_calls;
  /// What the folder picker returns; "" is a cancel.
  std::wstring picked_folder;
};

/// The entries of a combo box.
inline std::vector<std::wstring> Items(HWND combo) {
  std::vector<std::wstring> items;
  int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    auto length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
    items.emplace_back(buffer.data());
  }
  return items;
}

/// The selected entry of a combo box, "" when none is.
inline std::wstring Selected(HWND combo) {
  int index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
  return index == CB_ERR ? L"" : Items(combo)[static_cast<std::size_t>(index)];
}

/// Picks an entry as a user does: the selection changes and the parent hears of it.
inline void Choose(HWND combo, const std::wstring& entry) {
  int index = static_cast<int>(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(entry.c_str())));
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

/// Presses a key in the focused control through the window's dialog keys,
/// then dispatches it as the message loop would.
inline void PressKey(MainWindow& window, WPARAM key) {
  MSG message{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
  if (!window.HandleDialogKeys(&message)) DispatchMessageW(&message);
}

/// Types text into the focused control, one character at a time.
inline void Type(const std::wstring& text) {
  for (wchar_t c : text) SendMessageW(GetFocus(), WM_CHAR, c, 0);
}

/// The colour a picture box shows at a point, read back from what it paints.
inline COLORREF PaintedPixel(HWND box, int x, int y) {
  RECT client;
  GetClientRect(box, &client);
  HDC screen = GetDC(box);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  COLORREF colour = GetPixel(memory, x, y);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(box, screen);
  return colour;
}

}  // namespace fendrix::testing

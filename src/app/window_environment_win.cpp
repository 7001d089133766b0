#include "app/window_environment.h"

#include "app/command_line.h"
#include "dialogs/folder_browse.h"
#include "support/decimal_separator.h"
#include "support/program_info.h"

namespace fendrix {

WindowEnvironment SystemEnvironment(FileSystem& fs) {
  WindowEnvironment env;
  env.message_box = [](HWND owner, const std::wstring& text, UINT flags) {
    return MessageBoxW(owner, text.c_str(), kApplicationTitle, flags);
  };
  env.browse_for_folder = [](HWND owner, const BrowseArgs& args) {
    return BrowseForFolder(owner, args);
  };
  env.on_closed = [] { PostQuitMessage(0); };
  StartUpInputs& in = env.inputs;
  in.command_line = CommandLineArguments(GetCommandLineW());
  in.program_folder = ProgramFolder();
  in.screen_width = GetSystemMetrics(SM_CXSCREEN);
  in.screen_height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  in.dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
  in.dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  in.decimal_separator = SystemDecimalSeparator();
  in.fs = &fs;
  return env;
}

}  // namespace fendrix

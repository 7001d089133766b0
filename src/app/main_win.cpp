#include <windows.h>

#include <objbase.h>

#include "app/main_window.h"
#include "app/window_environment.h"
#include "support/file_system.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
  // The folder picker and the picture decoder need COM on this thread.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  fendrix::RealFileSystem file_system;
  std::unique_ptr<fendrix::MainWindow> window =
      fendrix::MainWindow::Create(fendrix::SystemEnvironment(file_system));
  if (!window) return 1;
  // An unattended conversion may have ended the program already.
  if (!window->closed()) window->Show(show_command);
  MSG message;
  while (!window->closed() && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window->HandleDialogKeys(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  window.reset();
  CoUninitialize();
  return 0;
}

#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/layout.h"
#include "app/window_environment.h"
#include "conversion/run/run_observer.h"
#include "conversion/run/run_request.h"
#include "conversion/run/run_result.h"
#include "repository/skin_repository.h"

namespace fendrix {

/// The controls of the main window that take part in its work.
struct MainWindowControls {
  HWND txtResH = nullptr;
  HWND txtResV = nullptr;
  HWND cboSkins = nullptr;
  HWND cboBaseResolution = nullptr;
  HWND cmdSelectSkin = nullptr;
  HWND cmdCreateSkin = nullptr;
  HWND lblSkinPath = nullptr;
  HWND imgSkin = nullptr;
  HWND Image1 = nullptr;
  HWND ProgressBar1 = nullptr;
  /// The tooltips of cmdSelectSkin and lblSkinPath.
  HWND tooltip = nullptr;
};

/// The program's one window, frmSkinCreator: the user picks the skins
/// folder, a skin and its base resolution and a new resolution, and starts
/// the conversion; the window shows the conversion working.
class MainWindow final : private RunObserver {
 public:
  /// Creates the window, still hidden, and runs its start-up: the suggested
  /// resolution, the base resolution (fixed by a "WxH" command line), the
  /// skins folder beside the program. A "/Name" command line naming a skin
  /// shows the window and converts that skin at once, unattended; the window
  /// closes when that succeeds and otherwise stays open as if started without
  /// a command line. Nothing when the window cannot be created.
  static std::unique_ptr<MainWindow> Create(WindowEnvironment env);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  /// Shows the window with the focus on its first control that can take it.
  void Show(int show_command);

  /// Lets the window handle a message of the loop as dialog keys (Tab,
  /// Enter, arrows); true when it did, and the message is done.
  bool HandleDialogKeys(MSG* message);

  /// True once the window has been closed.
  bool closed() const { return hwnd_ == nullptr; }
  HWND hwnd() const { return hwnd_; }
  const MainWindowControls& controls() const { return controls_; }

 private:
  struct Fonts {
    HFONT window = nullptr;
    HFONT label = nullptr;
    HFONT heading = nullptr;
    HFONT input = nullptr;
  };

  explicit MainWindow(WindowEnvironment env);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnCommand(int id, int notification);

  void CreateFonts();
  void CreateControls();
  void ShowBadge();

  // Start-up.
  void Form_Load();
  void StartAutomaticConversion(const std::wstring& skin_name);
  bool BaseIsScreenResolution() const;

  // The selection flow.
  void cmdSelectSkin_Click();
  void FillSkinList();
  void cboSkins_Click();
  void FillBaseResolutions();
  void cboBaseResolution_Click();
  void ShowPreview(const std::filesystem::path& picture);
  std::filesystem::path SelectedSkin() const;

  // The conversion.
  void cmdCreateSkin_Click();
  RunRequest ReadRequest();
  void ShowResult(const RunResult& result);
  void EnterBusy() override;
  void EnterIdle() override;
  void SetProgress(float percent) override;
  bool ConfirmReplace(std::string_view question) override;
  void ShowMessage(MessageKind kind, std::string_view text);
  int Message(std::string_view text, UINT flags);

  // Keyboard focus and the default button.
  void SetDefaultButton(HWND button);
  void RememberFocus();
  void RestoreFocus();

  WindowEnvironment env_;
  TwipsPerPixel scale_;
  HWND hwnd_ = nullptr;
  MainWindowControls controls_;
  HWND headings_[3] = {};
  Fonts fonts_;
  HWND focus_to_restore_ = nullptr;

  // The window's state while it lives.
  std::filesystem::path skins_path_;
  BaseResolution base_resolution_;
  bool base_res_locked_ = false;
  // Only while the run started by a "/Name" command line lasts.
  bool auto_mode_ = false;
  // Where the progress bar stands; only SetProgress moves it.
  long progress_position_ = 0;
};

}  // namespace fendrix

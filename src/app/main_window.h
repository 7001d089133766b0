#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/control_table.h"
#include "app/layout.h"
#include "app/main_view.h"
#include "app/main_window_logic.h"
#include "app/window_environment.h"

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

/// The program's one window, frmSkinCreator: it draws the controls and hands
/// what the user does to MainWindowLogic, which does the work.
class MainWindow final : private MainView {
 public:
  /// Creates the window, still hidden, and runs its start-up (see
  /// MainWindowLogic::Load); a "/Name" command line may close it again at
  /// once. Nothing when the window cannot be created.
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
  void OnCommand(HWND control, int notification);

  void CreateFonts();
  void CreateControls();
  HWND CreateRow(const ControlRow& row, int id);
  void ShowBadge();

  HWND ControlOf(ViewControl control) const;
  HWND ListOf(ViewList list) const;
  HWND BoxOf(ViewTextBox box) const;

  // MainView.
  void SetEnabled(ViewControl control, bool enabled) override;
  bool IsEnabled(ViewControl control) const override;
  void ClearList(ViewList list) override;
  int AddListItem(ViewList list, const std::filesystem::path& item) override;
  void SelectListItem(ViewList list, int index) override;
  int ListCount(ViewList list) const override;
  std::filesystem::path ListItem(ViewList list, int index) const override;
  std::filesystem::path SelectedItem(ViewList list) const override;
  std::string Text(ViewTextBox box) const override;
  void SetText(ViewTextBox box, std::string_view utf8) override;
  void ShowSkinsPath(const std::filesystem::path& path) override;
  void ShowPreview(const Image& image, const PixelRect& target) override;
  void ClearPreview() override;
  void SetCreateCaption(std::string_view utf8) override;
  void SetProgress(long percent) override;
  bool Message(std::string_view utf8, MessageStyle style) override;
  std::filesystem::path BrowseForFolder(const BrowseArgs& args) override;
  void RememberFocus() override;
  void RestoreFocus() override;
  void Repaint() override;
  void ShowAndProcessPending() override;
  void Close() override;
  bool IsClosed() const override { return closed(); }

  // The default button follows the focus between the two buttons.
  void SetDefaultButton(HWND button);

  WindowEnvironment env_;
  TwipsPerPixel scale_;
  MainWindowLogic logic_;
  HWND hwnd_ = nullptr;
  MainWindowControls controls_;
  std::vector<HWND> headings_;
  Fonts fonts_;
  HWND focus_to_restore_ = nullptr;
};

}  // namespace fendrix

#pragma once

#include <filesystem>
#include <string>

#include "app/layout.h"
#include "app/main_view.h"
#include "conversion/run/run_observer.h"
#include "conversion/run/run_request.h"
#include "conversion/run/run_result.h"
#include "repository/skin_repository.h"
#include "support/file_system.h"

namespace fendrix {

/// What the window reads from outside when it opens: the command line, the
/// program's folder, the screen, the user's locale and the file system.
struct StartUpInputs {
  /// The argument text of the command line, without the program's name.
  std::wstring command_line;
  std::filesystem::path program_folder;
  int screen_width = 0;
  int screen_height = 0;
  int dpi_x = 96;
  int dpi_y = 96;
  /// The user's decimal separator, with which numbers are read.
  char decimal_separator = ',';
  FileSystem* fs = nullptr;
};

/// The work of frmSkinCreator without its controls: start-up, the chain of
/// reactions that keeps the skin choice consistent, and the conversion run
/// with its messages. It drives a MainView and hears of the user's actions
/// through the On... calls.
class MainWindowLogic final : private RunObserver {
 public:
  /// `inputs` must outlive the logic; it is read, never copied.
  MainWindowLogic(MainView& view, const StartUpInputs& inputs);

  /// The start-up: the suggested resolution, the base resolution (fixed by
  /// a "WxH" command line), the skins folder beside the program. A "/Name"
  /// command line naming a skin shows the window and converts that skin at
  /// once, unattended; the window closes when that succeeds.
  void Load();

  /// "..." pressed.
  void OnSelectSkinClicked();
  /// The selection of cboSkins changed.
  void OnSkinSelected();
  /// The selection of cboBaseResolution changed.
  void OnBaseResolutionSelected();
  /// "Skin erstellen" pressed; nothing while it is disabled.
  void OnCreateSkinClicked();

 private:
  void StartAutomaticConversion(const std::filesystem::path& skin_name);
  bool BaseIsScreenResolution() const;
  void FillSkinList();
  void FillBaseResolutions();
  void ShowPreview(const std::filesystem::path& picture);
  std::filesystem::path SelectedSkin() const;

  void RunConversion();
  RunRequest ReadRequest() const;
  void ShowResult(const RunResult& result);
  void ShowMessage(MessageKind kind, std::string_view text);
  void EnterBusy() override;
  void EnterIdle() override;
  void SetProgress(float percent) override;
  bool ConfirmReplace(std::string_view question) override;

  MainView& view_;
  const StartUpInputs& inputs_;
  const TwipsPerPixel scale_;
  std::filesystem::path skins_path_;
  BaseResolution base_resolution_;
  bool base_res_locked_ = false;
  // Only while the run started by a "/Name" command line lasts.
  bool auto_mode_ = false;
  // Where the progress bar stands; only SetProgress moves it.
  long progress_position_ = 0;
};

}  // namespace fendrix

#include "app/main_window_logic.h"

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "app/command_line.h"
#include "app/control_table.h"
#include "app/preview_fit.h"
#include "app/run_messages.h"
#include "conversion/imaging/picture_decoder.h"
#include "conversion/run/conversion_run.h"
#include "conversion/run/staged_folder.h"
#include "support/code_page.h"
#include "support/file_helpers.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;

constexpr char kCreateSkinCaption[] = "Skin erstellen";
constexpr char kCreateSkinBusyCaption[] = "Erstelle Skin...";
constexpr wchar_t kBrowseTitle[] = L"Bitte Skin-Verzeichnis wählen...";

// The controls a run disables, in the order it disables them.
constexpr ViewControl kRunControls[] = {ViewControl::kSkins,      ViewControl::kBaseResolution,
                                        ViewControl::kSelectSkin, ViewControl::kCreateSkin,
                                        ViewControl::kResH,       ViewControl::kResV};

}  // namespace

MainWindowLogic::MainWindowLogic(MainView& view, const StartUpInputs& inputs)
    : view_(view), inputs_(inputs), scale_(TwipsPerPixelFor(inputs.dpi_x, inputs.dpi_y)) {}

// --- Start-up ------------------------------------------------------------

void MainWindowLogic::Load() {
  view_.SetText(ViewTextBox::kResH, std::to_string(inputs_.screen_width));
  view_.SetText(ViewTextBox::kResV, std::to_string(inputs_.screen_height));
  std::string arguments = WideToUtf8(inputs_.command_line);
  if (auto locked = ParseResolutionName(arguments, inputs_.decimal_separator)) {
    base_resolution_ = *locked;
    base_res_locked_ = true;
    view_.SetEnabled(ViewControl::kBaseResolution, false);
  }
  if (auto skins = DefaultSkinsPath(inputs_.program_folder)) {
    skins_path_ = *skins;
    FillSkinList();
  }
  std::wstring skin_name;
  if (AutoConversionSkin(inputs_.command_line, &skin_name)) StartAutomaticConversion(skin_name);
}

void MainWindowLogic::StartAutomaticConversion(const fs::path& skin_name) {
  int count = view_.ListCount(ViewList::kSkins);
  for (int index = 0; index < count; ++index) {
    if (!NamesEqualIgnoringCase(view_.ListItem(ViewList::kSkins, index), skin_name)) continue;
    view_.SelectListItem(ViewList::kSkins, index);
    OnSkinSelected();
    // The player asks for the skin at the screen's resolution; when that is
    // already the skin's base there is nothing to convert, and no one to
    // answer a message.
    if (BaseIsScreenResolution()) {
      view_.Close();
      return;
    }
    view_.ShowAndProcessPending();
    if (view_.IsClosed()) return;
    // Automatic mode lasts exactly as long as this one run. A run that leaves
    // the window open (it failed, or had nothing to write) hands it to a
    // person, whose next run must ask before it replaces, say how it went
    // and keep the window open.
    auto_mode_ = true;
    RunConversion();
    auto_mode_ = false;
    return;
  }
}

bool MainWindowLogic::BaseIsScreenResolution() const {
  std::string screen =
      std::to_string(inputs_.screen_width) + "x" + std::to_string(inputs_.screen_height);
  fs::path base = PathFromUtf8(base_resolution_.name);
  return NamesEqualIgnoringCase(base, PathFromUtf8(screen)) &&
         FileExists(*inputs_.fs, skins_path_ / SelectedSkin() / base / PathFromUtf8(kSkinFileName));
}

// --- The selection flow --------------------------------------------------

void MainWindowLogic::OnSelectSkinClicked() {
  BrowseArgs args{.title = kBrowseTitle,
                  .start_folder = inputs_.program_folder.wstring(),
                  .show_status_text = true,
                  .root_folder = L"",
                  .new_dialog_style = true};
  fs::path chosen = view_.BrowseForFolder(args);
  if (chosen.empty()) return;
  skins_path_ = chosen;
  FillSkinList();
}

void MainWindowLogic::FillSkinList() {
  view_.ShowSkinsPath(skins_path_);
  view_.ClearList(ViewList::kSkins);
  std::vector<fs::path> skins;
  std::string unreadable;  // a folder that cannot be read simply lists no skins
  ListSkins(*inputs_.fs, skins_path_, &skins, &unreadable);
  for (const fs::path& skin : skins) view_.AddListItem(ViewList::kSkins, skin);
  if (skins.empty()) {
    // Without a skin the button would offer a run on the skins folder itself.
    view_.SetEnabled(ViewControl::kCreateSkin, false);
    return;
  }
  view_.SelectListItem(ViewList::kSkins, 0);
  OnSkinSelected();
}

fs::path MainWindowLogic::SelectedSkin() const { return view_.SelectedItem(ViewList::kSkins); }

void MainWindowLogic::OnSkinSelected() {
  view_.SetEnabled(ViewControl::kCreateSkin, false);
  fs::path skin_folder = skins_path_ / SelectedSkin();
  // Leftovers of a run that died mid-swap are put right before the skin is
  // read, so that no resolution of it looks missing.
  std::string ignored;
  RecoverSkin(*inputs_.fs, skin_folder, &ignored);
  if (!base_res_locked_) {
    if (auto highest = GetHighestBaseResolution(*inputs_.fs, skins_path_, SelectedSkin(),
                                                inputs_.decimal_separator)) {
      base_resolution_ = *highest;
    }
  }
  fs::path preview = skin_folder / PathFromUtf8(kPreviewName);
  fs::path background =
      skin_folder / PathFromUtf8(base_resolution_.name) / PathFromUtf8(kBackgroundName);
  if (FileExists(*inputs_.fs, preview)) {
    ShowPreview(preview);
  } else if (FileExists(*inputs_.fs, background)) {
    ShowPreview(background);
  } else {
    view_.ClearPreview();
  }
  FillBaseResolutions();
}

void MainWindowLogic::FillBaseResolutions() {
  view_.ClearList(ViewList::kBaseResolution);
  for (const std::string& name :
       ListResolutionFolders(*inputs_.fs, skins_path_, SelectedSkin(), inputs_.decimal_separator)) {
    int index = view_.AddListItem(ViewList::kBaseResolution, PathFromUtf8(name));
    if (name != base_resolution_.name) continue;
    view_.SelectListItem(ViewList::kBaseResolution, index);
    OnBaseResolutionSelected();
  }
}

// The chosen entry is also the run's source, so the button never offers a
// conversion from a folder other than the one shown; a base fixed from the
// command line stays as it is.
void MainWindowLogic::OnBaseResolutionSelected() {
  fs::path entry = view_.SelectedItem(ViewList::kBaseResolution);
  // A list left from a skin no longer listed names no folder of the skins shown.
  bool usable =
      !SelectedSkin().empty() &&
      FileExists(*inputs_.fs, skins_path_ / SelectedSkin() / entry / PathFromUtf8(kSkinFileName));
  if (usable && !base_res_locked_) {
    auto chosen = ParseResolutionName(PathToUtf8(entry), inputs_.decimal_separator);
    if (chosen) base_resolution_ = *chosen;
    usable = chosen.has_value();
  }
  view_.SetEnabled(ViewControl::kCreateSkin, usable);
}

// A picture that cannot be read or decoded leaves the preview empty: the
// preview only helps choosing, it must not stop anyone.
void MainWindowLogic::ShowPreview(const fs::path& picture) {
  view_.ClearPreview();
  std::string bytes, err;
  if (!inputs_.fs->ReadFile(picture, &bytes, &err)) return;
  Image image;
  std::span data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  if (!DecodePicture(data, &image, &err)) return;
  // The fitting works in twips, as the box is laid out.
  const TwipsRect& box = ControlNamed("imgSkin").rect;
  PreviewPlacement place =
      FitPreview(box.width, box.height, static_cast<int>(std::nearbyint(image.width * scale_.x)),
                 static_cast<int>(std::nearbyint(image.height * scale_.y)));
  view_.ShowPreview(image,
                    {TwipsToPixels(place.x, scale_.x), TwipsToPixels(place.y, scale_.y),
                     TwipsToPixels(place.width, scale_.x), TwipsToPixels(place.height, scale_.y)});
}

// --- The conversion ------------------------------------------------------

void MainWindowLogic::OnCreateSkinClicked() {
  if (view_.IsEnabled(ViewControl::kCreateSkin)) RunConversion();
}

// Without a selected skin the run itself refuses, with its own message. The
// run is the one place that turns an exception into a failed run: only it
// knows whether it went busy and what it has to clear away.
void MainWindowLogic::RunConversion() {
  ConversionRun run(*inputs_.fs, *this,
                    RunOptions{.twips_per_pixel_x = scale_.x, .twips_per_pixel_y = scale_.y});
  ShowResult(run.Execute(ReadRequest()));
  // The bar stands where the run ended while its message is read, full or
  // where it stopped. Left so afterwards it would look like a run still at
  // work, or stalled; empty, the window shows it is ready for the next one.
  if (!view_.IsClosed()) SetProgress(0);
}

// An unattended run asks nothing and reports only what stops it; when it
// succeeds the window closes.
void MainWindowLogic::ShowResult(const RunResult& result) {
  const bool succeeded = result.outcome == RunOutcome::kSucceeded;
  if (succeeded && auto_mode_) {
    view_.Close();
    return;
  }
  if (succeeded && !result.warnings.empty()) {
    view_.Message(WarningsMessage(result.warnings), MessageStyle::kWarning);
  }
  if (result.message_kind != MessageKind::kNone) ShowMessage(result.message_kind, result.message);
}

RunRequest MainWindowLogic::ReadRequest() const {
  return {.new_width_text = view_.Text(ViewTextBox::kResH),
          .new_height_text = view_.Text(ViewTextBox::kResV),
          .skins_path = skins_path_,
          .skin = SelectedSkin(),
          .base = base_resolution_,
          .decimal_separator = inputs_.decimal_separator,
          .auto_mode = auto_mode_};
}

void MainWindowLogic::EnterBusy() {
  view_.RememberFocus();
  for (ViewControl control : kRunControls) view_.SetEnabled(control, false);
  view_.SetCreateCaption(kCreateSkinBusyCaption);
  view_.Repaint();
}

void MainWindowLogic::EnterIdle() {
  for (ViewControl control : kRunControls) {
    // A base fixed from the command line stays fixed.
    if (control == ViewControl::kBaseResolution && base_res_locked_) continue;
    view_.SetEnabled(control, true);
  }
  view_.SetCreateCaption(kCreateSkinCaption);
  view_.RestoreFocus();
  view_.Repaint();
}

void MainWindowLogic::SetProgress(float percent) {
  // The run reports every line; the bar shows whole percents, so a skin
  // file of a million lines moves it only a hundred times.
  const long position = std::lround(percent);
  if (position == progress_position_) return;
  progress_position_ = position;
  view_.SetProgress(position);
}

bool MainWindowLogic::ConfirmReplace(std::string_view question) {
  return view_.Message(question, MessageStyle::kQuestion);
}

void MainWindowLogic::ShowMessage(MessageKind kind, std::string_view text) {
  MessageStyle style = MessageStyle::kPlain;
  if (kind == MessageKind::kSuccess) style = MessageStyle::kInformation;
  if (kind == MessageKind::kError) style = MessageStyle::kError;
  view_.Message(text, style);
}

}  // namespace fendrix

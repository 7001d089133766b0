#include "app/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <span>

#include "app/command_line.h"
#include "app/controls.h"
#include "app/picture_box.h"
#include "app/preview_fit.h"
#include "app/run_messages.h"
#include "conversion/run/conversion_run.h"
#include "conversion/imaging/picture_decoder.h"
#include "conversion/run/staged_folder.h"
#include "dialogs/compact_path_label.h"
#include "dialogs/tooltip.h"
#include "resource_ids.h"
#include "support/code_page.h"
#include "support/file_helpers.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kWindowClass[] = L"frmSkinCreator";
constexpr wchar_t kWindowTitle[] = L"ZEL Fendrix";
constexpr wchar_t kCreateSkinCaption[] = L"Skin erstellen";
constexpr wchar_t kCreateSkinBusyCaption[] = L"Erstelle Skin...";
constexpr wchar_t kBrowseTitle[] = L"Bitte Skin-Verzeichnis wählen...";
constexpr wchar_t kSelectSkinTip[] = L"Skin-Verzeichnis wählen...";
constexpr char kRunFailedText[] = "Der Skin konnte nicht umgewandelt werden.";

constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kClientWidthTwips = 6855;
constexpr int kClientHeightTwips = 4155;
constexpr TwipsRect kSkinPathRect{120, 480, 5895, 240};
constexpr TwipsRect kPreviewRect{4320, 1200, 2295, 1935};
constexpr TwipsRect kBadgeRect{5280, 3720, 1545, 405};
// Room below a drop-down list for eight entries when it opens.
constexpr int kDroppedListTwips = 8 * 195;
constexpr int kResolutionMaxChars = 4;

enum ControlId : int {
  kCreateSkinId = 1000,
  kResHId,
  kResVId,
  kSelectSkinId,
  kSkinsId,
  kBaseResolutionId,
  kSkinPathId,
  kPreviewId,
  kProgressId,
  kBadgeId,
  kLabelId,  // the labels that never change share one id
};

constexpr FontArgs kWindowFont{13.5, FW_NORMAL};
constexpr FontArgs kLabelFont{9.75, FW_NORMAL};
constexpr FontArgs kHeadingFont{9.75, FW_BOLD};
constexpr FontArgs kInputFont{8.25, FW_NORMAL};

constexpr COLORREF kHeadingColour = RGB(0, 0, 255);

int AddItem(HWND combo, const std::wstring& text) {
  return static_cast<int>(
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void Select(HWND combo, int index) { SendMessageW(combo, CB_SETCURSEL, index, 0); }

std::wstring ItemText(HWND combo, int index) {
  auto length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return L"";
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The pending messages of the thread, handled once; a quit request stays
// queued for the program's own loop.
void ProcessPendingMessages(MainWindow& window) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (window.HandleDialogKeys(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void RegisterWindowClass(WNDPROC window_proc) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  // One drawing context of its own keeps the window font selected, which is
  // the font the skins path is measured in.
  window_class.style = CS_OWNDC;
  window_class.lpfnWndProc = window_proc;
  window_class.hInstance = module;
  window_class.hIcon = LoadIconW(module, MAKEINTRESOURCEW(IDI_FENDRIX));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_FENDRIX),
                                                       IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), 0));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  RegisterClassExW(&window_class);  // fails harmlessly when already registered
}

}  // namespace

MainWindow::MainWindow(WindowEnvironment env)
    : env_(std::move(env)), scale_(TwipsPerPixelFor(env_.dpi_x, env_.dpi_y)) {}

std::unique_ptr<MainWindow> MainWindow::Create(WindowEnvironment env) {
  // The progress bar and the tooltips are common controls.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  RegisterWindowClass(&MainWindow::WindowProc);
  std::unique_ptr<MainWindow> window(new MainWindow(std::move(env)));
  RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, window->scale_.x),
             TwipsToPixels(kClientHeightTwips, window->scale_.y)};
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const WindowEnvironment& e = window->env_;
  HWND hwnd = CreateWindowExW(0, kWindowClass, kWindowTitle, kWindowStyle,
                              (e.screen_width - width) / 2, (e.screen_height - height) / 2, width,
                              height, nullptr, nullptr, GetModuleHandleW(nullptr), window.get());
  if (!hwnd) return nullptr;
  window->CreateFonts();
  window->CreateControls();
  window->ShowBadge();
  window->Form_Load();
  return window;
}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  for (HFONT font : {fonts_.window, fonts_.label, fonts_.heading, fonts_.input}) {
    DeleteObject(font);
  }
}

void MainWindow::CreateFonts() {
  fonts_.window = CreateWindowFont(kWindowFont, env_.dpi_y);
  fonts_.label = CreateWindowFont(kLabelFont, env_.dpi_y);
  fonts_.heading = CreateWindowFont(kHeadingFont, env_.dpi_y);
  fonts_.input = CreateWindowFont(kInputFont, env_.dpi_y);
  // The class gives the window a context of its own: the font stays selected.
  HDC dc = GetDC(hwnd_);
  SelectObject(dc, fonts_.window);
  ReleaseDC(hwnd_, dc);
}

void MainWindow::CreateControls() {
  auto make = [this](const ControlArgs& args) { return CreateControl(hwnd_, args, scale_); };
  const DWORD label = SS_NOPREFIX;
  const DWORD edit = WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
  const DWORD list = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
  // Created in tab order: the dialog keys move the focus in creation order.
  controls_.cmdCreateSkin = make({.class_name = WC_BUTTONW,
                                  .id = kCreateSkinId,
                                  .text = kCreateSkinCaption,
                                  .rect = {2280, 3720, 2295, 375},
                                  .style = WS_TABSTOP | WS_DISABLED | BS_DEFPUSHBUTTON,
                                  .font = fonts_.heading});
  make({.id = kLabelId,
        .text = L"Original Skin:",
        .rect = {120, 1200, 1170, 240},
        .style = label,
        .font = fonts_.label});
  make({.id = kLabelId,
        .text = L"Neue Auflösung:",
        .rect = {120, 2520, 1470, 240},
        .style = label,
        .font = fonts_.label});
  controls_.txtResH = make({.class_name = WC_EDITW,
                            .id = kResHId,
                            .text = L"800",
                            .rect = {2160, 2520, 735, 315},
                            .style = edit,
                            .ex_style = WS_EX_CLIENTEDGE,
                            .font = fonts_.input});
  make({.id = kLabelId,
        .text = L"x",
        .rect = {3030, 2520, 90, 240},
        .style = label,
        .font = fonts_.label});
  controls_.txtResV = make({.class_name = WC_EDITW,
                            .id = kResVId,
                            .text = L"600",
                            .rect = {3240, 2520, 735, 315},
                            .style = edit,
                            .ex_style = WS_EX_CLIENTEDGE,
                            .font = fonts_.input});
  controls_.cmdSelectSkin = make({.class_name = WC_BUTTONW,
                                  .id = kSelectSkinId,
                                  .text = L"...",
                                  .rect = {6240, 360, 495, 315},
                                  .style = WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY,
                                  .font = fonts_.label});
  controls_.cboSkins = make({.class_name = WC_COMBOBOXW,
                             .id = kSkinsId,
                             .rect = {2160, 1200, 1815, 315},
                             .style = list,
                             .font = fonts_.input,
                             .list_height_twips = kDroppedListTwips});
  headings_[0] = make({.id = kLabelId,
                       .text = L"1. Wählen des Skin-Verzeichnisses",
                       .rect = {120, 120, 3645, 240},
                       .style = label,
                       .font = fonts_.heading});
  headings_[1] = make({.id = kLabelId,
                       .text = L"2. Wählen des Skins",
                       .rect = {120, 840, 2115, 240},
                       .style = label,
                       .font = fonts_.heading});
  headings_[2] = make({.id = kLabelId,
                       .text = L"3. Auflösung des neuen Skins",
                       .rect = {120, 2160, 3045, 240},
                       .style = label,
                       .font = fonts_.heading});
  controls_.imgSkin =
      CreatePictureBox({.parent = hwnd_, .id = kPreviewId, .rect = ToPixels(kPreviewRect, scale_)});
  controls_.ProgressBar1 =
      make({.class_name = PROGRESS_CLASSW, .id = kProgressId, .rect = {120, 3240, 6615, 375}});
  make({.id = kLabelId,
        .text = L"Basis-Auflösung:",
        .rect = {120, 1680, 1530, 240},
        .style = label,
        .font = fonts_.label});
  controls_.cboBaseResolution = make({.class_name = WC_COMBOBOXW,
                                      .id = kBaseResolutionId,
                                      .rect = {2160, 1680, 1815, 315},
                                      .style = list,
                                      .font = fonts_.input,
                                      .list_height_twips = kDroppedListTwips});
  // The path label takes mouse messages so that its tooltip can show.
  controls_.lblSkinPath = make({.id = kSkinPathId,
                                .rect = kSkinPathRect,
                                .style = label | SS_NOTIFY | SS_LEFTNOWORDWRAP,
                                .font = fonts_.label});
  controls_.Image1 =
      CreatePictureBox({.parent = hwnd_, .id = kBadgeId, .rect = ToPixels(kBadgeRect, scale_)});

  for (HWND box : {controls_.txtResH, controls_.txtResV}) {
    SendMessageW(box, EM_SETLIMITTEXT, kResolutionMaxChars, 0);
  }
  SendMessageW(controls_.ProgressBar1, PBM_SETRANGE32, 0, 100);
  controls_.tooltip = CreateToolTip(hwnd_);
  AddToolTip(controls_.tooltip, controls_.cmdSelectSkin, kSelectSkinTip);
  AddToolTip(controls_.tooltip, controls_.lblSkinPath, L"");
}

// The badge is shown at its own size, whatever the screen's dots per inch.
void MainWindow::ShowBadge() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_BADGE), RT_RCDATA);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return;
  std::span data(static_cast<const std::uint8_t*>(bytes), SizeofResource(module, found));
  Image badge;
  std::string reason;
  if (!DecodePicture(data, &badge, &reason)) return;
  DrawIntoPictureBox(controls_.Image1, badge, {0, 0, badge.width, badge.height});
}

void MainWindow::Show(int show_command) {
  ShowWindow(hwnd_, show_command);
  UpdateWindow(hwnd_);
  HWND focus = GetFocus();
  if (!focus || !IsChild(hwnd_, focus)) RestoreFocus();
}

bool MainWindow::HandleDialogKeys(MSG* message) {
  return hwnd_ && IsDialogMessageW(hwnd_, message);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* window =
        static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!window) return DefWindowProcW(hwnd, message, wparam, lparam);
  return window->HandleMessage(message, wparam, lparam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case DM_GETDEFID: {
      // Enter clicks the button that has the focus, else "Skin erstellen";
      // the dialog keys leave a disabled default button alone.
      int id = GetFocus() == controls_.cmdSelectSkin ? kSelectSkinId : kCreateSkinId;
      return MAKELRESULT(id, DC_HASDEFID);
    }
    case WM_CTLCOLORSTATIC: {
      HWND control = reinterpret_cast<HWND>(lparam);
      if (std::find(std::begin(headings_), std::end(headings_), control) == std::end(headings_)) {
        break;
      }
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, kHeadingColour);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        RememberFocus();
      } else {
        RestoreFocus();
      }
      return 0;
    case WM_NCDESTROY: {
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      if (env_.on_closed) env_.on_closed();
      return 0;
    }
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void MainWindow::OnCommand(int id, int notification) {
  if (id == kSelectSkinId) {
    if (notification == BN_CLICKED) cmdSelectSkin_Click();
    if (notification == BN_SETFOCUS) SetDefaultButton(controls_.cmdSelectSkin);
    if (notification == BN_KILLFOCUS) SetDefaultButton(controls_.cmdCreateSkin);
  } else if (id == kCreateSkinId && notification == BN_CLICKED) {
    if (IsWindowEnabled(controls_.cmdCreateSkin)) cmdCreateSkin_Click();
  } else if (id == kSkinsId && notification == CBN_SELCHANGE) {
    cboSkins_Click();
  } else if (id == kBaseResolutionId && notification == CBN_SELCHANGE) {
    cboBaseResolution_Click();
  }
}

// --- Start-up ------------------------------------------------------------

void MainWindow::Form_Load() {
  SetWindowTextW(controls_.txtResH, std::to_wstring(env_.screen_width).c_str());
  SetWindowTextW(controls_.txtResV, std::to_wstring(env_.screen_height).c_str());
  std::string arguments = WideToUtf8(env_.command_line);
  if (auto locked = ParseResolutionName(arguments, env_.decimal_separator)) {
    base_resolution_ = *locked;
    base_res_locked_ = true;
    EnableWindow(controls_.cboBaseResolution, FALSE);
  }
  if (auto skins = DefaultSkinsPath(env_.program_folder)) {
    skins_path_ = *skins;
    FillSkinList();
  }
  std::wstring skin_name;
  if (AutoConversionSkin(env_.command_line, &skin_name)) StartAutomaticConversion(skin_name);
}

void MainWindow::StartAutomaticConversion(const std::wstring& skin_name) {
  int count = static_cast<int>(SendMessageW(controls_.cboSkins, CB_GETCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    if (!SameIgnoringCase(ItemText(controls_.cboSkins, index), skin_name)) continue;
    Select(controls_.cboSkins, index);
    cboSkins_Click();
    // The player asks for the skin at the screen's resolution; when that is
    // already the skin's base there is nothing to convert, and no one to
    // answer a message.
    if (BaseIsScreenResolution()) {
      DestroyWindow(hwnd_);
      return;
    }
    Show(SW_SHOW);
    ProcessPendingMessages(*this);
    if (!hwnd_) return;
    // Automatic mode lasts exactly as long as this one run. A run that leaves
    // the window open (it failed, or had nothing to write) hands it to a
    // person, whose next run must ask before it replaces, say how it went
    // and keep the window open.
    auto_mode_ = true;
    cmdCreateSkin_Click();
    auto_mode_ = false;
    return;
  }
}

bool MainWindow::BaseIsScreenResolution() const {
  std::string screen = std::to_string(env_.screen_width) + "x" + std::to_string(env_.screen_height);
  fs::path base = PathFromUtf8(base_resolution_.name);
  return NamesEqualIgnoringCase(base, PathFromUtf8(screen)) &&
         FileExists(*env_.fs, skins_path_ / SelectedSkin() / base / PathFromUtf8(kSkinFileName));
}

// --- The selection flow --------------------------------------------------

void MainWindow::cmdSelectSkin_Click() {
  BrowseArgs args{.title = kBrowseTitle,
                  .start_folder = env_.program_folder.wstring(),
                  .show_status_text = true,
                  .root_folder = L"",
                  .new_dialog_style = true};
  std::wstring chosen = env_.browse_for_folder(hwnd_, args);
  if (chosen.empty()) return;
  skins_path_ = chosen;
  FillSkinList();
}

void MainWindow::FillSkinList() {
  CompactPathLabel(hwnd_,
                   {.label = controls_.lblSkinPath,
                    .tooltip = controls_.tooltip,
                    .tag = skins_path_.wstring(),
                    .width_twips = kSkinPathRect.width},
                   scale_.x);
  SendMessageW(controls_.cboSkins, CB_RESETCONTENT, 0, 0);
  std::vector<fs::path> skins;
  std::string unreadable;  // a folder that cannot be read simply lists no skins
  ListSkins(*env_.fs, skins_path_, &skins, &unreadable);
  for (const fs::path& skin : skins) AddItem(controls_.cboSkins, skin.wstring());
  if (skins.empty()) {
    // Without a skin the button would offer a run on the skins folder itself.
    EnableWindow(controls_.cmdCreateSkin, FALSE);
    return;
  }
  Select(controls_.cboSkins, 0);
  cboSkins_Click();
}

fs::path MainWindow::SelectedSkin() const { return fs::path(WindowText(controls_.cboSkins)); }

void MainWindow::cboSkins_Click() {
  EnableWindow(controls_.cmdCreateSkin, FALSE);
  fs::path skin_folder = skins_path_ / SelectedSkin();
  // Leftovers of a run that died mid-swap are put right before the skin is
  // read, so that no resolution of it looks missing.
  std::string ignored;
  RecoverSkin(*env_.fs, skin_folder, &ignored);
  if (!base_res_locked_) {
    if (auto highest = GetHighestBaseResolution(*env_.fs, skins_path_, SelectedSkin(),
                                                env_.decimal_separator)) {
      base_resolution_ = *highest;
    }
  }
  fs::path preview = skin_folder / PathFromUtf8(kPreviewName);
  fs::path background =
      skin_folder / PathFromUtf8(base_resolution_.name) / PathFromUtf8(kBackgroundName);
  if (FileExists(*env_.fs, preview)) {
    ShowPreview(preview);
  } else if (FileExists(*env_.fs, background)) {
    ShowPreview(background);
  } else {
    ClearPictureBox(controls_.imgSkin);
  }
  FillBaseResolutions();
}

void MainWindow::FillBaseResolutions() {
  SendMessageW(controls_.cboBaseResolution, CB_RESETCONTENT, 0, 0);
  for (const std::string& name :
       ListResolutionFolders(*env_.fs, skins_path_, SelectedSkin(), env_.decimal_separator)) {
    int index = AddItem(controls_.cboBaseResolution, Utf8ToWide(name));
    if (name != base_resolution_.name) continue;
    Select(controls_.cboBaseResolution, index);
    cboBaseResolution_Click();
  }
}

// The chosen entry is also the run's source, so the button never offers a
// conversion from a folder other than the one shown; a base fixed from the
// command line stays as it is.
void MainWindow::cboBaseResolution_Click() {
  std::wstring entry = WindowText(controls_.cboBaseResolution);
  // A list left from a skin no longer listed names no folder of the skins shown.
  bool usable =
      !SelectedSkin().empty() &&
      FileExists(*env_.fs, skins_path_ / SelectedSkin() / entry / PathFromUtf8(kSkinFileName));
  if (usable && !base_res_locked_) {
    auto chosen = ParseResolutionName(WideToUtf8(entry), env_.decimal_separator);
    if (chosen) base_resolution_ = *chosen;
    usable = chosen.has_value();
  }
  EnableWindow(controls_.cmdCreateSkin, usable);
}

// A picture that cannot be read or decoded leaves the preview empty: the
// preview only helps choosing, it must not stop anyone.
void MainWindow::ShowPreview(const fs::path& picture) {
  ClearPictureBox(controls_.imgSkin);
  std::string bytes, err;
  if (!env_.fs->ReadFile(picture, &bytes, &err)) return;
  Image image;
  std::span data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  if (!DecodePicture(data, &image, &err)) return;
  // The fitting works in twips, as the box is laid out.
  PreviewPlacement place = FitPreview(kPreviewRect.width, kPreviewRect.height,
                                      static_cast<int>(std::nearbyint(image.width * scale_.x)),
                                      static_cast<int>(std::nearbyint(image.height * scale_.y)));
  DrawIntoPictureBox(controls_.imgSkin, image,
                     {TwipsToPixels(place.x, scale_.x), TwipsToPixels(place.y, scale_.y),
                      TwipsToPixels(place.width, scale_.x), TwipsToPixels(place.height, scale_.y)});
}

// --- The conversion ------------------------------------------------------

// Without a selected skin the run itself refuses, with its own message.
void MainWindow::cmdCreateSkin_Click() {
  RunResult result;
  try {
    ConversionRun run(*env_.fs, *this,
                      RunOptions{.twips_per_pixel_x = scale_.x, .twips_per_pixel_y = scale_.y});
    result = run.Execute(ReadRequest());
  } catch (const std::exception& error) {
    // Nothing may leave a window procedure as an exception: the run ends
    // here as any failed run does, idle and with one message.
    EnterIdle();
    ShowMessage(MessageKind::kError, std::string(kRunFailedText) + "\n" + error.what());
    return;
  }
  ShowResult(result);
}

// An unattended run asks nothing and reports only what stops it; when it
// succeeds the window closes.
void MainWindow::ShowResult(const RunResult& result) {
  const bool succeeded = result.outcome == RunOutcome::kSucceeded;
  if (succeeded && auto_mode_) {
    DestroyWindow(hwnd_);
    return;
  }
  if (succeeded && !result.warnings.empty()) {
    Message(WarningsMessage(result.warnings), MB_OK | MB_ICONWARNING);
  }
  if (result.message_kind != MessageKind::kNone) ShowMessage(result.message_kind, result.message);
}

RunRequest MainWindow::ReadRequest() {
  return {.new_width_text = WideToUtf8(WindowText(controls_.txtResH)),
          .new_height_text = WideToUtf8(WindowText(controls_.txtResV)),
          .skins_path = skins_path_,
          .skin = SelectedSkin(),
          .base = base_resolution_,
          .decimal_separator = env_.decimal_separator,
          .auto_mode = auto_mode_};
}

void MainWindow::EnterBusy() {
  RememberFocus();
  for (HWND control : {controls_.cboSkins, controls_.cboBaseResolution, controls_.cmdSelectSkin,
                       controls_.cmdCreateSkin, controls_.txtResH, controls_.txtResV}) {
    EnableWindow(control, FALSE);
  }
  SetWindowTextW(controls_.cmdCreateSkin, kCreateSkinBusyCaption);
  // The run holds the thread: paint now, or the busy state never shows.
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void MainWindow::EnterIdle() {
  EnableWindow(controls_.cboSkins, TRUE);
  if (!base_res_locked_) EnableWindow(controls_.cboBaseResolution, TRUE);
  SetWindowTextW(controls_.cmdCreateSkin, kCreateSkinCaption);
  for (HWND control :
       {controls_.cmdSelectSkin, controls_.cmdCreateSkin, controls_.txtResH, controls_.txtResV}) {
    EnableWindow(control, TRUE);
  }
  RestoreFocus();
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void MainWindow::SetProgress(float percent) {
  // The run reports every line; the bar shows whole percents, so a skin
  // file of a million lines moves it only a hundred times.
  const long position = std::lround(percent);
  if (position == progress_position_) return;
  progress_position_ = position;
  SendMessageW(controls_.ProgressBar1, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  UpdateWindow(controls_.ProgressBar1);
}

bool MainWindow::ConfirmReplace(std::string_view question) {
  return Message(question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) == IDYES;
}

void MainWindow::ShowMessage(MessageKind kind, std::string_view text) {
  UINT flags = MB_OK;
  if (kind == MessageKind::kSuccess) flags |= MB_ICONINFORMATION;
  if (kind == MessageKind::kError) flags |= MB_ICONERROR;
  Message(text, flags);
}

int MainWindow::Message(std::string_view text, UINT flags) {
  return env_.message_box(hwnd_, Utf8ToWide(text), flags);
}

// --- Keyboard focus and the default button -------------------------------

void MainWindow::SetDefaultButton(HWND button) {
  for (HWND candidate : {controls_.cmdSelectSkin, controls_.cmdCreateSkin}) {
    DWORD style = candidate == button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    SendMessageW(candidate, BM_SETSTYLE, style, TRUE);
  }
}

void MainWindow::RememberFocus() {
  HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) focus_to_restore_ = focus;
}

// Back to the control that had the focus, or, when it cannot take it now, to
// the first control in tab order that can.
void MainWindow::RestoreFocus() {
  HWND target = focus_to_restore_;
  if (!target || !IsWindowEnabled(target)) target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (target) SetFocus(target);
}

}  // namespace fendrix

#include "app/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <span>

#include "app/controls.h"
#include "app/picture_box.h"
#include "conversion/imaging/picture_decoder.h"
#include "dialogs/compact_path_label.h"
#include "dialogs/tooltip.h"
#include "resource_ids.h"
#include "support/code_page.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kWindowClass[] = L"frmSkinCreator";
constexpr wchar_t kWindowTitle[] = L"ZEL Fendrix";
constexpr wchar_t kSelectSkinTip[] = L"Skin-Verzeichnis wählen...";

constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// The first control's id; the others follow in the order of the layout.
constexpr int kFirstControlId = 1000;

constexpr COLORREF kHeadingColour = RGB(0, 0, 255);

// Where each control the window works with is kept.
constexpr struct {
  std::string_view name;
  HWND MainWindowControls::*member;
} kNamedControls[] = {
    {"txtResH", &MainWindowControls::txtResH},
    {"txtResV", &MainWindowControls::txtResV},
    {"cboSkins", &MainWindowControls::cboSkins},
    {"cboBaseResolution", &MainWindowControls::cboBaseResolution},
    {"cmdSelectSkin", &MainWindowControls::cmdSelectSkin},
    {"cmdCreateSkin", &MainWindowControls::cmdCreateSkin},
    {"lblSkinPath", &MainWindowControls::lblSkinPath},
    {"imgSkin", &MainWindowControls::imgSkin},
    {"Image1", &MainWindowControls::Image1},
    {"ProgressBar1", &MainWindowControls::ProgressBar1},
};

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
    : env_(std::move(env)),
      scale_(TwipsPerPixelFor(env_.inputs.dpi_x, env_.inputs.dpi_y)),
      logic_(*this, env_.inputs) {}

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
  const StartUpInputs& in = window->env_.inputs;
  HWND hwnd = CreateWindowExW(0, kWindowClass, kWindowTitle, kWindowStyle,
                              (in.screen_width - width) / 2, (in.screen_height - height) / 2, width,
                              height, nullptr, nullptr, GetModuleHandleW(nullptr), window.get());
  if (!hwnd) return nullptr;
  window->CreateFonts();
  window->CreateControls();
  window->ShowBadge();
  window->logic_.Load();
  return window;
}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  for (HFONT font : {fonts_.window, fonts_.label, fonts_.heading, fonts_.input}) {
    DeleteObject(font);
  }
}

void MainWindow::CreateFonts() {
  fonts_.window = CreateWindowFont(kWindowFont, env_.inputs.dpi_y);
  fonts_.label = CreateWindowFont(kLabelFont, env_.inputs.dpi_y);
  fonts_.heading = CreateWindowFont(kHeadingFont, env_.inputs.dpi_y);
  fonts_.input = CreateWindowFont(kInputFont, env_.inputs.dpi_y);
  // The class gives the window a context of its own: the font stays selected.
  HDC dc = GetDC(hwnd_);
  SelectObject(dc, fonts_.window);
  ReleaseDC(hwnd_, dc);
}

HWND MainWindow::CreateRow(const ControlRow& row, int id) {
  if (row.kind == ControlKind::kPictureBox || row.kind == ControlKind::kImage) {
    return CreatePictureBox({.parent = hwnd_, .id = id, .rect = ToPixels(row.rect, scale_)});
  }
  ControlArgs args = ControlArgsFor(row.kind);
  std::wstring text = Utf8ToWide(row.text);
  args.id = id;
  args.text = text.c_str();
  args.rect = row.rect;
  if (row.disabled) args.style |= WS_DISABLED;
  if (row.font == &kLabelFont) args.font = fonts_.label;
  if (row.font == &kHeadingFont) args.font = fonts_.heading;
  if (row.font == &kInputFont) args.font = fonts_.input;
  HWND control = CreateControl(hwnd_, args, scale_);
  if (row.max_chars > 0) SendMessageW(control, EM_SETLIMITTEXT, row.max_chars, 0);
  if (row.kind == ControlKind::kProgressBar) SendMessageW(control, PBM_SETRANGE32, 0, 100);
  return control;
}

void MainWindow::CreateControls() {
  std::span<const ControlRow> rows = MainWindowControlRows();
  for (const ControlRow* row : CreationOrder()) {
    int id = kFirstControlId + static_cast<int>(row - rows.data());
    HWND control = CreateRow(*row, id);
    if (row->kind == ControlKind::kHeading) headings_.push_back(control);
    for (const auto& named : kNamedControls) {
      if (named.name == row->name) controls_.*named.member = control;
    }
  }
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
      OnCommand(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
      return 0;
    case DM_GETDEFID: {
      // Enter clicks the button that has the focus, else "Skin erstellen";
      // the dialog keys leave a disabled default button alone.
      HWND button =
          GetFocus() == controls_.cmdSelectSkin ? controls_.cmdSelectSkin : controls_.cmdCreateSkin;
      return MAKELRESULT(GetDlgCtrlID(button), DC_HASDEFID);
    }
    case WM_CTLCOLORSTATIC: {
      HWND control = reinterpret_cast<HWND>(lparam);
      if (std::find(headings_.begin(), headings_.end(), control) == headings_.end()) break;
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

void MainWindow::OnCommand(HWND control, int notification) {
  const MainWindowControls& c = controls_;
  if (control == nullptr) return;
  if (control == c.cmdSelectSkin) {
    if (notification == BN_CLICKED) logic_.OnSelectSkinClicked();
    if (notification == BN_SETFOCUS) SetDefaultButton(c.cmdSelectSkin);
    if (notification == BN_KILLFOCUS) SetDefaultButton(c.cmdCreateSkin);
  } else if (control == c.cmdCreateSkin && notification == BN_CLICKED) {
    logic_.OnCreateSkinClicked();
  } else if (control == c.cboSkins && notification == CBN_SELCHANGE) {
    logic_.OnSkinSelected();
  } else if (control == c.cboBaseResolution && notification == CBN_SELCHANGE) {
    logic_.OnBaseResolutionSelected();
  }
}

// --- The view the logic drives --------------------------------------------

HWND MainWindow::ControlOf(ViewControl control) const {
  // In the order of ViewControl.
  const HWND by_control[] = {controls_.cboSkins,      controls_.cboBaseResolution,
                             controls_.cmdSelectSkin, controls_.cmdCreateSkin,
                             controls_.txtResH,       controls_.txtResV};
  return by_control[static_cast<int>(control)];
}

HWND MainWindow::ListOf(ViewList list) const {
  return list == ViewList::kSkins ? controls_.cboSkins : controls_.cboBaseResolution;
}

HWND MainWindow::BoxOf(ViewTextBox box) const {
  return box == ViewTextBox::kResH ? controls_.txtResH : controls_.txtResV;
}

void MainWindow::SetEnabled(ViewControl control, bool enabled) {
  EnableWindow(ControlOf(control), enabled);
}

bool MainWindow::IsEnabled(ViewControl control) const {
  return IsWindowEnabled(ControlOf(control)) != FALSE;
}

void MainWindow::ClearList(ViewList list) { SendMessageW(ListOf(list), CB_RESETCONTENT, 0, 0); }

int MainWindow::AddListItem(ViewList list, const fs::path& item) {
  return static_cast<int>(SendMessageW(ListOf(list), CB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(item.wstring().c_str())));
}

void MainWindow::SelectListItem(ViewList list, int index) {
  SendMessageW(ListOf(list), CB_SETCURSEL, index, 0);
}

int MainWindow::ListCount(ViewList list) const {
  return static_cast<int>(SendMessageW(ListOf(list), CB_GETCOUNT, 0, 0));
}

fs::path MainWindow::ListItem(ViewList list, int index) const {
  auto length = SendMessageW(ListOf(list), CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(ListOf(list), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

fs::path MainWindow::SelectedItem(ViewList list) const { return WindowText(ListOf(list)); }

std::string MainWindow::Text(ViewTextBox box) const { return WideToUtf8(WindowText(BoxOf(box))); }

void MainWindow::SetText(ViewTextBox box, std::string_view utf8) {
  SetWindowTextW(BoxOf(box), Utf8ToWide(utf8).c_str());
}

void MainWindow::ShowSkinsPath(const fs::path& path) {
  CompactPathLabel(hwnd_,
                   {.label = controls_.lblSkinPath,
                    .tooltip = controls_.tooltip,
                    .tag = path.wstring(),
                    .width_twips = ControlNamed("lblSkinPath").rect.width},
                   scale_.x);
}

void MainWindow::ShowPreview(const Image& image, const PixelRect& target) {
  DrawIntoPictureBox(controls_.imgSkin, image, target);
}

void MainWindow::ClearPreview() { ClearPictureBox(controls_.imgSkin); }

void MainWindow::SetCreateCaption(std::string_view utf8) {
  SetWindowTextW(controls_.cmdCreateSkin, Utf8ToWide(utf8).c_str());
}

void MainWindow::SetProgress(long percent) {
  SendMessageW(controls_.ProgressBar1, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  UpdateWindow(controls_.ProgressBar1);
}

bool MainWindow::Message(std::string_view utf8, MessageStyle style) {
  UINT flags = MB_OK;
  if (style == MessageStyle::kInformation) flags |= MB_ICONINFORMATION;
  if (style == MessageStyle::kWarning) flags |= MB_ICONWARNING;
  if (style == MessageStyle::kError) flags |= MB_ICONERROR;
  if (style == MessageStyle::kQuestion) flags = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1;
  return env_.message_box(hwnd_, Utf8ToWide(utf8), flags) == IDYES;
}

fs::path MainWindow::BrowseForFolder(const BrowseArgs& args) {
  return env_.browse_for_folder(hwnd_, args);
}

void MainWindow::Repaint() {
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void MainWindow::ShowAndProcessPending() {
  Show(SW_SHOW);
  ProcessPendingMessages(*this);
}

void MainWindow::Close() { DestroyWindow(hwnd_); }

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

#include "dialogs/folder_browse.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/test_folder.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;

constexpr int kStatusWidth = 300;

// Stands in for the picker: keeps what the callback sends it and, like the
// picker, shows the status text in its status control.
class FakePicker {
 public:
  explicit FakePicker(bool with_status_control) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = Proc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"FendrixFakePicker";
    RegisterClassW(&window_class);
    hwnd_ = CreateWindowExW(0, L"FendrixFakePicker", L"", WS_POPUP, 0, 0, 400, 300, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (with_status_control) {
      status_ = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 10, 10, kStatusWidth, 20,
                                hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
  }
  ~FakePicker() { DestroyWindow(hwnd_); }

  HWND hwnd() const { return hwnd_; }
  HWND status() const { return status_; }
  std::vector<std::wstring> statuses;
  std::vector<std::pair<WPARAM, LPARAM>> selections;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* picker = reinterpret_cast<FakePicker*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (picker && message == BFFM_SETSTATUSTEXTW) {
      auto* text = reinterpret_cast<const wchar_t*>(lparam);
      picker->statuses.emplace_back(text);
      if (picker->status_) SetWindowTextW(picker->status_, text);
      return 0;
    }
    if (picker && message == BFFM_SETSELECTIONW) {
      picker->selections.emplace_back(wparam, lparam);
      return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  HWND hwnd_ = nullptr;
  HWND status_ = nullptr;
};

struct PidlOf {
  explicit PidlOf(const fs::path& path) : list(PathToPidl(path.wstring())) {}
  ~PidlOf() { CoTaskMemFree(list); }
  PIDLIST_ABSOLUTE list;
};

TEST(BrowseCallbackTest, SelectsTheStartFolderWhenThePickerIsUp) {
  FakePicker picker(true);
  testing::TestFolder folder;
  PidlOf start(folder.path());

  EXPECT_EQ(
      BrowseCallback(picker.hwnd(), BFFM_INITIALIZED, 0, reinterpret_cast<LPARAM>(start.list)), 0);

  ASSERT_EQ(picker.selections.size(), 1u);
  EXPECT_EQ(picker.selections[0].first, static_cast<WPARAM>(FALSE));  // an item id list
  EXPECT_EQ(picker.selections[0].second, reinterpret_cast<LPARAM>(start.list));
  EXPECT_TRUE(picker.statuses.empty());
}

TEST(BrowseCallbackTest, ShortPathIsShownWholeAfterTheMarker) {
  FakePicker picker(true);
  PidlOf item(L"C:\\windows");

  BrowseCallback(picker.hwnd(), BFFM_SELCHANGED, reinterpret_cast<LPARAM>(item.list), 0);

  ASSERT_EQ(picker.statuses.size(), 2u);
  EXPECT_EQ(picker.statuses[0], L"$");
  EXPECT_EQ(fs::path(picker.statuses[1].substr(9)), fs::path(L"C:\\windows"));
  EXPECT_EQ(picker.statuses[1].substr(0, 9), L"Auswahl: ");
}

TEST(BrowseCallbackTest, LongPathIsShortenedToTheStatusWidthPlusEighty) {
  FakePicker picker(true);
  testing::TestFolder folder;
  fs::path deep = folder.MakeFolder(
      "ein sehr langer Ordnername/und noch ein langer Ordnername/der dritte im Bunde/Skins");
  PidlOf item(deep);

  BrowseCallback(picker.hwnd(), BFFM_SELCHANGED, reinterpret_cast<LPARAM>(item.list), 0);

  ASSERT_EQ(picker.statuses.size(), 2u);
  std::wstring shown = picker.statuses[1].substr(9);
  EXPECT_NE(shown.find(L"..."), std::wstring::npos) << shown;
  EXPECT_TRUE(shown.ends_with(L"Skins")) << shown;
  HDC dc = GetWindowDC(picker.status());
  SIZE prefix{}, text{};
  GetTextExtentPoint32W(dc, L"Auswahl: ", 9, &prefix);
  GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &text);
  ReleaseDC(picker.status(), dc);
  EXPECT_LE(text.cx, kStatusWidth - prefix.cx + 80);
  EXPECT_GT(text.cx, kStatusWidth - prefix.cx);  // the 80 pixels are used
}

TEST(BrowseCallbackTest, WithoutStatusControlTheLineIsStillSet) {
  FakePicker picker(false);
  PidlOf item(L"C:\\windows");

  BrowseCallback(picker.hwnd(), BFFM_SELCHANGED, reinterpret_cast<LPARAM>(item.list), 0);

  ASSERT_EQ(picker.statuses.size(), 2u);
  EXPECT_EQ(picker.statuses[0], L"$");
  EXPECT_TRUE(picker.statuses[1].starts_with(L"Auswahl: ")) << picker.statuses[1];
}

TEST(BrowseCallbackTest, VirtualFolderEmptiesTheStatusLine) {
  FakePicker picker(true);
  PIDLIST_ABSOLUTE computer = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);

  BrowseCallback(picker.hwnd(), BFFM_SELCHANGED, reinterpret_cast<LPARAM>(computer), 0);
  CoTaskMemFree(computer);

  EXPECT_EQ(picker.statuses, std::vector<std::wstring>{L""});
}

// Leaves a folder as unpacking leaves it: not read since it was written, so
// that the next reading moves its last access time.
void MarkUnreadSinceWritten(const fs::path& folder) {
  HANDLE handle = CreateFileW(folder.c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  const FILETIME year_2000{.dwLowDateTime = 0x256D4000, .dwHighDateTime = 0x01BF53EB};
  EXPECT_TRUE(SetFileTime(handle, nullptr, &year_2000, nullptr));
  CloseHandle(handle);
}

// The real picker, closed by a timer that presses one of its buttons. It
// opens on a program folder just unpacked.
class PickerTest : public ::testing::Test {
 protected:
  PickerTest() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    MarkUnreadSinceWritten(folder.path());
    MarkUnreadSinceWritten(folder.path() / "Player");
  }
  ~PickerTest() override { CoUninitialize(); }

  std::wstring BrowseAndPress(int button) {
    button_ = button;
    title_seen_ = false;
    ok_enabled_ = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 200, &PickerTest::PressWhenUp);
    std::wstring chosen = BrowseForFolder(nullptr, args);
    KillTimer(nullptr, timer);
    return chosen;
  }

  static BOOL CALLBACK FindPicker(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }

  static void CALLBACK PressWhenUp(HWND, UINT, UINT_PTR, DWORD) {
    HWND picker = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPicker, reinterpret_cast<LPARAM>(&picker));
    if (!picker) return;
    title_seen_ = FindWindowExW(picker, nullptr, L"Static", kTitle) != nullptr;
    ok_enabled_ = IsWindowEnabled(GetDlgItem(picker, IDOK)) != FALSE;
    PostMessageW(picker, WM_COMMAND, button_, 0);
  }

  static constexpr wchar_t kTitle[] = L"Bitte Skin-Verzeichnis wählen...";
  static inline int button_ = IDCANCEL;
  static inline bool title_seen_ = false;
  static inline bool ok_enabled_ = false;
  testing::TestFolder folder;
  fs::path tools = folder.MakeFolder("Player/Tools");
  BrowseArgs args{.title = kTitle,
                  .start_folder = tools.wstring(),
                  .show_status_text = true,
                  .root_folder = L"",
                  .new_dialog_style = true};
};

TEST_F(PickerTest, OkReturnsTheStartFolderItOpenedOn) {
  std::wstring chosen = BrowseAndPress(IDOK);
  ASSERT_FALSE(chosen.empty());
  EXPECT_TRUE(fs::equivalent(chosen, tools)) << chosen;
  EXPECT_TRUE(title_seen_);
  EXPECT_TRUE(ok_enabled_);
}

TEST_F(PickerTest, CancelReturnsNothing) { EXPECT_EQ(BrowseAndPress(IDCANCEL), L""); }

}  // namespace
}  // namespace fendrix

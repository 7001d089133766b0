#include "app/main_window.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>

#include "app/window_test_support.h"
#include "conversion/imaging/bmp_codec.h"
#include "support/test_folder.h"

namespace fendrix::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kSkins = 200;
// Runs before the counts are taken: the first runs load what then stays
// loaded for the life of the process.
constexpr int kWarmUpRuns = 5;
// What may come and go between two counts without being a leak; one object
// per run would be 195 over it.
constexpr long kGdiSlack = 10;
constexpr long kUserSlack = 10;
constexpr long kHandleSlack = 20;
constexpr long kWindowSlack = 0;

struct Resolution {
  std::int64_t width, height;
};
constexpr Resolution kBase{1280, 1024};

// How the conversion treats a number: rounded down (skin values) or to the
// nearest whole number (bitmap sizes).
enum class Rounding { kDown, kNearest };

// The first value from `start` whose exact result value * num / den lies
// well clear of where the rounding turns, so the float arithmetic of the
// conversion cannot tip it either way; and that result.
std::pair<std::int64_t, std::int64_t> ClearValue(std::int64_t start, std::int64_t num,
                                                 std::int64_t den, Rounding rounding) {
  for (std::int64_t value = start;; ++value) {
    double fraction = static_cast<double>(value * num % den) / static_cast<double>(den);
    std::int64_t whole = value * num / den;
    if (rounding == Rounding::kDown && fraction > 0.15 && fraction < 0.85) return {value, whole};
    if (rounding == Rounding::kNearest && (fraction < 0.35 || fraction > 0.65)) {
      return {value, whole + (fraction > 0.5 ? 1 : 0)};
    }
  }
}

// One generated skin: what is written at 1280x1024 and what its conversion
// to `target` must give.
struct LoadSkin {
  std::string name;
  std::string bitmap;  // its file name, kept by the conversion
  Resolution target;
  std::vector<std::string> lines;
  std::vector<std::string> expected_lines;
  std::int32_t bitmap_width = 0, bitmap_height = 0;
  std::int32_t expected_width = 0, expected_height = 0;
  COLORREF colour = 0;
};

LoadSkin MakeLoadSkin(int i) {
  LoadSkin skin;
  char name[16];
  std::snprintf(name, sizeof name, "Skin%03d", i);
  skin.name = name;
  // Both targets, so that a result left over from the previous run's factors shows.
  skin.target = i % 2 == 0 ? Resolution{1024, 768} : Resolution{800, 600};
  const Resolution& t = skin.target;
  // The name the preview is taken from, so that selecting a skin shows it.
  skin.bitmap = "Zelback.bmp";
  skin.lines = {"Form=Fendrix", "gfxHintergrund=" + skin.bitmap};
  skin.expected_lines = skin.lines;
  struct Property {
    const char* key;
    std::int64_t start, num, den;
  } properties[] = {
      {"Titel.Left", 100 + 3 * i, t.width, kBase.width},
      {"Titel.Top", 80 + 2 * i, t.height, kBase.height},
      {"Titel.Width", 200 + i, t.width, kBase.width},
      {"Titel.Height", 50 + i, t.height, kBase.height},
      // Divided by the mean of the two factors.
      {"Titel.FontSize", 8 + i % 20, 2 * t.width * t.height,
       kBase.width * t.height + kBase.height * t.width},
  };
  for (const Property& p : properties) {
    auto [value, result] = ClearValue(p.start, p.num, p.den, Rounding::kDown);
    skin.lines.push_back(std::string(p.key) + "=" + std::to_string(value));
    skin.expected_lines.push_back(std::string(p.key) + "=" + std::to_string(result));
  }
  skin.lines.push_back("Titel.Caption=" + skin.name);
  skin.expected_lines.push_back("Titel.Caption=" + skin.name);

  auto [width, new_width] = ClearValue(16 + i % 40, t.width, kBase.width, Rounding::kNearest);
  auto [height, new_height] = ClearValue(12 + i % 30, t.height, kBase.height, Rounding::kNearest);
  skin.bitmap_width = static_cast<std::int32_t>(width);
  skin.bitmap_height = static_cast<std::int32_t>(height);
  skin.expected_width = static_cast<std::int32_t>(new_width);
  skin.expected_height = static_cast<std::int32_t>(new_height);
  skin.colour = RGB(i % 256, 255 - i % 256, (i * 37) % 256);
  return skin;
}

// What the process holds; the object counts that leak when a run forgets
// to give something back.
struct Counts {
  long gdi = 0;
  long user = 0;
  long handles = 0;
  long windows = 0;  // this thread's windows with all their children
};

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  return TRUE;
}

// Top-level windows with all their descendants, which EnumChildWindows walks.
BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  EnumChildWindows(window, CountChild, count);
  return TRUE;
}

// The handles of this process in the system's handle list, for a system whose
// GetProcessHandleCount answers 0 (Wine): a living process always holds some.
long HandlesInSystemList() {
  using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
  std::vector<std::uint8_t> buffer(1 << 16);
  LONG status;
  ULONG needed = 0;
  while ((status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                         &needed)) == kLengthMismatch) {
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
  }
  if (status < 0) return 0;
  const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
  long own = 0;
  for (ULONG i = 0; i < list->Count; ++i) {
    own += list->Handle[i].OwnerPid == GetCurrentProcessId() ? 1 : 0;
  }
  return own;
}

Counts Measure() {
  Counts counts;
  counts.gdi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
  counts.user = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
  DWORD handles = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &handles)) counts.handles = handles;
  if (counts.handles == 0) counts.handles = HandlesInSystemList();
  EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&counts.windows));
  return counts;
}

class LoadTest : public ::testing::Test {
 protected:
  // On the disk: the run's files are then real handles, which the counts
  // would show left open.
  LoadTest() {
    harness.env.inputs.fs = &disk;
    harness.env.inputs.program_folder = on_disk.MakeFolder("Elsewhere");
  }

  const MainWindowControls& controls() const { return window->controls(); }

  // One conversion as a user does it; checks everything it should leave behind.
  void Convert(const LoadSkin& skin) {
    SCOPED_TRACE(skin.name);
    const MainWindowControls& c = controls();
    std::wstring name(skin.name.begin(), skin.name.end());
    harness.messages.clear();
    progress_while_told_ = -1;
    harness.on_message = [this] {
      progress_while_told_ = SendMessageW(controls().ProgressBar1, PBM_GETPOS, 0, 0);
    };

    Choose(c.cboSkins, name);
    ASSERT_EQ(Selected(c.cboSkins), name);
    ASSERT_EQ(Selected(c.cboBaseResolution), L"1280x1024");
    RECT box;
    GetClientRect(c.imgSkin, &box);
    EXPECT_EQ(PaintedPixel(c.imgSkin, box.right / 2, box.bottom / 2), skin.colour);
    SetWindowTextW(c.txtResH, std::to_wstring(skin.target.width).c_str());
    SetWindowTextW(c.txtResV, std::to_wstring(skin.target.height).c_str());
    SendMessageW(c.cmdCreateSkin, BM_CLICK, 0, 0);

    ASSERT_EQ(harness.messages.size(), 1u);
    EXPECT_EQ(harness.messages[0].text, L"Der Skin wurde erfolgreich umgewandelt!");
    EXPECT_EQ(progress_while_told_, 100);
    EXPECT_EQ(SendMessageW(c.ProgressBar1, PBM_GETPOS, 0, 0), 0);
    for (HWND control : {c.cboSkins, c.cboBaseResolution, c.cmdSelectSkin, c.cmdCreateSkin,
                         c.txtResH, c.txtResV}) {
      EXPECT_TRUE(IsWindowEnabled(control));
    }
    EXPECT_EQ(WindowText(c.cmdCreateSkin), L"Skin erstellen");

    fs::path made = on_disk.skins / skin.name /
                    (std::to_string(skin.target.width) + "x" + std::to_string(skin.target.height));
    EXPECT_EQ(Names(made), (std::vector<std::string>{"Skin.vsk", skin.bitmap}));
    EXPECT_EQ(DecipherLines(ReadAll(made / "Skin.vsk")), skin.expected_lines);
    std::string bmp = ReadAll(made / skin.bitmap);
    Image image;
    std::string reason;
    ASSERT_TRUE(DecodeBmp(std::span(reinterpret_cast<const std::uint8_t*>(bmp.data()), bmp.size()),
                          &image, &reason))
        << reason;
    ASSERT_EQ(image.width, skin.expected_width);
    ASSERT_EQ(image.height, skin.expected_height);
    // One pixel tells this skin's bitmap from another's.
    EXPECT_EQ(RGB(image.pixels[2], image.pixels[1], image.pixels[0]), skin.colour);
  }

  TestFolder folder;
  RealFileSystem disk;
  SkinTree on_disk{disk, folder.path()};
  WindowHarness harness;
  LRESULT progress_while_told_ = -1;
  std::unique_ptr<MainWindow> window;
};

TEST_F(LoadTest, TwoHundredSkinsInOneWindowAllRightAndNothingLeaks) {
  std::vector<LoadSkin> skins;
  for (int i = 0; i < kSkins; ++i) {
    LoadSkin skin = MakeLoadSkin(i);
    fs::path base = fs::path("Player") / "Skins" / skin.name / "1280x1024";
    on_disk.Write(base / "Skin.vsk", EncipherLines(skin.lines));
    on_disk.Write(base / skin.bitmap, SolidBmp(skin.bitmap_width, skin.bitmap_height, skin.colour));
    skins.push_back(std::move(skin));
  }
  window = harness.Open();
  ASSERT_TRUE(window && !window->closed());
  harness.picked_folder = on_disk.skins.wstring();
  SendMessageW(controls().cmdSelectSkin, BM_CLICK, 0, 0);
  ASSERT_EQ(harness.browse_calls.size(), 1u);
  ASSERT_EQ(Items(controls().cboSkins).size(), static_cast<std::size_t>(kSkins));

  Counts before;
  for (int i = 0; i < kSkins; ++i) {
    if (i == kWarmUpRuns) before = Measure();
    Convert(skins[static_cast<std::size_t>(i)]);
    // The first broken run says enough; 200 copies of it would bury it.
    if (HasFailure()) return;
  }
  Counts after = Measure();

  std::printf(
      "GDI objects %ld -> %ld, USER objects %ld -> %ld, handles %ld -> %ld, "
      "windows %ld -> %ld\n",
      before.gdi, after.gdi, before.user, after.user, before.handles, after.handles, before.windows,
      after.windows);
  // Wine answers 0 for both object counts; on Windows a process with a
  // window always holds some, and there they are compared.
  if (before.gdi == 0 && before.user == 0) {
    std::printf("GDI and USER object counts are not reported here; windows are counted\n");
  }
  EXPECT_LE(after.gdi, before.gdi + kGdiSlack);
  EXPECT_LE(after.user, before.user + kUserSlack);
  EXPECT_LE(after.handles, before.handles + kHandleSlack);
  EXPECT_LE(after.windows, before.windows + kWindowSlack);
  EXPECT_GT(before.handles, 0);  // the count was taken at all
  EXPECT_GT(before.windows, 0);
}

}  // namespace
}  // namespace fendrix::testing

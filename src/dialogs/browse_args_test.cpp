#include "dialogs/browse_args.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

TEST(BrowseArgsTest, FlagsAddUpFromTheOptions) {
  struct {
    bool status, new_style, files;
    unsigned flags;
  } cases[] = {
      {false, false, false, 1},    {true, false, false, 5}, {false, true, false, 65},
      {false, false, true, 16385}, {true, true, false, 69}, {true, true, true, 16453},
  };
  for (const auto& c : cases) {
    BrowseArgs args{
        .show_status_text = c.status, .new_dialog_style = c.new_style, .include_files = c.files};
    EXPECT_EQ(BrowseFlags(args), c.flags) << c.status << c.new_style << c.files;
  }
}

TEST(BrowseArgsTest, DollarTitleIsEmptiedOnlyWithAStatusLine) {
  struct {
    std::wstring title;
    bool status;
    std::wstring shown;
  } cases[] = {
      {L"$", true, L""},
      {L"$", false, L"$"},
      {L"$ ", true, L"$ "},
      {L"Bitte Skin-Verzeichnis wählen...", true, L"Bitte Skin-Verzeichnis wählen..."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BrowseTitle({.title = c.title, .show_status_text = c.status}), c.shown);
  }
}

TEST(BrowseArgsTest, ShellPathHasBackslashesOnly) {
  struct {
    std::wstring folder, shell;
  } cases[] = {
      {L"C:\\Player\\Tools", L"C:\\Player\\Tools"},
      {L"C:\\Player/Tools", L"C:\\Player\\Tools"},
      {L"C:/", L"C:\\"},
      {L"//server/share/Tools", L"\\\\server\\share\\Tools"},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(ShellPath(c.folder), c.shell);
}

}  // namespace
}  // namespace fendrix

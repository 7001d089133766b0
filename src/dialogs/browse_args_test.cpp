#include "dialogs/browse_args.h"

#include <gtest/gtest.h>

namespace fendrix {
namespace {

TEST(BrowseArgsTest, OptionsGiveTheFlagsAndTheTitle) {
  struct {
    BrowseArgs args;
    unsigned flags;
    std::wstring title;
  } cases[] = {
      {{.title = L"$"}, 1, L"$"},
      // With a status line, only the status line may read "$".
      {{.title = L"$", .show_status_text = true}, 5, L""},
      {{.title = L"$ ", .show_status_text = true}, 5, L"$ "},
      {{.title = L"Ordner", .new_dialog_style = true}, 65, L"Ordner"},
      {{.title = L"Ordner", .include_files = true}, 16385, L"Ordner"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BrowseFlags(c.args), c.flags) << c.flags;
    EXPECT_EQ(BrowseTitle(c.args), c.title) << c.flags;
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

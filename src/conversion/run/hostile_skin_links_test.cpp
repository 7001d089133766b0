// Hostile links, and a base folder named as the new one. Replacing the
// target folder removes a link, never what it points to. A link in the
// base folder is not followed: through one, a skin could have the elevated
// program copy a file its maker may not read into the skin.

#include <gtest/gtest.h>

#include "conversion/run/hostile_skin_rows.h"
#include "conversion/run/test_skin.h"

namespace fendrix {
namespace {

using testing::EncipherLines;
using testing::hostile::Ending;
using testing::hostile::HostileSkinTest;
using testing::hostile::Row;
using testing::hostile::Skin;

const Row kLinkRows[] = {
    {"LinkInsideTheTargetFolder", [](Skin& s) { s.Link("1024x768/elsewhere", "outside"); },
     Ending::kClean, "", ""},
    {"TargetFolderItselfALink", [](Skin& s) { s.Link("1024x768", "outside"); }, Ending::kClean, "",
     ""},
    {"BitmapIsALink",
     [](Skin& s) {
       s.Link("1280x1024/link.bmp", "outside/secret.bmp");
       s.AddLine("gfxSchluss=link.bmp");
     },
     Ending::kWarning, "link.bmp", "Verknüpfung", 4},
    {"FolderOnTheBitmapPathIsALink",
     [](Skin& s) {
       s.Link("1280x1024/sub", "outside");
       s.AddLine("gfxSchluss=sub\\secret.bmp");
     },
     Ending::kWarning, "sub", "Verknüpfung", 4},
    {"ArrowIsALink", [](Skin& s) { s.Link("1280x1024/ArrowB.bmp", "outside/secret.bmp"); },
     Ending::kWarning, "ArrowB.bmp", "Verknüpfung", 0},
    {"SkinFileIsALink",
     [](Skin& s) {
       s.dir().Write("outside/Skin.vsk", EncipherLines({"Form=geheim"}));
       s.Link("1280x1024/Skin.vsk", "outside/Skin.vsk");
     },
     Ending::kError, "Skin.vsk", "Verknüpfung"},

    // --- Folders.
    {"BaseFolderNamedAsTheNewResolution",
     [](Skin& s) {
       s.base_name = "1024x768";
       s.base_width = 1024;
       s.base_height = 768;
     },
     Ending::kSameAsBase, "", ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, HostileSkinTest, ::testing::ValuesIn(kLinkRows),
                         testing::hostile::RowName);

}  // namespace
}  // namespace fendrix

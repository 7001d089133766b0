// Hostile bitmap names: one that would leave the skin's folder or that
// Windows would read as another file is refused with a warning and never
// read (every row checks what was read).

#include <gtest/gtest.h>

#include <string>

#include "conversion/run/hostile_skin_rows.h"

namespace fendrix {
namespace {

using testing::hostile::AvoidStoredCr;
using testing::hostile::Ending;
using testing::hostile::HostileSkinTest;
using testing::hostile::Repeat;
using testing::hostile::Row;
using testing::hostile::Skin;

const Row kNameRows[] = {
    {"NameClimbingOut", [](Skin& s) { s.AddLine("gfxSchluss=..\\..\\..\\outside\\secret.bmp"); },
     Ending::kWarning, "secret.bmp", "verweist aus dem Skin-Ordner", 4},
    {"NameClimbingOutAfterASubfolder",
     [](Skin& s) { s.AddLine("gfxSchluss=sub\\..\\..\\1024x768\\old.bmp"); }, Ending::kWarning,
     "old.bmp", "verweist aus dem Skin-Ordner", 4},
    {"AbsoluteWindowsPath", [](Skin& s) { s.AddLine("gfxSchluss=\\outside\\secret.bmp"); },
     Ending::kWarning, "secret.bmp", "absoluter Pfad", 4},
    {"AbsolutePosixPath", [](Skin& s) { s.AddLine("gfxSchluss=/etc/passwd"); }, Ending::kWarning,
     "passwd", "absoluter Pfad", 4},
    {"DriveLetter", [](Skin& s) { s.AddLine("gfxSchluss=C:\\Windows\\win.ini"); }, Ending::kWarning,
     "win.ini", "Laufwerk", 4},
    {"DriveRelative", [](Skin& s) { s.AddLine("gfxSchluss=C:back.bmp"); }, Ending::kWarning,
     "C:back.bmp", "Laufwerk", 4},
    {"DeviceCon", [](Skin& s) { s.AddLine("gfxSchluss=CON"); }, Ending::kWarning, "CON",
     "Gerätename", 4},
    {"DeviceNulWithExtension", [](Skin& s) { s.AddLine("gfxSchluss=sub\\nul.bmp"); },
     Ending::kWarning, "nul.bmp", "Gerätename", 4},
    {"TrailingDot", [](Skin& s) { s.AddLine("gfxSchluss=back.bmp."); }, Ending::kWarning,
     "back.bmp.", "Punkt oder Leerzeichen", 4},
    {"TrailingBlank", [](Skin& s) { s.AddLine("gfxSchluss=back.bmp "); }, Ending::kWarning,
     "back.bmp ", "Punkt oder Leerzeichen", 4},
    {"NameLongerThan260",
     [](Skin& s) {
       s.AddLine(AvoidStoredCr("gfxSchluss=" + std::string(300, 'n') + ".bmp", 11, 311));
     },
     Ending::kWarning, "nnnnnnnn", "länger als 255", 4},
    {"PathLongerThan260OfShortParts",  // a name like any other: missing here
     [](Skin& s) {
       std::string parts = Repeat("ordner", 40, "\\");
       s.AddLine(AvoidStoredCr("gfxSchluss=" + parts + "\\x.bmp", 11, 11 + parts.size()));
     },
     Ending::kWarning, "x.bmp", "Bild fehlt", 4},
};

INSTANTIATE_TEST_SUITE_P(Rows, HostileSkinTest, ::testing::ValuesIn(kNameRows),
                         testing::hostile::RowName);

}  // namespace
}  // namespace fendrix

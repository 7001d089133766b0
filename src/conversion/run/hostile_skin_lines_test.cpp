// Hostile skin files: missing, empty, of lines too long or too many, of
// ciphertext that holds line ends, of bytes no code page defines, and of
// scaled values that are no usable number.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "conversion/run/hostile_skin_rows.h"
#include "conversion/run/test_skin.h"
#include "conversion/skin_text/cipher.h"
#include "support/file_lines.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;
using testing::DecipherLines;
using testing::ReadAll;
using testing::hostile::AvoidStoredCr;
using testing::hostile::Ending;
using testing::hostile::HostileSkinTest;
using testing::hostile::Repeat;
using testing::hostile::Row;
using testing::hostile::Skin;

// A plain line whose stored form holds `stored` at `position`: the plain
// byte there is chosen so that the cipher turns it into that byte.
std::string WithStoredByte(std::string line, std::size_t position, char stored) {
  std::string probe(position + 1, '\0');
  XorCrypt(probe, kSkinKey);  // the mask at each position
  line[position] = static_cast<char>(probe[position] ^ stored);
  return line;
}

void ExpectLines(FileSystem& files, const fs::path& folder, const std::vector<std::string>& lines) {
  EXPECT_EQ(DecipherLines(ReadAll(files, folder / "Skin.vsk")), lines);
}

const Row kSkinFileRows[] = {
    // --- The skin file.
    {"SkinFileMissing", [](Skin& s) { s.Remove("Skin.vsk"); }, Ending::kError, "Skin.vsk", "fehlt"},
    {"SkinFileEmpty",  // as the format says: a folder with only the arrows
     [](Skin& s) { s.File("Skin.vsk", ""); }, Ending::kClean, "", "", 0,
     [](FileSystem& files, const fs::path& made) {
       EXPECT_EQ(testing::Names(files, made), std::vector<std::string>{"ArrowT.bmp"});
     }},
    {"SingleTenMegabyteLine",
     [](Skin& s) {
       // No byte of the stored line is a CR, so it stays one line, and the
       // caption is carried over byte for byte.
       std::string line = "Titel.Caption=" + std::string(10 * 1024 * 1024, 'A');
       s.Lines({AvoidStoredCr(line, 14, line.size())});
     },
     Ending::kClean, "", "", 0,
     [](FileSystem& files, const fs::path& made) {
       std::vector<std::string> lines = DecipherLines(ReadAll(files, made / "Skin.vsk"));
       ASSERT_EQ(lines.size(), 1u);
       EXPECT_EQ(lines[0].size(), 14u + 10 * 1024 * 1024);
     }},
    {"LineLongerThanAnySkinLine",  // would otherwise take the memory of a 32-bit program
     [](Skin& s) { s.File("Skin.vsk", std::string(kMaxLineBytes + 1, 'A')); }, Ending::kError,
     "Skin.vsk", "länger als"},
    {"OneMillionLines",
     [](Skin& s) {
       std::string line = "x.Left=10";
       CryptLine(line, kSkinKey);
       s.File("Skin.vsk", Repeat(line, 1000000, "\r\n") + "\r\n");
     },
     Ending::kClean, "", "", 0,
     [](FileSystem& files, const fs::path& made) {
       std::vector<std::string> lines = DecipherLines(ReadAll(files, made / "Skin.vsk"));
       ASSERT_EQ(lines.size(), 1000000u);
       EXPECT_EQ(lines.front(), "x.Left=8");
       EXPECT_EQ(lines.back(), "x.Left=8");
     }},
    {"CiphertextHoldingLfAndCr",
     [](Skin& s) {
       // A stored LF is an ordinary byte; a stored CR ends the line there, and
       // the rest deciphers from position 0 again, as the format says.
       s.Lines({WithStoredByte("Ti?el.Left=120", 2, '\n'), WithStoredByte("ab?Form=1", 2, '\r'),
                "Form=2"});
     },
     Ending::kClean, "", "", 0,
     [](FileSystem& files, const fs::path& made) {
       std::vector<std::string> lines = DecipherLines(ReadAll(files, made / "Skin.vsk"));
       ASSERT_EQ(lines.size(), 4u);
       EXPECT_EQ(lines[0], WithStoredByte("Ti?el.Left=96", 2, '\n'));
       EXPECT_EQ(lines[1], "ab");
       EXPECT_EQ(lines[3], "Form=2");
     }},
    {"BytesUndefinedInTheCodePage",
     [](Skin& s) {
       s.Lines({"Titel.Caption=\x81\x8D\x8F\x90\x9D", "gfxHintergrund=b\x81\x9D.bmp"});
       s.File(PathFromCp1252("b\x81\x9D.bmp"), testing::BmpFile(10, 8));
     },
     Ending::kClean, "", "", 0,
     [](FileSystem& files, const fs::path& made) {
       ExpectLines(files, made,
                   {"Titel.Caption=\x81\x8D\x8F\x90\x9D", "gfxHintergrund=b\x81\x9D.bmp"});
       EXPECT_EQ(files.Stat(made / PathFromCp1252("b\x81\x9D.bmp")), EntryKind::kFile);
     }},

    // --- Scaled values: a value that is no usable number is carried over as
    // it stood, with a warning on its line; the rest of the skin converts.
    {"ScaledValueNotANumber", [](Skin& s) { s.AddLine("Liste.Width=abc"); }, Ending::kWarning,
     "Liste.Width=abc", "keine verwendbare Zahl", 4},
    {"ScaledValueEmpty", [](Skin& s) { s.AddLine("Liste.Top="); }, Ending::kWarning,
     "Liste.Top=", "keine verwendbare Zahl", 4},
    {"ScaledValueBeyondDouble", [](Skin& s) { s.AddLine("Liste.Height=1e400"); }, Ending::kWarning,
     "Liste.Height=1e400", "keine verwendbare Zahl", 4},
    {"ScaledValueBeyond32Bits", [](Skin& s) { s.AddLine("Liste.Left=99999999999"); },
     Ending::kWarning, "Liste.Left=99999999999", "keine verwendbare Zahl", 4},
    {"ScaledValueMinusZero",  // a number like any other: 0
     [](Skin& s) { s.AddLine("Liste.FontSize=-0"); }, Ending::kClean, "", "", 0,
     [](FileSystem& files, const fs::path& made) {
       ExpectLines(
           files, made,
           {"Form=Jukebox", "gfxHintergrund=back.bmp", "Titel.Left=96", "Liste.FontSize=0"});
     }},
};

INSTANTIATE_TEST_SUITE_P(Rows, HostileSkinTest, ::testing::ValuesIn(kSkinFileRows),
                         testing::hostile::RowName);

}  // namespace
}  // namespace fendrix

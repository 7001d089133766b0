// Hostile pictures: each is a hard error, since the new Skin.vsk would name
// a bitmap that could not be made.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "conversion/run/conversion_run.h"
#include "conversion/run/hostile_skin_rows.h"
#include "conversion/run/test_skin.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;
using testing::DemoInputs;
using testing::ReadAll;
using testing::RecordingCaller;
using testing::Snapshot;
using testing::hostile::Ending;
using testing::hostile::HostileSkinTest;
using testing::hostile::GoodLines;
using testing::hostile::Row;
using testing::hostile::Skin;

std::string TestData(const char* name) {
  return ReadAll(fs::path(FENDRIX_SOURCE_DIR) / "src/conversion/imaging/testdata" / name);
}

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8 & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A BMP with an info header, a palette of `colours` entries and `pixels` as
// stored (rows or an RLE stream).
std::string IndexedBmp(std::int32_t width, std::int32_t height, int bits, int compression,
                       int colours, const std::string& pixels) {
  std::string head;
  Put32(head, 40);
  Put32(head, static_cast<std::uint32_t>(width));
  Put32(head, static_cast<std::uint32_t>(height));
  Put16(head, 1);
  Put16(head, static_cast<std::uint32_t>(bits));
  Put32(head, static_cast<std::uint32_t>(compression));
  Put32(head, static_cast<std::uint32_t>(pixels.size()));
  Put32(head, 2835);
  Put32(head, 2835);
  Put32(head, static_cast<std::uint32_t>(colours));
  Put32(head, 0);
  for (int i = 0; i < colours; ++i) Put32(head, 0x00FF0000u >> (8 * i % 24));
  std::string file = "BM";
  Put32(file, static_cast<std::uint32_t>(14 + head.size() + pixels.size()));
  Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(14 + head.size()));
  return file + head + pixels;
}

const Row kPictureRows[] = {
    {"TruncatedJpeg",
     [](Skin& s) {
       std::string jpeg = TestData("baseline.jpg");
       ASSERT_GT(jpeg.size(), 400u);
       s.Background("back.jpg", jpeg.substr(0, jpeg.size() / 2));
     },
     Ending::kError, "back.jpg", "abgeschnitten"},
    {"TruncatedGif",
     [](Skin& s) {
       std::string gif = TestData("interlaced.gif");
       ASSERT_GT(gif.size(), 30u);
       s.Background("back.gif", gif.substr(0, gif.size() - 12));
     },
     Ending::kError, "back.gif", "abgeschnitten"},
    {"TruncatedBmp", [](Skin& s) { s.File("back.bmp", testing::BmpFile(40, 32).substr(0, 300)); },
     Ending::kError, "back.bmp", "abgeschnitten"},
    {"ZeroByteBitmap", [](Skin& s) { s.File("back.bmp", ""); }, Ending::kError, "back.bmp",
     "leere Datei"},
    {"TextFileNamedBmp", [](Skin& s) { s.File("back.bmp", "Dies ist kein Bild.\r\n"); },
     Ending::kError, "back.bmp", "unbekanntes Bildformat"},
    {"BmpClaiming100000x100000",
     [](Skin& s) {
       s.File("back.bmp", IndexedBmp(100000, 100000, 24, 0, 0, std::string(64, 'x')));
     },
     Ending::kError, "back.bmp", "zu groß: 100000 x 100000 Pixel"},
    {"PaletteIndexPastThePalette",
     [](Skin& s) {
       // Two colours, and the second row uses index 7.
       s.File("back.bmp",
              IndexedBmp(4, 2, 8, 0, 2, std::string("\x00\x01\x00\x01\x07\x00\x01\x00", 8)));
     },
     Ending::kError, "back.bmp", "Palettenindex außerhalb der Palette"},
    {"RleRunPastTheImage",
     [](Skin& s) {
       // A run of 9 pixels in an image 4 pixels wide: clipped at the row's
       // end, as the player's own loader shows it.
       s.File("back.bmp", IndexedBmp(4, 2, 8, 1, 2, std::string("\x09\x01\x00\x01", 4)));
     },
     Ending::kClean, "", "", 0,
     [](FileSystem& files, const fs::path& made) {
       EXPECT_EQ(files.Stat(made / "back.bmp"), EntryKind::kFile);
     }},
    {"BaseFolderNamed1x1MakesThePictureTooLarge",
     [](Skin& s) {
       // Factors of 1/1024 would make the 40 x 32 background 40960 pixels wide.
       s.base_name = "1x1";
       s.base_width = 1;
       s.base_height = 1;
       s.Lines(GoodLines());
       s.File("back.bmp", testing::BmpFile(40, 32));
     },
     Ending::kError, "back.bmp", "zu groß"},
};

INSTANTIATE_TEST_SUITE_P(Rows, HostileSkinTest, ::testing::ValuesIn(kPictureRows),
                         testing::hostile::RowName);

// A picture larger than any picture allowed is refused before it is read: a
// 32-bit program would otherwise spend its memory on it, or fail to. The
// file is sparse, so the test costs no disk.
TEST(OversizedFileTest, IsRefusedBeforeItIsRead) {
  testing::TestFolder dir;
  dir.Write("Skins/Demo/1280x1024/Skin.vsk", testing::EncipherLines(GoodLines()));
  dir.Write("Skins/Demo/1024x768/old.bmp", testing::BmpFile(3, 3));
  const fs::path huge = dir.Write("Skins/Demo/1280x1024/back.bmp", "");
  std::error_code ec;
  fs::resize_file(huge, kMaxReadBytes + 1, ec);
  if (ec) GTEST_SKIP() << "this system cannot make a sparse file here: " << ec.message();
  const fs::path skin_folder = dir.path() / "Skins" / "Demo";
  const auto old_before = Snapshot(skin_folder / "1024x768");

  RunRequest in = DemoInputs(dir.path() / "Skins");
  RecordingCaller port(in);
  port.answer_yes = true;
  RealFileSystem files;
  ConversionRun run(files, port);
  RunResult result = port.Execute(run);

  EXPECT_EQ(result.outcome, RunOutcome::kFailed);
  EXPECT_EQ(port.events.back(), "idle");
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_NE(result.message.find("back.bmp"), std::string::npos) << result.message;
  EXPECT_NE(result.message.find("zu groß"), std::string::npos) << result.message;
  EXPECT_EQ(Snapshot(skin_folder / "1024x768"), old_before);
  EXPECT_EQ(testing::Names(skin_folder), (std::vector<std::string>{"1024x768", "1280x1024"}));
  EXPECT_EQ(fs::file_size(huge), kMaxReadBytes + 1);
}

}  // namespace
}  // namespace fendrix

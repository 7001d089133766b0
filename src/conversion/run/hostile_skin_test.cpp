// Skins come from strangers and the program runs with administrator rights.
// Each row below is a skin built to hurt, converted from 1280x1024 to
// 1024x768 over an old 1024x768 folder that the user agreed to replace. Every
// row must end with the window idle, the base folder byte for byte as it was,
// no staging folder left, nothing outside the skin touched or read, and
// either one clear error naming the file and the cause (the old folder kept)
// or a complete new folder (with the warning the row names, tied to its line).

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "conversion/run/conversion_run.h"
#include "conversion/imaging/picture_decoder.h"
#include "conversion/run/test_skin.h"
#include "support/faulty_file_system.h"
#include "support/file_lines.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

namespace fs = std::filesystem;
using testing::DecipherLines;
using testing::DemoInputs;
using testing::EncipherLines;
using testing::FaultyFileSystem;
using testing::ReadAll;
using testing::RecordingCaller;
using testing::Snapshot;

// How a row must end.
enum class Ending {
  kError,       ///< run failed: one error message naming `names` and `cause`
  kWarning,     ///< run succeeded with exactly one warning, on `line`
  kClean,       ///< run succeeded without a warning
  kSameAsBase,  ///< refused: the new folder would be the base folder
};

// The skin every row starts from; a row changes what it needs.
const std::vector<std::string> kGoodLines = {"Form=Jukebox", "gfxHintergrund=back.bmp",
                                             "Titel.Left=120"};

class Skin {
 public:
  explicit Skin(const testing::TestFolder& dir) : dir_(dir) {
    Lines(kGoodLines);
    File("back.bmp", testing::BmpFile(40, 32));
    File("ArrowT.bmp", testing::BmpFile(5, 5));
    dir_.Write("Skins/Demo/1024x768/Skin.vsk", "old");
    dir_.Write("Skins/Demo/1024x768/old.bmp", testing::BmpFile(3, 3));
    dir_.Write("outside/secret.bmp", testing::BmpFile(2, 2));
  }

  /// Replaces the base folder's Skin.vsk with these plain lines.
  void Lines(const std::vector<std::string>& lines) { File("Skin.vsk", EncipherLines(lines)); }
  /// The good lines followed by one more (line 4).
  void AddLine(const std::string& line) {
    std::vector<std::string> lines = kGoodLines;
    lines.push_back(line);
    Lines(lines);
  }
  /// Writes a file of the base folder.
  void File(const fs::path& name, const std::string& bytes) { dir_.Write(base() / name, bytes); }
  /// The good skin with its background replaced by `bytes` under `name`.
  void Background(const std::string& name, const std::string& bytes) {
    Lines({"Form=Jukebox", "gfxHintergrund=" + name, "Titel.Left=120"});
    fs::remove(dir_.path() / base() / "back.bmp");
    File(name, bytes);
  }

  /// Makes `link` (below the skin folder) a symbolic link to `target`
  /// (below the test folder), replacing what stood there. Where the system
  /// makes no links, `no_links` says why and the row is skipped.
  void Link(const fs::path& link, const fs::path& target) {
    const fs::path at = dir_.path() / "Skins" / "Demo" / link;
    std::error_code ec;
    fs::remove_all(at, ec);
    if (fs::is_directory(dir_.path() / target)) {
      fs::create_directory_symlink(dir_.path() / target, at, ec);
    } else {
      fs::create_symlink(dir_.path() / target, at, ec);
    }
    if (ec) no_links = ec.message();
  }

  fs::path base() const { return fs::path("Skins") / "Demo" / base_name; }
  const testing::TestFolder& dir() const { return dir_; }

  std::string no_links;
  std::string base_name = "1280x1024";
  std::int16_t base_width = 1280;
  std::int16_t base_height = 1024;

 private:
  const testing::TestFolder& dir_;
};

struct Row {
  const char* name;
  std::function<void(Skin&)> make;
  Ending ending;
  std::string names;     // the file the message or warning names
  std::string cause;     // what it says about it
  std::size_t line = 0;  // for kWarning
  // For rows that succeed: what the new folder must hold beyond completeness.
  std::function<void(const fs::path& new_folder)> check = nullptr;
};

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

// A plain line whose stored form holds `stored` at `position`: the plain
// byte there is chosen so that the cipher turns it into that byte.
std::string WithStoredByte(std::string line, std::size_t position, char stored) {
  std::string probe(position + 1, '\0');
  XorCrypt(probe, kSkinKey);  // the mask at each position
  line[position] = static_cast<char>(probe[position] ^ stored);
  return line;
}

// `line` with the letters in [from, to) changed where the cipher would turn
// them into a CR, which would cut the stored line in two.
std::string AvoidStoredCr(std::string line, std::size_t from, std::size_t to) {
  std::string mask(line.size(), '\0');
  XorCrypt(mask, kSkinKey);
  for (std::size_t p = from; p < to; ++p) {
    if ((line[p] ^ mask[p]) == '\r') ++line[p];
  }
  return line;
}

std::string Repeat(const std::string& part, std::size_t times, const std::string& separator) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += (i ? separator : "") + part;
  return out;
}

void ExpectLines(const fs::path& folder, const std::vector<std::string>& lines) {
  EXPECT_EQ(DecipherLines(ReadAll(folder / "Skin.vsk")), lines);
}

const Row kRows[] = {
    // --- Pictures: each is a hard error, since the new Skin.vsk would name a
    // bitmap that could not be made.
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
     [](const fs::path& made) { EXPECT_TRUE(fs::is_regular_file(made / "back.bmp")); }},
    {"BaseFolderNamed1x1MakesThePictureTooLarge",
     [](Skin& s) {
       // Factors of 1/1024 would make the 40 x 32 background 40960 pixels wide.
       s.base_name = "1x1";
       s.base_width = 1;
       s.base_height = 1;
       s.Lines(kGoodLines);
       s.File("back.bmp", testing::BmpFile(40, 32));
     },
     Ending::kError, "back.bmp", "zu groß"},

    // --- The skin file.
    {"SkinFileMissing", [](Skin& s) { fs::remove(s.dir().path() / s.base() / "Skin.vsk"); },
     Ending::kError, "Skin.vsk", "fehlt"},
    {"SkinFileEmpty",  // as the format says: a folder with only the arrows
     [](Skin& s) { s.File("Skin.vsk", ""); }, Ending::kClean, "", "", 0,
     [](const fs::path& made) {
       EXPECT_EQ(testing::Names(made), std::vector<std::string>{"ArrowT.bmp"});
     }},
    {"SingleTenMegabyteLine",
     [](Skin& s) {
       // No byte of the stored line is a CR, so it stays one line, and the
       // caption is carried over byte for byte.
       std::string line = "Titel.Caption=" + std::string(10 * 1024 * 1024, 'A');
       s.Lines({AvoidStoredCr(line, 14, line.size())});
     },
     Ending::kClean, "", "", 0,
     [](const fs::path& made) {
       std::vector<std::string> lines = DecipherLines(ReadAll(made / "Skin.vsk"));
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
     [](const fs::path& made) {
       std::vector<std::string> lines = DecipherLines(ReadAll(made / "Skin.vsk"));
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
     [](const fs::path& made) {
       std::vector<std::string> lines = DecipherLines(ReadAll(made / "Skin.vsk"));
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
     [](const fs::path& made) {
       ExpectLines(made, {"Titel.Caption=\x81\x8D\x8F\x90\x9D", "gfxHintergrund=b\x81\x9D.bmp"});
       EXPECT_TRUE(fs::is_regular_file(made / PathFromCp1252("b\x81\x9D.bmp")));
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
     [](const fs::path& made) {
       ExpectLines(
           made, {"Form=Jukebox", "gfxHintergrund=back.bmp", "Titel.Left=96", "Liste.FontSize=0"});
     }},

    // --- Bitmap names: one that would leave the skin's folder or that Windows
    // would read as another file is refused with a warning and never read
    // (every row checks what was read).
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

    // --- Links. Replacing the target folder removes a link, never what it
    // points to. A link in the base folder is not followed: through one, a
    // skin could have the elevated program copy a file its maker may not
    // read into the skin.
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

// ctest lists a row by its name, not by its bytes.
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class HostileSkinTest : public ::testing::TestWithParam<Row> {};

// Every entry of `folder` and below, links listed as links and not entered.
std::map<std::string, std::string> SnapshotWithoutFollowing(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::string name = fs::relative(it->path(), folder).generic_string();
    if (it->is_symlink()) {
      entries[name] = "<link>";
    } else {
      entries[name] = it->is_directory() ? "<folder>" : ReadAll(it->path());
    }
  }
  return entries;
}

void ExpectInside(const fs::path& path, const fs::path& folder, const char* what) {
  fs::path relative = path.lexically_normal().lexically_relative(folder.lexically_normal());
  EXPECT_TRUE(!relative.empty() && *relative.begin() != "..")
      << what << " outside " << folder << ": " << path;
}

TEST_P(HostileSkinTest, EndsIdleWithTheDiskInOrder) {
  const Row& row = GetParam();
  testing::TestFolder dir;
  Skin skin(dir);
  row.make(skin);
  if (::testing::Test::HasFatalFailure()) return;
  if (!skin.no_links.empty()) {
    GTEST_SKIP() << "this system cannot make a symbolic link here: " << skin.no_links;
  }

  const fs::path skin_folder = dir.path() / "Skins" / "Demo";
  const fs::path base = dir.path() / skin.base();
  const fs::path new_folder = skin_folder / "1024x768";
  const auto base_before = Snapshot(base);
  const auto old_before = Snapshot(new_folder);
  const auto outside_before = Snapshot(dir.path() / "outside");

  RunRequest in = DemoInputs(dir.path() / "Skins");
  in.base = {skin.base_name, skin.base_width, skin.base_height};
  RecordingCaller port(in);
  port.answer_yes = true;
  FaultyFileSystem files;  // no faults: it only keeps the paths it was given
  ConversionRun run(files, port);
  RunResult result = port.Execute(run);

  ASSERT_FALSE(port.events.empty());
  EXPECT_EQ(port.events.front(), "busy");
  EXPECT_EQ(port.events.back(), "idle");
  EXPECT_EQ(Snapshot(base), base_before);
  EXPECT_EQ(Snapshot(dir.path() / "outside"), outside_before);
  for (const std::string& name : testing::Names(skin_folder)) {
    EXPECT_NE(name.front(), '~') << "left behind: " << name;
  }
  // Where a read really went, links followed.
  for (const fs::path& read : files.Paths(FaultyFileSystem::Op::kRead)) {
    ExpectInside(fs::weakly_canonical(read), fs::weakly_canonical(base), "read");
  }
  for (auto op : {FaultyFileSystem::Op::kWrite, FaultyFileSystem::Op::kRemove,
                  FaultyFileSystem::Op::kRename, FaultyFileSystem::Op::kMakeDirectory}) {
    for (const fs::path& touched : files.Paths(op)) ExpectInside(touched, skin_folder, "changed");
  }

  switch (row.ending) {
    case Ending::kError:
      EXPECT_EQ(result.outcome, RunOutcome::kFailed);
      ASSERT_EQ(port.messages.size(), 1u);
      EXPECT_EQ(port.messages[0].first, MessageKind::kError);
      EXPECT_NE(port.messages[0].second.find(row.names), std::string::npos)
          << port.messages[0].second;
      EXPECT_NE(port.messages[0].second.find(row.cause), std::string::npos)
          << port.messages[0].second;
      EXPECT_EQ(Snapshot(new_folder), old_before);
      break;
    case Ending::kWarning:
    case Ending::kClean: {
      ASSERT_EQ(result.outcome, RunOutcome::kSucceeded) << result.message;
      ASSERT_EQ(port.messages.size(), 1u);
      EXPECT_EQ(port.messages[0], std::make_pair(MessageKind::kSuccess, std::string(kSuccessText)));
      // Replaced by a complete new folder: none of the old files, every new one.
      EXPECT_FALSE(fs::is_symlink(new_folder));
      EXPECT_EQ(SnapshotWithoutFollowing(new_folder).count("old.bmp"), 0u);
      EXPECT_EQ(SnapshotWithoutFollowing(new_folder).count("elsewhere"), 0u);
      EXPECT_TRUE(fs::exists(new_folder / "ArrowT.bmp"));
      if (row.ending == Ending::kClean) {
        EXPECT_TRUE(port.warnings.empty()) << port.warnings[0].text;
      } else {
        ASSERT_EQ(port.warnings.size(), 1u);
        EXPECT_EQ(port.warnings[0].line, row.line);
        EXPECT_NE(port.warnings[0].text.find(row.names), std::string::npos)
            << port.warnings[0].text;
        EXPECT_NE(port.warnings[0].text.find(row.cause), std::string::npos)
            << port.warnings[0].text;
        // The rest of the skin converted as usual.
        std::vector<std::string> lines = DecipherLines(ReadAll(new_folder / "Skin.vsk"));
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[2], "Titel.Left=96");
        EXPECT_TRUE(fs::exists(new_folder / "back.bmp"));
      }
      if (row.check) row.check(new_folder);
      break;
    }
    case Ending::kSameAsBase:
      EXPECT_EQ(result.outcome, RunOutcome::kSameAsBase);
      ASSERT_EQ(port.messages.size(), 1u);
      EXPECT_EQ(port.messages[0].second, kSameAsBaseText);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileSkinTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

// A picture larger than any picture allowed is refused before it is read: a
// 32-bit program would otherwise spend its memory on it, or fail to. The
// file is sparse, so the test costs no disk.
TEST(OversizedFileTest, IsRefusedBeforeItIsRead) {
  testing::TestFolder dir;
  Skin skin(dir);
  const fs::path huge = dir.path() / skin.base() / "back.bmp";
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

// Pictures that once hurt a decoder, found by the fuzz targets or while
// writing them: each must decode to exactly these pixels, or fail with this
// reason, the same way every time.
struct DecoderRegression {
  const char* name;
  std::string bytes;
  std::string reason;                            // empty: must decode
  std::vector<std::array<std::uint8_t, 3>> row;  // blue, green, red of row 0
};

void PrintTo(const DecoderRegression& row, std::ostream* out) { *out << row.name; }

class DecoderRegressionTest : public ::testing::TestWithParam<DecoderRegression> {};

TEST_P(DecoderRegressionTest, DecodesTheSameEveryTime) {
  const DecoderRegression& row = GetParam();
  Image image;
  std::string reason;
  bool decoded = DecodePicture(
      {reinterpret_cast<const std::uint8_t*>(row.bytes.data()), row.bytes.size()}, &image, &reason);
  if (!row.reason.empty()) {
    EXPECT_FALSE(decoded);
    EXPECT_EQ(reason, row.reason);
    return;
  }
  ASSERT_TRUE(decoded) << reason;
  ASSERT_EQ(image.width, static_cast<std::int32_t>(row.row.size()));
  for (std::size_t x = 0; x < row.row.size(); ++x) {
    const std::uint8_t* p = image.Row(0) + 3 * x;
    EXPECT_EQ((std::array<std::uint8_t, 3>{p[0], p[1], p[2]}), row.row[x]) << "pixel " << x;
  }
}

// A 2 x 1 GIF: palette red, green, blue, white; background blue; pixels
// red and green, green transparent by a control block of `length` bytes.
std::string TwoPixelGif(char length) {
  std::string gif = "GIF89a";
  gif += std::string("\x02\x00\x01\x00\x81\x02\x00", 7);
  gif += std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12);
  gif += std::string("\x21\xF9", 2) + length + std::string("\x01\x00\x00\x01", 4);
  gif += std::string(static_cast<std::size_t>(length) - 4, '\0') + '\0';
  gif += std::string("\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00", 10);
  // LZW, 2-bit codes: clear, 0, 1, end, packed into 3-bit codes.
  gif += std::string("\x02\x02\x44\x0A\x00\x3B", 6);
  return gif;
}

constexpr std::array<std::uint8_t, 3> kRed = {0, 0, 255};
constexpr std::array<std::uint8_t, 3> kGreen = {0, 255, 0};
constexpr std::array<std::uint8_t, 3> kBlue = {255, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Rows, DecoderRegressionTest,
    ::testing::Values(
        DecoderRegression{"GifControlBlockOfFourBytes", TwoPixelGif(4), "", {kRed, kBlue}},
        // giflib refuses to read a longer block; its transparency was then
        // whatever the stack held. Now it has none, as on Windows.
        DecoderRegression{"GifControlBlockOfFiveBytes", TwoPixelGif(5), "", {kRed, kGreen}}),
    [](const ::testing::TestParamInfo<DecoderRegression>& info) { return info.param.name; });

}  // namespace
}  // namespace fendrix

#pragma once

// For tests only: the skin that every hostile row starts from, and the row
// itself. The rows live in one file per kind of hostility
// (hostile_skin_*_test.cpp); the checks every row must pass are in
// hostile_skin_test.cpp.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "conversion/run/test_skin.h"
#include "conversion/skin_text/cipher.h"
#include "support/test_folder.h"

namespace fendrix::testing::hostile {

/// How a row must end.
enum class Ending {
  kError,       ///< run failed: one error message naming `names` and `cause`
  kWarning,     ///< run succeeded with exactly one warning, on `line`
  kClean,       ///< run succeeded without a warning
  kSameAsBase,  ///< refused: the new folder would be the base folder
};

/// The skin every row starts from; a row changes what it needs. A function,
/// not an inline variable: the i686 linker warns that such a variable's
/// section differs in size between the files that include this one.
inline std::vector<std::string> GoodLines() {
  return {"Form=Jukebox", "gfxHintergrund=back.bmp", "Titel.Left=120"};
}

/// A skin of 1280x1024 beside an old 1024x768 folder, and a file outside
/// the skin that no run may touch, in memory.
class Skin {
 public:
  explicit Skin(MemoryFolder& dir) : dir_(dir) {
    Lines(GoodLines());
    File("back.bmp", BmpFile(40, 32));
    File("ArrowT.bmp", BmpFile(5, 5));
    dir_.Write("Skins/Demo/1024x768/Skin.vsk", "old");
    dir_.Write("Skins/Demo/1024x768/old.bmp", BmpFile(3, 3));
    dir_.Write("outside/secret.bmp", BmpFile(2, 2));
  }

  /// Replaces the base folder's Skin.vsk with these plain lines.
  void Lines(const std::vector<std::string>& lines) { File("Skin.vsk", EncipherLines(lines)); }
  /// The good lines followed by one more (line 4).
  void AddLine(const std::string& line) {
    std::vector<std::string> lines = GoodLines();
    lines.push_back(line);
    Lines(lines);
  }
  /// Writes a file of the base folder.
  void File(const std::filesystem::path& name, const std::string& bytes) {
    dir_.Write(base() / name, bytes);
  }
  /// Removes a file of the base folder.
  void Remove(const std::filesystem::path& name) { RemoveAt(dir_.path() / base() / name); }
  /// The good skin with its background replaced by `bytes` under `name`.
  void Background(const std::string& name, const std::string& bytes) {
    Lines({"Form=Jukebox", "gfxHintergrund=" + name, "Titel.Left=120"});
    Remove("back.bmp");
    File(name, bytes);
  }

  /// Makes `link` (below the skin folder) a link to `target` (below the
  /// test folder), replacing what stood there.
  void Link(const std::filesystem::path& link, const std::filesystem::path& target) {
    const std::filesystem::path at = dir_.path() / "Skins" / "Demo" / link;
    RemoveAt(at);
    dir_.files.AddLink(at, dir_.path() / target);
  }

  /// The base folder, below the test folder.
  std::filesystem::path base() const { return std::filesystem::path("Skins") / "Demo" / base_name; }
  /// The test folder the skin lies in.
  MemoryFolder& dir() const { return dir_; }

  std::string base_name = "1280x1024";
  std::int16_t base_width = 1280;
  std::int16_t base_height = 1024;

 private:
  void RemoveAt(const std::filesystem::path& path) {
    std::string ignored;
    dir_.files.RemoveTree(path, &ignored);
  }

  MemoryFolder& dir_;
};

/// A skin built to hurt, and how its conversion must end.
struct Row {
  const char* name;
  std::function<void(Skin&)> make;
  Ending ending;
  std::string names;     // the file the message or warning names
  std::string cause;     // what it says about it
  std::size_t line = 0;  // for kWarning
  // For rows that succeed: what the new folder must hold beyond completeness.
  std::function<void(FileSystem& files, const std::filesystem::path& new_folder)> check = nullptr;
};

/// ctest lists a row by its name, not by its bytes.
inline void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

/// The test name of a row.
inline std::string RowName(const ::testing::TestParamInfo<Row>& info) { return info.param.name; }

/// Every row runs the one test of hostile_skin_test.cpp; each file of rows
/// instantiates it with its own.
class HostileSkinTest : public ::testing::TestWithParam<Row> {};

/// `line` with the letters in [from, to) changed where the cipher would turn
/// them into a CR, which would cut the stored line in two.
inline std::string AvoidStoredCr(std::string line, std::size_t from, std::size_t to) {
  std::string mask(line.size(), '\0');
  XorCrypt(mask, kSkinKey);
  for (std::size_t p = from; p < to; ++p) {
    if ((line[p] ^ mask[p]) == '\r') ++line[p];
  }
  return line;
}

/// `part` `times` times, with `separator` between.
inline std::string Repeat(const std::string& part, std::size_t times,
                          const std::string& separator) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += (i ? separator : "") + part;
  return out;
}

}  // namespace fendrix::testing::hostile

// The whole conversion run on a skin whose Skin.vsk is the input (after a
// first byte that picks the new resolution), in a temporary skins folder with
// a few bitmaps, an old target folder to replace and a file outside the skin
// as bait. Whatever the file says, the run must end idle, read nothing
// outside the base folder, write nothing outside the skin folder, leave the
// base folder as it was and no staging folder, set-aside folder or lock file
// behind, and either keep the old target or replace it by a complete new one.

#include <unistd.h>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "conversion/run/conversion_run.h"
#include "conversion/run/test_skin.h"
#include "fuzz_check.h"
#include "support/faulty_file_system.h"
#include "support/path_text.h"

namespace {

namespace fs = std::filesystem;
using fendrix::testing::FaultyFileSystem;

struct Resolution {
  const char* width;
  const char* height;
};

// The last one is the base itself, which the run must refuse.
constexpr std::array<Resolution, 5> kTargets = {
    {{"1024", "768"}, {"800", "600"}, {"1920", "1200"}, {"640", "480"}, {"1280", "1024"}}};

void Write(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Lexically inside `folder` (both absolute and free of links here).
bool Inside(const fs::path& path, const fs::path& folder) {
  fs::path relative = path.lexically_normal().lexically_relative(folder);
  return !relative.empty() && *relative.begin() != "..";
}

class Workplace {
 public:
  Workplace() {
    root_ = fs::temp_directory_path() / ("fendrix-run-fuzz-" + std::to_string(getpid()));
    fs::remove_all(root_);
    base_ = skin() / "1280x1024";
    Write(base_ / "back.bmp", fendrix::testing::BmpFile(20, 16));
    Write(base_ / "sub" / "close.bmp", fendrix::testing::BmpFile(6, 5));
    Write(base_ / "such.jpg", fendrix::testing::BmpFile(3, 40));  // a BMP under another name
    Write(base_ / "ArrowT.bmp", fendrix::testing::BmpFile(4, 4));
    Write(root_ / "secret.bmp", fendrix::testing::BmpFile(2, 2));
    Write(skin() / "secret.bmp", fendrix::testing::BmpFile(2, 2));
  }
  ~Workplace() { fs::remove_all(root_); }

  fs::path skin() const { return root_ / "Skins" / "Demo"; }
  const fs::path& base() const { return base_; }
  const fs::path& root() const { return root_; }

 private:
  fs::path root_;
  fs::path base_;
};

// The run read only the base folder and changed only the skin folder outside
// it, and left nothing of its own (a "~" name) behind.
void CheckTouchedPaths(FaultyFileSystem& files, const Workplace& place) {
  for (const fs::path& read : files.Paths(FaultyFileSystem::Op::kRead)) {
    FUZZ_CHECK(Inside(read, place.base()));
  }
  for (FaultyFileSystem::Op op :
       {FaultyFileSystem::Op::kWrite, FaultyFileSystem::Op::kRename, FaultyFileSystem::Op::kRemove,
        FaultyFileSystem::Op::kMakeDirectory, FaultyFileSystem::Op::kSync,
        FaultyFileSystem::Op::kLock, FaultyFileSystem::Op::kCheck}) {
    for (const fs::path& touched : files.Paths(op)) {
      FUZZ_CHECK(Inside(touched, place.skin()) && !Inside(touched, place.base()));
    }
  }
  for (const fs::path& entry : fs::directory_iterator(place.skin())) {
    FUZZ_CHECK(entry.filename().string().front() != '~');
  }
}

// The old target replaced by a complete new folder, or kept as it was.
void CheckOutcome(const fendrix::RunResult& result, const fendrix::testing::RecordingCaller& port,
                  const fs::path& new_folder, const std::string& new_name,
                  const std::map<std::string, std::string>& old_before) {
  switch (result.outcome) {
    case fendrix::RunOutcome::kSucceeded: {
      FUZZ_CHECK(!fs::exists(new_folder / "old.txt"));
      // A line that enciphers to a CR reads back as two, as the format says.
      const fs::path written = new_folder / "Skin.vsk";
      FUZZ_CHECK(fs::exists(written) == (result.lines_written > 0));
      FUZZ_CHECK(fendrix::testing::DecipherLines(fendrix::testing::ReadAll(written)).size() >=
                 result.lines_written);
      for (const fs::directory_entry& entry : fs::directory_iterator(new_folder)) {
        FUZZ_CHECK(entry.is_regular_file());
      }
      break;
    }
    case fendrix::RunOutcome::kFailed:
      FUZZ_CHECK(fendrix::testing::Snapshot(new_folder) == old_before);
      FUZZ_CHECK(port.messages.size() == 1 && !result.message.empty());
      break;
    case fendrix::RunOutcome::kSameAsBase:
      FUZZ_CHECK(new_name == "1280x1024");
      break;
    default:
      FUZZ_CHECK(false);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Workplace place;
  if (size == 0) return 0;
  const Resolution& target = kTargets[data[0] % kTargets.size()];
  const std::string new_name = std::string(target.width) + "x" + target.height;
  const fs::path new_folder = place.skin() / new_name;

  // Every run starts from the same disk: the input as Skin.vsk, an old target.
  for (const fs::path& entry : fs::directory_iterator(place.skin())) {
    if (entry.filename() != "1280x1024" && entry.filename() != "secret.bmp") fs::remove_all(entry);
  }
  Write(place.base() / "Skin.vsk", std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  if (new_name != "1280x1024") Write(new_folder / "old.txt", "old");
  const auto base_before = fendrix::testing::Snapshot(place.base());
  const auto old_before = fendrix::testing::Snapshot(new_folder);

  fendrix::RunRequest in;
  in.new_width_text = target.width;
  in.new_height_text = target.height;
  in.skins_path = place.root() / "Skins";
  in.skin = "Demo";
  in.decimal_separator = data[0] & 0x80 ? '.' : ',';
  fendrix::testing::RecordingCaller port(in);
  port.answer_yes = true;
  FaultyFileSystem files;
  fendrix::ConversionRun run(files, port);
  fendrix::RunResult result = port.Execute(run);

  FUZZ_CHECK(!port.events.empty() && port.events.back() == "idle");
  FUZZ_CHECK(fendrix::testing::Snapshot(place.base()) == base_before);
  CheckTouchedPaths(files, place);
  CheckOutcome(result, port, new_folder, new_name, old_before);
  return 0;
}

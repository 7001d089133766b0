#include "conversion/conversion_run.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <numeric>
#include <optional>

#include "conversion/cipher.h"
#include "conversion/line_rewriter.h"
#include "conversion/scaler.h"
#include "support/file_helpers.h"
#include "support/large_buffer.h"
#include "support/link_check.h"
#include "support/numbers.h"
#include "support/path_text.h"
#include "support/text_lines.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

constexpr std::array<std::string_view, 4> kArrowBitmaps = {"ArrowT.bmp", "ArrowB.bmp",
                                                           "ArrowTD.bmp", "ArrowBD.bmp"};

// The smallest screen a skin is made for.
constexpr std::int32_t kMinimumWidth = 640;
constexpr std::int32_t kMinimumHeight = 480;

std::optional<std::int32_t> ReadSize(const std::string& text, char decimal_separator) {
  std::optional<double> number = ParseNumber(text, decimal_separator);
  return number ? RoundToInt32(*number) : std::nullopt;
}

// Names of the folders a run works in beside the new folder. They hold no
// resolution a skin could mean ("~1024" is not a number), so the player and
// the lists never take them for one.
fs::path StagingFolder(const fs::path& skin_folder, const std::string& new_name) {
  return skin_folder / PathFromUtf8("~" + new_name + ".neu");
}
fs::path RetiredFolder(const fs::path& skin_folder, const std::string& new_name) {
  return skin_folder / PathFromUtf8("~" + new_name + ".alt");
}

// The bytes CryptLine XORs into a line of the skin file, worked out once per
// run with XorCrypt itself: they depend only on a byte's position and the
// key, and repeat every lcm(key length, 256) bytes. A line is then one XOR
// pass, eight bytes at a time, deciphered or enciphered alike.
class LineMask {
 public:
  explicit LineMask(std::string_view key)
      : mask_(key.empty() ? 256 : std::lcm(key.size(), std::size_t{256}), '\0') {
    XorCrypt(mask_, key);
  }

  /// `to` = `from` XOR the mask, for `size` bytes; the two must not overlap.
  void Apply(const char* from, char* to, std::size_t size) const {
    if (size >= 8 && size <= mask_.size()) {  // nearly every line
      for (std::size_t i = 0; i + 8 <= size; i += 8) Word(from, to, i);
      Word(from, to, size - 8);
      return;
    }
    for (std::size_t start = 0; start < size; start += mask_.size()) {
      const std::size_t n = std::min(mask_.size(), size - start);
      if (n < 8) {
        for (std::size_t i = 0; i < n; ++i) to[start + i] = from[start + i] ^ mask_[i];
        continue;
      }
      // Whole words, then the last eight bytes once more: they are worked
      // out from `from` again, so bytes done twice come out the same.
      for (std::size_t i = 0; i + 8 <= n; i += 8) Word(from + start, to + start, i);
      Word(from + start, to + start, n - 8);
    }
  }

 private:
  void Word(const char* from, char* to, std::size_t at) const {
    std::uint64_t bytes, key;
    std::memcpy(&bytes, from + at, 8);
    std::memcpy(&key, mask_.data() + at, 8);
    bytes ^= key;
    std::memcpy(to + at, &bytes, 8);
  }

  std::string mask_;
};

// The new Skin.vsk: enciphered lines, each with its CR LF, in one buffer
// that is sized once for the usual case and never filled beforehand.
class SkinFileBuffer {
 public:
  explicit SkinFileBuffer(std::size_t expected)
      : capacity_(expected), data_(std::make_unique_for_overwrite<char[]>(capacity_)) {
    ExpectFullUse(data_.get(), capacity_);
  }

  /// Appends `plain` enciphered with `mask`, then the line end.
  void AppendLine(const LineMask& mask, std::string_view plain) {
    const std::size_t needed = plain.size() + kLineEnd.size();
    if (capacity_ - used_ < needed) {
      capacity_ = std::max(2 * capacity_, used_ + needed);
      auto larger = std::make_unique_for_overwrite<char[]>(capacity_);
      std::memcpy(larger.get(), data_.get(), used_);
      data_ = std::move(larger);
    }
    char* out = data_.get() + used_;
    mask.Apply(plain.data(), out, plain.size());
    std::memcpy(out + plain.size(), kLineEnd.data(), kLineEnd.size());
    used_ += needed;
  }

  std::string_view bytes() const { return {data_.get(), used_}; }

 private:
  std::size_t capacity_;
  std::size_t used_ = 0;
  std::unique_ptr<char[]> data_;
};

// Puts the complete staging folder in the new folder's place. An old folder
// steps aside first and is removed only once the new one has its name; if
// that step fails, the old folder goes back.
bool SwapIn(FileSystem& fs, const fs::path& staging, const fs::path& new_folder,
            const fs::path& retired, bool replace, std::vector<RunWarning>* warnings,
            std::string* err) {
  if (!replace) return fs.Rename(staging, new_folder, err);
  if (!fs.RemoveTree(retired, err) || !fs.Rename(new_folder, retired, err)) return false;
  if (!fs.Rename(staging, new_folder, err)) {
    std::string restore_err;
    if (!fs.Rename(retired, new_folder, &restore_err)) {
      *err += "; der alte Ordner liegt unter " + DisplayPath(retired);
    }
    return false;
  }
  std::string remove_err;
  if (!fs.RemoveTree(retired, &remove_err)) {
    warnings->push_back({0, "Alter Ordner konnte nicht entfernt werden: " + remove_err});
  }
  return true;
}

}  // namespace

ConversionRun::ConversionRun(FileSystem& fs, RunPort& port, RunOptions options)
    : fs_(fs), port_(port), options_(options) {}

RunResult ConversionRun::Execute() {
  busy_ = false;
  staging_.clear();
  try {
    return Run();
  } catch (const std::exception& e) {
    // Memory running out in a 32-bit program, or a failure no check
    // foresaw: the run still ends as a failed run does, and the window
    // comes back to life.
    RunResult result;
    result.outcome = RunOutcome::kFailed;
    result.error =
        std::string("Der Skin konnte nicht umgewandelt werden (") +
        (dynamic_cast<const std::bad_alloc*>(&e) ? "zu wenig Arbeitsspeicher" : e.what()) + ")";
    std::string ignored;
    if (!staging_.empty()) fs_.RemoveTree(staging_, &ignored);
    if (busy_) port_.EnterIdle();
    port_.ShowMessage(MessageKind::kError, result.error);
    return result;
  }
}

RunResult ConversionRun::Run() {
  const auto started = std::chrono::steady_clock::now();
  RunResult result;
  const RunInputs in = port_.ReadInputs();

  std::optional<std::int32_t> width = ReadSize(in.new_width_text, in.decimal_separator);
  std::optional<std::int32_t> height = ReadSize(in.new_height_text, in.decimal_separator);
  if (!width || !height || *width < kMinimumWidth || *height < kMinimumHeight) {
    port_.ShowMessage(MessageKind::kInvalidResolution, kInvalidResolutionText);
    result.outcome = RunOutcome::kInvalidResolution;
    return result;
  }

  port_.EnterBusy();
  busy_ = true;
  const fs::path skin_folder = FindEntry(fs_, in.skins_path, in.skin);
  const fs::path base_folder = FindEntry(fs_, skin_folder, PathFromUtf8(in.base.name));
  const std::string new_name = std::to_string(*width) + "x" + std::to_string(*height);
  const fs::path new_folder = skin_folder / PathFromUtf8(new_name);
  result.new_folder = new_folder;
  factors_ = ComputeFactors(in.base.width, in.base.height, *width, *height);

  // Replacing the base folder would destroy the very files the run reads.
  if (NamesEqualIgnoringCase(PathFromUtf8(new_name), base_folder.filename())) {
    port_.EnterIdle();
    port_.ShowMessage(MessageKind::kError, kSameAsBaseText);
    result.outcome = RunOutcome::kSameAsBase;
    return result;
  }

  const bool replace = fs_.Stat(new_folder) != EntryKind::kMissing;
  if (replace && !in.auto_mode && !port_.ConfirmReplace(kReplaceQuestionText)) {
    port_.EnterIdle();
    result.outcome = RunOutcome::kReplaceDeclined;
    return result;
  }

  const fs::path staging = StagingFolder(skin_folder, new_name);
  staging_ = staging;
  std::string err;
  auto fail = [&](std::string message) {
    // A staging folder that stays is cleared by the next run; until then the
    // user should know why it is there.
    std::string cleanup_err;
    if (!fs_.RemoveTree(staging, &cleanup_err)) {
      message += "; der Zwischenordner " + DisplayPath(staging) + " bleibt zurück: " + cleanup_err;
    }
    port_.EnterIdle();
    port_.ShowMessage(MessageKind::kError, message);
    result.outcome = RunOutcome::kFailed;
    result.error = std::move(message);
    result.elapsed = std::chrono::steady_clock::now() - started;
    return result;
  };

  const fs::path source_file = FindEntry(fs_, base_folder, PathFromUtf8(kSkinFileName));
  if (!FileExists(fs_, source_file)) {
    return fail("Skin-Datei fehlt: " + DisplayPath(source_file));
  }
  // Through a link the new folder would get, enciphered, a file that the
  // skin's maker may not read.
  if (IsLinkOrJunction(source_file)) {
    return fail("Skin-Datei wird nicht gelesen, sie ist eine Verknüpfung: " +
                DisplayPath(source_file));
  }
  std::string source;
  if (!fs_.ReadFile(source_file, &source, &err)) return fail(err);

  // A folder left by a run that was cut off is ours to clear.
  if (!fs_.RemoveTree(staging, &err) || !CreatePath(fs_, staging, &err)) return fail(err);

  ScaleContext bitmaps{fs_,
                       base_folder,
                       staging,
                       factors_,
                       options_.filter,
                       options_.twips_per_pixel_x,
                       options_.twips_per_pixel_y};
  const std::size_t line_count = CountLines(source);
  SkinFileBuffer written(source.size() + source.size() / 8);
  LineReader reader(source);
  std::size_t number = 0;
  const LineMask mask(kSkinKey);
  // Each line is deciphered into `plain` and rewritten into
  // `rewritten_plain`; both only ever grow.
  std::string plain, rewritten_plain;
  for (std::string_view stored; reader.Next(&stored);) {
    ++number;
    port_.SetProgress(
        static_cast<float>(100.0 / static_cast<double>(line_count) * static_cast<double>(number)));
    const std::size_t room = stored.size() + kRewriteGrowth;
    if (plain.size() < room) {
      plain.resize(room);
      rewritten_plain.resize(room);
    }
    mask.Apply(stored.data(), plain.data(), stored.size());
    const LineRewrite rewritten = RewriteLineInto({plain.data(), stored.size()}, factors_,
                                                  in.decimal_separator, rewritten_plain.data());
    if (!rewritten.written) continue;
    const std::string_view line(rewritten_plain.data(), rewritten.size);
    if (rewritten.kept_value) bitmaps.warnings.push_back({number, KeptValueWarning(line)});
    if (rewritten.names_bitmap && !ScaleBitmap(bitmaps, rewritten.bitmap, number, &err)) {
      return fail(err);
    }
    written.AppendLine(mask, line);
    ++result.lines_written;
  }
  // A skin file without a single line is not written at all.
  if (result.lines_written > 0 &&
      !fs_.WriteFile(staging / PathFromUtf8(kSkinFileName), written.bytes(), &err)) {
    return fail(err);
  }

  for (std::string_view arrow : kArrowBitmaps) {
    if (FileExists(fs_, FindEntry(fs_, base_folder, PathFromUtf8(arrow))) &&
        !ScaleBitmap(bitmaps, arrow, 0, &err)) {
      return fail(err);
    }
  }

  if (!SwapIn(fs_, staging, new_folder, RetiredFolder(skin_folder, new_name), replace,
              &bitmaps.warnings, &err)) {
    return fail(err);
  }

  result.bitmaps_scaled = bitmaps.scaled;
  result.bitmaps_copied = bitmaps.copied;
  result.warnings = std::move(bitmaps.warnings);
  result.outcome = RunOutcome::kSucceeded;
  result.elapsed = std::chrono::steady_clock::now() - started;

  port_.EnterIdle();
  if (!result.warnings.empty()) port_.ReportWarnings(result.warnings);
  if (!in.auto_mode) port_.ShowMessage(MessageKind::kSuccess, kSuccessText);
  return result;
}

}  // namespace fendrix

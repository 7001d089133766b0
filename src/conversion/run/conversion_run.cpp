#include "conversion/run/conversion_run.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "conversion/skin_text/cipher.h"
#include "conversion/skin_text/line_rewriter.h"
#include "conversion/run/run_lock.h"
#include "conversion/imaging/scaler.h"
#include "conversion/run/staged_folder.h"
#include "support/file_helpers.h"
#include "support/file_lines.h"
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

// One folder name, not a path that leads elsewhere.
bool IsSkinName(const fs::path& skin) {
  return !skin.empty() && skin == skin.filename() && skin != "." && skin != "..";
}

std::optional<std::int32_t> ReadSize(const std::string& text, char decimal_separator) {
  std::optional<double> number = ParseNumber(text, decimal_separator);
  return number ? RoundToInt32(*number) : std::nullopt;
}

// The new Skin.vsk, gathered in a buffer and handed to the file in large
// pieces. The file is created with the first line: a skin file without a
// single line is not written at all.
class SkinFileOutput {
 public:
  SkinFileOutput(FileSystem& fs, fs::path path)
      : fs_(fs), path_(std::move(path)), buffer_(NewBuffer(capacity_)) {}

  /// Appends one plain line, given in two pieces, enciphered and ended. Both
  /// pieces must have kLinePadding bytes of room after them.
  bool AppendLine(std::string_view front, std::string_view tail, const LineMask& mask,
                  std::string* err) {
    const std::size_t needed = front.size() + tail.size() + kLineEnd.size();
    if (capacity_ - used_ < needed && !MakeRoom(needed, err)) return false;
    char* out = buffer_.get() + used_;
    // Whole words are moved: what lands behind a piece is overwritten by
    // the next piece, the line end or the next line.
    mask.ApplyPadded(front.data(), out, front.size());
    mask.ApplyPadded(tail.data(), out + front.size(), tail.size(), front.size());
    std::memcpy(out + front.size() + tail.size(), kLineEnd.data(), kLineEnd.size());
    used_ += needed;
    return true;
  }

  /// Writes the rest and closes the file, which is complete only then.
  bool Finish(std::string* err) {
    if (!Flush(err)) return false;
    return !file_ || std::exchange(file_, nullptr)->Close(err);
  }

 private:
  bool Flush(std::string* err) {
    if (used_ == 0) return true;
    if (!file_ && !(file_ = fs_.OpenForWriting(path_, err))) return false;
    if (!file_->Write({buffer_.get(), used_}, err)) return false;
    used_ = 0;
    return true;
  }

  // Writes what the buffer holds; a line longer than the whole buffer gets
  // a larger one.
  bool MakeRoom(std::size_t needed, std::string* err) {
    if (!Flush(err)) return false;
    if (needed > capacity_) {
      capacity_ = needed;
      buffer_ = NewBuffer(capacity_);
    }
    return true;
  }

  // Room for the lines and, after them, for what the whole-word moves of the
  // last line put there.
  static std::unique_ptr<char[]> NewBuffer(std::size_t capacity) {
    return std::make_unique_for_overwrite<char[]>(capacity + kLinePadding);
  }

  FileSystem& fs_;
  fs::path path_;
  std::unique_ptr<FileWriter> file_;
  // Large enough that the calls into the system do not count (the kernel
  // takes fewer, larger pieces measurably faster), small enough to stay in
  // the processor's second-level cache.
  std::size_t capacity_ = std::size_t{256} << 10;
  std::size_t used_ = 0;
  std::unique_ptr<char[]> buffer_;
};

// The lines of the skin file are handled in batches: a whole batch is
// deciphered, then rewritten, then written. A step then reads bytes that the
// step before wrote long ago; line by line it would read them while they are
// still on their way to the cache, which stalls the processor every line.
class LineBatch {
 public:
  /// Reads and deciphers the next lines, up to 64 lines or 64 KiB (or one
  /// longer line); false when there were none left (or reading failed,
  /// which the reader tells).
  bool Fill(FileLineReader& reader, const LineMask& mask) {
    constexpr std::size_t kBytes = std::size_t{64} << 10;
    std::size_t size = 0, used = 0;
    for (std::string_view stored; size < kLines && used < kBytes && reader.Next(&stored);) {
      // Each line is followed by the next, the last by the padding.
      Reserve(plain_, used + stored.size() + kLinePadding);
      mask.ApplyPadded(stored.data(), plain_.data() + used, stored.size());
      lines_[size].plain_at = used;
      lines_[size].size = stored.size();
      ++size;
      used += stored.size();
    }
    size_ = size;
    plain_used_ = used;
    return size > 0;
  }

  /// Rewrites every line of the batch.
  void Rewrite(LineRewriter& rewriter) {
    // Room for every line of the batch to grow as much as it can.
    Reserve(tail_, plain_used_ + size_ * kRewriteGrowth + kLinePadding);
    std::size_t used = 0;
    for (Line& line : std::span(lines_.data(), size_)) {
      line.tail_at = used;
      rewriter.Rewrite(plain(line), tail_.data() + line.tail_at, &line.rewrite);
      used += line.rewrite.tail;
    }
  }

  std::size_t size() const { return size_; }
  /// The plain line, its rewrite and the tail written for it.
  std::string_view plain(std::size_t i) const { return plain(lines_[i]); }
  const LineRewrite& rewrite(std::size_t i) const { return lines_[i].rewrite; }
  std::string_view tail(std::size_t i) const {
    return {tail_.data() + lines_[i].tail_at, lines_[i].rewrite.tail};
  }

 private:
  static constexpr std::size_t kLines = 64;

  struct Line {
    std::size_t plain_at = 0;
    std::size_t size = 0;
    std::size_t tail_at = 0;
    LineRewrite rewrite;
  };

  std::string_view plain(const Line& line) const {
    return {plain_.data() + line.plain_at, line.size};
  }

  // The buffers only ever grow.
  static void Reserve(std::string& buffer, std::size_t size) {
    if (buffer.size() < size) buffer.resize(std::max(size, 2 * buffer.size()));
  }

  std::array<Line, kLines> lines_;
  std::size_t size_ = 0;
  std::size_t plain_used_ = 0;  // the bytes of the lines in `plain_`
  std::string plain_;
  std::string tail_;
};

}  // namespace

ConversionRun::ConversionRun(FileSystem& fs, RunObserver& observer, RunOptions options)
    : fs_(fs), observer_(observer), options_(options) {}

RunResult ConversionRun::Execute(const RunRequest& request) {
  busy_ = false;
  staging_.clear();
  const auto started = std::chrono::steady_clock::now();
  try {
    RunResult result = Run(request);
    lock_.reset();
    result.elapsed = std::chrono::steady_clock::now() - started;
    return result;
  } catch (const std::exception& e) {
    // Memory running out in a 32-bit program, or a failure no check
    // foresaw: the run still ends as a failed run does, and the window
    // comes back to life.
    RunResult result;
    result.outcome = RunOutcome::kFailed;
    result.message =
        std::string("Der Skin konnte nicht umgewandelt werden (") +
        (dynamic_cast<const std::bad_alloc*>(&e) ? "zu wenig Arbeitsspeicher" : e.what()) + ")";
    std::string ignored;
    if (!staging_.empty()) fs_.RemoveTree(staging_, &ignored);
    // Only now: another run could otherwise take the staging folder first.
    lock_.reset();
    if (busy_) observer_.EnterIdle();
    return result;
  }
}

RunResult ConversionRun::Run(const RunRequest& in) {
  RunResult result;

  // Without a skin the "skin folder" would be the skins folder itself, and
  // its base folder a folder of that.
  if (!IsSkinName(in.skin)) {
    result.message = kNoSkinText;
    return result;
  }
  std::optional<std::int32_t> width = ReadSize(in.new_width_text, in.decimal_separator);
  std::optional<std::int32_t> height = ReadSize(in.new_height_text, in.decimal_separator);
  if (!width || !height || *width < kMinimumWidth || *height < kMinimumHeight) {
    result.outcome = RunOutcome::kInvalidResolution;
    result.message_kind = MessageKind::kInvalidResolution;
    result.message = kInvalidResolutionText;
    return result;
  }

  observer_.EnterBusy();
  busy_ = true;
  const fs::path skin_folder = FindEntry(fs_, in.skins_path, in.skin);
  const fs::path base_folder = FindEntry(fs_, skin_folder, PathFromUtf8(in.base.name));
  const std::string new_name = std::to_string(*width) + "x" + std::to_string(*height);
  const StagedFolder folders = StagedFolderFor(skin_folder, new_name);
  result.new_folder = folders.target;
  factors_ = ComputeFactors(in.base.width, in.base.height, *width, *height);

  // Replacing the base folder would destroy the very files the run reads.
  if (NamesEqualIgnoringCase(PathFromUtf8(new_name), base_folder.filename())) {
    return Refuse(result, RunOutcome::kSameAsBase, std::string(kSameAsBaseText));
  }

  // Held to the end of the run: from here on the staging folder is ours.
  bool held_elsewhere = false;
  std::string err;
  lock_ = LockRunTarget(fs_, skin_folder, new_name, &held_elsewhere, &err);
  if (!lock_) {
    return Refuse(result, RunOutcome::kFailed,
                  held_elsewhere ? RunBusyText(in.skin, new_name) : err);
  }
  staging_ = folders.staging;
  // What a run that died left is repaired first, so that the question below
  // sees the old folder where it belongs.
  if (!RecoverLeftovers(fs_, folders, &err)) return Fail(result, err);

  const bool replace = fs_.Stat(folders.target) != EntryKind::kMissing;
  if (replace && !in.auto_mode && !observer_.ConfirmReplace(kReplaceQuestionText)) {
    return Refuse(result, RunOutcome::kReplaceDeclined, "");
  }
  // A read-only old folder is found now, not after minutes of work.
  if ((replace && !fs_.CheckRemovable(folders.target, &err)) ||
      !Build(in, base_folder, folders, replace, &result, &err)) {
    return Fail(result, err);
  }
  observer_.EnterIdle();
  result.outcome = RunOutcome::kSucceeded;
  result.message_kind = MessageKind::kSuccess;
  result.message = kSuccessText;
  return result;
}

RunResult ConversionRun::Refuse(RunResult& result, RunOutcome outcome, std::string message) {
  observer_.EnterIdle();
  result.outcome = outcome;
  result.message_kind = message.empty() ? MessageKind::kNone : MessageKind::kError;
  result.message = std::move(message);
  return result;
}

RunResult ConversionRun::Fail(RunResult& result, std::string message) {
  // A staging folder that stays is cleared by the next run; until then the
  // user should know why it is there.
  std::string cleanup_err;
  if (!fs_.RemoveTree(staging_, &cleanup_err)) {
    message += "; der Zwischenordner " + DisplayPath(staging_) + " bleibt zurück: " + cleanup_err;
  }
  return Refuse(result, RunOutcome::kFailed, std::move(message));
}

bool ConversionRun::Build(const RunRequest& in, const fs::path& base_folder,
                          const StagedFolder& folders, bool replace, RunResult* result,
                          std::string* err) {
  const fs::path source_file = FindEntry(fs_, base_folder, PathFromUtf8(kSkinFileName));
  if (!FileExists(fs_, source_file)) {
    *err = "Skin-Datei fehlt: " + DisplayPath(source_file);
    return false;
  }
  // Through a link the new folder would get, enciphered, a file that the
  // skin's maker may not read.
  if (fs_.IsLink(source_file)) {
    *err = "Skin-Datei wird nicht gelesen, sie ist eine Verknüpfung: " + DisplayPath(source_file);
    return false;
  }
  std::size_t line_count = 0;
  if (!CountLines(fs_, source_file, &line_count, err)) return false;
  if (!CreatePath(fs_, folders.staging, err)) return false;

  ScaleContext bitmaps{fs_,
                       base_folder,
                       folders.staging,
                       factors_,
                       options_.filter,
                       options_.twips_per_pixel_x,
                       options_.twips_per_pixel_y};
  if (!RewriteSkinFile(source_file, folders.staging / PathFromUtf8(kSkinFileName), line_count,
                       in.decimal_separator, bitmaps, &result->lines_written, err)) {
    return false;
  }

  for (std::string_view arrow : kArrowBitmaps) {
    if (FileExists(fs_, FindEntry(fs_, base_folder, PathFromUtf8(arrow))) &&
        !ScaleBitmap(bitmaps, arrow, 0, err)) {
      return false;
    }
  }
  result->bitmaps_scaled = bitmaps.scaled;
  result->bitmaps_copied = bitmaps.copied;
  result->warnings = std::move(bitmaps.warnings);
  return SwapIn(fs_, folders, replace, &result->warnings, err);
}

// Reads the base folder's skin file line by line and writes each line, as
// the rule rewrites it, to the new file, scaling first the bitmap a line
// names.
bool ConversionRun::RewriteSkinFile(const fs::path& source, const fs::path& target,
                                    std::size_t line_count, char decimal_separator,
                                    ScaleContext& bitmaps, std::size_t* lines_written,
                                    std::string* err) {
  std::unique_ptr<FileReader> file = fs_.OpenForReading(source, err);
  if (!file) return false;
  FileLineReader reader(*file, source);
  SkinFileOutput output(fs_, target);
  const LineMask mask(kSkinKey);
  LineRewriter rewriter(factors_, decimal_separator);
  LineBatch batch;
  std::size_t number = 0;
  while (batch.Fill(reader, mask)) {
    batch.Rewrite(rewriter);
    for (std::size_t i = 0; i < batch.size(); ++i) {
      ++number;
      // The file may have grown since it was counted.
      observer_.SetProgress(static_cast<float>(
          std::min(100.0, 100.0 / static_cast<double>(line_count) * static_cast<double>(number))));
      const LineRewrite& rewritten = batch.rewrite(i);
      if (!rewritten.written) continue;
      const std::string_view front = batch.plain(i).substr(0, rewritten.kept);
      if (rewritten.kept_value) {
        std::string line(front);
        line += batch.tail(i);
        bitmaps.warnings.push_back({number, KeptValueWarning(line)});
      }
      if (rewritten.names_bitmap && !ScaleBitmap(bitmaps, rewritten.bitmap, number, err)) {
        return false;
      }
      if (!output.AppendLine(front, batch.tail(i), mask, err)) return false;
      ++*lines_written;
    }
  }
  if (!reader.error().empty()) {
    *err = reader.error();
    return false;
  }
  return output.Finish(err);
}

}  // namespace fendrix

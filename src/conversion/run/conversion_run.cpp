#include "conversion/run/conversion_run.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "conversion/bitmap_name/bitmap_keys.h"
#include "conversion/run/bitmap_scaler.h"
#include "conversion/run/run_lock.h"
#include "conversion/run/staged_folder.h"
#include "conversion/skin_text/skin_file_rewrite.h"
#include "repository/skin_repository.h"
#include "support/file_helpers.h"
#include "support/numbers.h"
#include "support/path_text.h"

namespace fendrix {
namespace fs = std::filesystem;
namespace {

// The smallest screen a skin is made for.
constexpr std::int32_t kMinimumWidth = 640;
constexpr std::int32_t kMinimumHeight = 480;

std::optional<std::int32_t> ReadSize(const std::string& text, char decimal_separator) {
  std::optional<double> number = ParseNumber(text, decimal_separator);
  return number ? RoundToInt32(*number) : std::nullopt;
}

ConversionFactors FactorsFor(const RunRequest& in, NewSize size) {
  return in.fit == FitMode::kStretch
             ? ComputeFactors(in.base.width, in.base.height, size.width, size.height)
             : KeepAspectFactors(in.base.width, in.base.height, size.width, size.height);
}

// The screen the background fills when the proportions are kept.
std::optional<BackgroundCanvas> CanvasFor(const RunRequest& in, NewSize size,
                                          const ConversionFactors& factors) {
  if (in.fit == FitMode::kStretch) return std::nullopt;
  return BackgroundCanvas{size.width,
                          size.height,
                          factors.offset_x,
                          factors.offset_y,
                          {static_cast<std::uint8_t>(in.bar_colour & 0xFF),
                           static_cast<std::uint8_t>((in.bar_colour >> 8) & 0xFF),
                           static_cast<std::uint8_t>((in.bar_colour >> 16) & 0xFF)}};
}

// Reads the base folder's skin file line by line and writes each line, as
// the rule rewrites it, to the new file, scaling first the bitmap a line
// names.
bool RewriteSkinFile(RunObserver& observer, const SkinFileRewrite& job, ScaleContext& bitmaps,
                     std::size_t* lines_written, std::string* err) {
  SkinFileEvents events;
  events.progress = [&observer](std::size_t line, std::size_t count) {
    observer.SetProgress(static_cast<float>(
        std::min(100.0, 100.0 / static_cast<double>(count) * static_cast<double>(line))));
  };
  events.kept_value = [&bitmaps](std::size_t line, std::string text) {
    bitmaps.warnings.push_back({line, std::move(text)});
  };
  events.bitmap = [&bitmaps](std::string_view value, std::size_t line, bool background,
                             std::string* why) {
    return ScaleBitmap(bitmaps, value, line, background, why);
  };
  return WriteRewrittenSkinFile(bitmaps.fs, job, events, lines_written, err);
}

}  // namespace

std::string NewSize::FolderName() const {
  return std::to_string(width) + "x" + std::to_string(height);
}

std::optional<NewSize> ReadNewSize(const RunRequest& request) {
  std::optional<std::int32_t> width = ReadSize(request.new_width_text, request.decimal_separator);
  std::optional<std::int32_t> height = ReadSize(request.new_height_text, request.decimal_separator);
  if (!width || !height || *width < kMinimumWidth || *height < kMinimumHeight) return std::nullopt;
  return NewSize{*width, *height};
}

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
  const std::optional<NewSize> size = ReadNewSize(in);
  if (!size) {
    result.outcome = RunOutcome::kInvalidResolution;
    result.message_kind = MessageKind::kInvalidResolution;
    result.message = kInvalidResolutionText;
    return result;
  }

  observer_.EnterBusy();
  busy_ = true;
  const fs::path skin_folder = FindEntry(fs_, in.skins_path, in.skin);
  const fs::path base_folder = FindEntry(fs_, skin_folder, PathFromUtf8(in.base.name));
  const std::string new_name = size->FolderName();
  const StagedFolder folders = StagedFolderFor(skin_folder, new_name);
  result.new_folder = folders.target;

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
                  held_elsewhere ? RunBusyText(fs_, skin_folder, in.skin, new_name) : err);
  }
  staging_ = folders.staging;
  // What a run that died left is repaired first, so that the question below
  // sees the old folder where it belongs.
  if (!RecoverLeftovers(fs_, folders, &err)) return Fail(result, err);

  const bool replace = fs_.Stat(folders.target) != EntryKind::kMissing;
  if (replace && !in.auto_mode && !AskToReplace()) {
    return Refuse(result, RunOutcome::kReplaceDeclined, "");
  }
  // A read-only old folder is found now, not after minutes of work.
  if ((replace && !fs_.CheckRemovable(folders.target, &err)) ||
      !Build(in, *size, base_folder, folders, replace, &result, &err)) {
    return Fail(result, err);
  }
  observer_.EnterIdle();
  result.outcome = RunOutcome::kSucceeded;
  result.message_kind = MessageKind::kSuccess;
  result.message = kSuccessText;
  return result;
}

// The lock stays held while the question is open, the question being part of
// the run; a second run on the folder learns that this one asks, not that it
// converts.
bool ConversionRun::AskToReplace() {
  SetRunPhase(*lock_, RunPhase::kAskingToReplace);
  if (!observer_.ConfirmReplace(kReplaceQuestionText)) return false;
  SetRunPhase(*lock_, RunPhase::kConverting);
  return true;
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

bool ConversionRun::Build(const RunRequest& in, NewSize size, const fs::path& base_folder,
                          const StagedFolder& folders, bool replace, RunResult* result,
                          std::string* err) {
  fs::path source_file;
  if (!FindSkinFileToRead(fs_, base_folder, &source_file, err)) return false;
  std::size_t line_count = 0;
  if (!CountLines(fs_, source_file, &line_count, err)) return false;
  if (!CreatePath(fs_, folders.staging, err)) return false;

  const ConversionFactors factors = FactorsFor(in, size);
  ScaleContext bitmaps{fs_,
                       base_folder,
                       folders.staging,
                       factors,
                       options_.filter,
                       options_.twips_per_pixel_x,
                       options_.twips_per_pixel_y,
                       CanvasFor(in, size, factors),
                       in.base.width,
                       in.base.height};
  const SkinFileRewrite job{source_file, folders.staging / PathFromUtf8(kSkinFileName), line_count,
                            factors, in.decimal_separator};
  if (!RewriteSkinFile(observer_, job, bitmaps, &result->lines_written, err)) return false;

  for (std::string_view arrow : kArrowBitmaps) {
    if (FileExists(fs_, FindEntry(fs_, base_folder, PathFromUtf8(arrow))) &&
        !ScaleBitmap(bitmaps, arrow, 0, false, err)) {
      return false;
    }
  }
  result->bitmaps_scaled = bitmaps.scaled;
  result->bitmaps_copied = bitmaps.copied;
  result->warnings = std::move(bitmaps.warnings);
  return SwapIn(fs_, folders, replace, &result->warnings, err);
}

}  // namespace fendrix

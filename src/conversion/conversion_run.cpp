#include "conversion/conversion_run.h"

#include <array>
#include <optional>

#include "conversion/cipher.h"
#include "conversion/line_rewriter.h"
#include "conversion/scaler.h"
#include "support/file_helpers.h"
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

}  // namespace

ConversionRun::ConversionRun(FileSystem& fs, RunPort& port, RunOptions options)
    : fs_(fs), port_(port), options_(options) {}

RunResult ConversionRun::Execute() {
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
  std::string written;
  written.reserve(source.size() + source.size() / 8);
  LineReader reader(source);
  std::size_t number = 0;
  std::string line;
  for (std::string_view stored; reader.Next(&stored);) {
    ++number;
    port_.SetProgress(
        static_cast<float>(100.0 / static_cast<double>(line_count) * static_cast<double>(number)));
    line.assign(stored);
    CryptLine(line, kSkinKey);
    RewrittenLine rewritten = RewriteLine(line, factors_, in.decimal_separator);
    if (!rewritten.line) continue;
    if (!rewritten.warning.empty()) bitmaps.warnings.push_back({number, rewritten.warning});
    if (rewritten.names_bitmap && !ScaleBitmap(bitmaps, rewritten.bitmap, number, &err)) {
      return fail(err);
    }
    CryptLine(*rewritten.line, kSkinKey);
    written += *rewritten.line;
    written += kLineEnd;
    ++result.lines_written;
  }
  // A skin file without a single line is not written at all.
  if (result.lines_written > 0 &&
      !fs_.WriteFile(staging / PathFromUtf8(kSkinFileName), written, &err)) {
    return fail(err);
  }

  for (std::string_view arrow : kArrowBitmaps) {
    if (FileExists(fs_, FindEntry(fs_, base_folder, PathFromUtf8(arrow))) &&
        !ScaleBitmap(bitmaps, arrow, 0, &err)) {
      return fail(err);
    }
  }

  // The swap: the old folder steps aside, the new one takes its name, and
  // only then is the old one removed. If the second step fails, the old
  // folder goes back.
  if (replace) {
    const fs::path retired = RetiredFolder(skin_folder, new_name);
    if (!fs_.RemoveTree(retired, &err) || !fs_.Rename(new_folder, retired, &err)) return fail(err);
    if (!fs_.Rename(staging, new_folder, &err)) {
      std::string restore_err;
      if (!fs_.Rename(retired, new_folder, &restore_err)) {
        err += "; der alte Ordner liegt unter " + DisplayPath(retired);
      }
      return fail(err);
    }
    if (!fs_.RemoveTree(retired, &err)) {
      bitmaps.warnings.push_back({0, "Alter Ordner konnte nicht entfernt werden: " + err});
    }
  } else if (!fs_.Rename(staging, new_folder, &err)) {
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

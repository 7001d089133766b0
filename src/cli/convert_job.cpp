#include "cli/convert_job.h"

#include <iomanip>
#include <optional>
#include <ostream>
#include <sstream>

#include "conversion/run/conversion_run.h"
#include "support/file_helpers.h"
#include "support/path_text.h"
#include "support/strings.h"

namespace fendrix {
namespace {

// The command line's side of a run: no window, no question (--yes answers
// it), a progress bar when asked.
class CliObserver : public RunObserver {
 public:
  CliObserver(bool yes, std::ostream* progress) : yes_(yes), progress_(progress) {}

  void EnterBusy() override {}
  void EnterIdle() override {
    if (progress_ && last_percent_ >= 0)
      *progress_ << "\r" << std::string(52, ' ') << "\r" << std::flush;
  }
  // Called for every line of the skin file, so the bar is drawn only when
  // its whole percent changes, and out of the way of that test.
  void SetProgress(float percent) override {
    const int whole = static_cast<int>(percent);
    if (whole != last_percent_) DrawProgress(whole);
  }
  bool ConfirmReplace(std::string_view) override { return yes_; }

 private:
  [[gnu::cold, gnu::noinline]] void DrawProgress(int whole) {
    last_percent_ = whole;
    if (!progress_) return;
    const int filled = whole * 40 / 100;
    *progress_ << "\r[" << std::string(filled, '#') << std::string(40 - filled, ' ') << "] "
               << std::setw(3) << whole << " %" << std::flush;
  }

  bool yes_;
  std::ostream* progress_;
  int last_percent_ = -1;
};

std::string Seconds(std::chrono::steady_clock::duration elapsed) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(2) << std::chrono::duration<double>(elapsed).count()
       << " s";
  return text.str();
}

JobReport Failed(int code, std::string error) {
  JobReport report;
  report.exit_code = code;
  report.error = std::move(error);
  return report;
}

}  // namespace

JobReport RunConvertJob(FileSystem& fs, const ConvertJob& job, const CliEnvironment& env,
                        std::ostream* progress) {
  const std::filesystem::path skin_folder = FindEntry(fs, job.skins, PathFromUtf8(job.skin));
  if (!FolderExists(fs, skin_folder)) {
    return Failed(kExitFailure, "Skin nicht gefunden: " + DisplayPath(skin_folder));
  }

  RunRequest request;
  request.skins_path = job.skins;
  request.skin = skin_folder.filename();
  request.decimal_separator = env.decimal_separator;
  request.new_width_text = GetField(job.resolution, 1, "x");
  request.new_height_text = GetField(job.resolution, 2, "x");
  if (!job.from.empty()) {
    std::optional<BaseResolution> from = ParseResolutionName(job.from, env.decimal_separator);
    if (!from) return Failed(kExitUsage, "keine gültige Basis-Auflösung: " + job.from);
    request.base = *from;
  } else if (auto highest =
                 GetHighestBaseResolution(fs, job.skins, request.skin, env.decimal_separator)) {
    request.base = *highest;
  } else {
    return Failed(kExitFailure, "der Skin hat keinen Auflösungsordner mit " +
                                    std::string(kSkinFileName) + ": " + DisplayPath(skin_folder));
  }

  CliObserver observer(job.yes, progress);
  RunOptions options;
  options.filter = job.smooth ? StretchFilter::kSmooth : StretchFilter::kNearest;
  ConversionRun run(fs, observer, options);
  RunResult result = run.Execute(request);

  JobReport report;
  for (const RunWarning& warning : result.warnings) {
    report.warnings.push_back((warning.line ? "Zeile " + std::to_string(warning.line) + ": " : "") +
                              warning.text);
  }
  switch (result.outcome) {
    case RunOutcome::kSucceeded:
      report.exit_code = kExitSuccess;
      report.summary = DisplayPath(result.new_folder) + ": " +
                       std::to_string(result.lines_written) + " Zeilen, " +
                       std::to_string(result.bitmaps_scaled) + " Bilder skaliert, " +
                       std::to_string(result.bitmaps_copied) + " kopiert, " +
                       std::to_string(result.warnings.size()) + " Warnungen, " +
                       Seconds(result.elapsed) + " (aus " + request.base.name + ")";
      return report;
    case RunOutcome::kInvalidResolution:
      return Failed(kExitInvalidResolution, result.message + ": " + job.resolution);
    case RunOutcome::kReplaceDeclined:
      return Failed(kExitTargetExists,
                    "der Ordner existiert bereits und bleibt (mit --yes ersetzen): " +
                        DisplayPath(result.new_folder));
    case RunOutcome::kSameAsBase:
    case RunOutcome::kFailed:
      break;
  }
  return Failed(kExitFailure, result.message);
}

}  // namespace fendrix

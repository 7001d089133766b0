#include <cstdio>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "cli/commands.h"
#include "conversion/conversion_run.h"
#include "support/file_helpers.h"
#include "support/path_text.h"
#include "support/strings.h"

namespace fendrix {
namespace {

// The command line's side of a run: no window, no question (--yes answers
// it), a progress bar on a terminal, messages kept for the exit.
class CliPort : public RunPort {
 public:
  CliPort(RunInputs inputs, const ConvertOptions& options, bool progress, std::ostream& err)
      : inputs_(std::move(inputs)), options_(options), progress_(progress), err_(err) {}

  RunInputs ReadInputs() override { return inputs_; }
  void EnterBusy() override {}
  void EnterIdle() override {
    if (drawn_) err_ << "\r" << std::string(60, ' ') << "\r" << std::flush;
    drawn_ = false;
  }
  void SetProgress(float percent) override {
    if (!progress_) return;
    int whole = static_cast<int>(percent);
    if (whole == last_percent_) return;
    last_percent_ = whole;
    int filled = whole * 40 / 100;
    err_ << "\r[" << std::string(filled, '#') << std::string(40 - filled, ' ') << "] "
         << std::setw(3) << whole << " %" << std::flush;
    drawn_ = true;
  }
  bool ConfirmReplace(std::string_view) override { return options_.yes; }
  void ShowMessage(MessageKind kind, std::string_view text) override {
    if (kind != MessageKind::kSuccess) message_ = std::string(text);
  }
  void ReportWarnings(const std::vector<RunWarning>& warnings) override {
    if (options_.quiet) return;
    for (const RunWarning& warning : warnings) {
      err_ << "skinconv: Warnung: ";
      if (warning.line) err_ << "Zeile " << warning.line << ": ";
      err_ << warning.text << "\n";
    }
  }

  const std::string& message() const { return message_; }

 private:
  RunInputs inputs_;
  const ConvertOptions& options_;
  bool progress_;
  std::ostream& err_;
  std::string message_;
  int last_percent_ = -1;
  bool drawn_ = false;
};

std::string Seconds(std::chrono::steady_clock::duration elapsed) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(2)
       << std::chrono::duration<double>(elapsed).count() << " s";
  return text.str();
}

}  // namespace

int ConvertCommand(const std::filesystem::path& skins, const ConvertOptions& options,
                   const CliEnvironment& env, std::ostream& out, std::ostream& err) {
  RealFileSystem fs;
  const std::filesystem::path skin_folder = FindEntry(fs, skins, PathFromUtf8(options.skin));
  if (!FolderExists(fs, skin_folder)) {
    err << "skinconv: Skin nicht gefunden: " << DisplayPath(skin_folder) << "\n";
    return kExitFailure;
  }

  RunInputs inputs;
  inputs.skins_path = skins;
  inputs.skin = skin_folder.filename();
  inputs.decimal_separator = env.decimal_separator;
  inputs.new_width_text = GetField(options.resolution, 1, "x");
  inputs.new_height_text = GetField(options.resolution, 2, "x");
  if (!options.from.empty()) {
    std::optional<BaseResolution> from = ParseResolutionName(options.from, env.decimal_separator);
    if (!from) {
      err << "skinconv: keine gültige Basis-Auflösung: " << options.from << "\n";
      return kExitUsage;
    }
    inputs.base = *from;
  } else if (auto highest = GetHighestBaseResolution(fs, skins, inputs.skin, env.decimal_separator)) {
    inputs.base = *highest;
  } else {
    err << "skinconv: der Skin hat keinen Auflösungsordner mit " << kSkinFileName << ": "
        << DisplayPath(skin_folder) << "\n";
    return kExitFailure;
  }

  CliPort port(inputs, options, env.progress_terminal && !options.quiet, err);
  RunOptions run_options;
  run_options.filter = options.smooth ? StretchFilter::kSmooth : StretchFilter::kNearest;
  ConversionRun run(fs, port, run_options);
  RunResult result = run.Execute();

  switch (result.outcome) {
    case RunOutcome::kSucceeded:
      if (!options.quiet) {
        out << DisplayPath(result.new_folder) << ": " << result.lines_written << " Zeilen, "
            << result.bitmaps_scaled << " Bilder skaliert, " << result.bitmaps_copied
            << " kopiert, " << result.warnings.size() << " Warnungen, " << Seconds(result.elapsed)
            << " (aus " << inputs.base.name << ")\n";
      }
      return kExitSuccess;
    case RunOutcome::kInvalidResolution:
      err << "skinconv: " << port.message() << ": " << options.resolution << "\n";
      return kExitInvalidResolution;
    case RunOutcome::kReplaceDeclined:
      err << "skinconv: der Ordner existiert bereits und bleibt (mit --yes ersetzen): "
          << DisplayPath(result.new_folder) << "\n";
      return kExitTargetExists;
    case RunOutcome::kSameAsBase:
    case RunOutcome::kFailed:
      err << "skinconv: " << port.message() << "\n";
      return kExitFailure;
  }
  return kExitFailure;
}

}  // namespace fendrix

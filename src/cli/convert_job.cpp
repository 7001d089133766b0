#include "cli/convert_job.h"

#include <algorithm>
#include <iomanip>
#include <optional>
#include <ostream>
#include <span>
#include <sstream>

#include "cli/counted.h"
#include "cli/resolution_argument.h"
#include "conversion/imaging/bmp_codec.h"
#include "conversion/run/conversion_run.h"
#include "repository/skin_repository.h"
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

// The request for `job`; false, with `failure` filled in, when the job names
// no skin or no base to convert from.
bool MakeRequest(FileSystem& fs, const ConvertJob& job, const CliEnvironment& env,
                 RunRequest* request, JobReport* failure) {
  std::filesystem::path skin_folder;
  std::string err;
  if (!FindSkinFolder(fs, job.skins, PathFromUtf8(job.skin), &skin_folder, &err)) {
    *failure = Failed(kExitFailure, std::move(err));
    return false;
  }
  request->skins_path = job.skins;
  request->skin = skin_folder.filename();
  request->decimal_separator = env.decimal_separator;
  request->fit = job.fit;
  request->bar_colour = job.bar_colour;
  request->new_width_text = GetField(job.resolution, 1, "x");
  request->new_height_text = GetField(job.resolution, 2, "x");
  return ChooseBase(fs, skin_folder, job.from, env.decimal_separator, &request->base, failure);
}

// The size a BMP file's header gives, read from its first bytes only.
void ReadBmpFileSize(FileSystem& fs, const std::filesystem::path& path, WrittenFile* file) {
  std::string ignored;
  std::unique_ptr<FileReader> reader = fs.OpenForReading(path, &ignored);
  char head[kBmpSizeBytes];
  std::size_t have = 0;
  for (std::size_t got = 1; reader && have < sizeof head && got > 0; have += got) {
    if (!reader->Read(head + have, sizeof head - have, &got, &ignored)) return;
  }
  std::int64_t width, height;
  if (ReadBmpSize({reinterpret_cast<const std::uint8_t*>(head), have}, &width, &height)) {
    file->width = static_cast<std::int32_t>(width);
    file->height = static_cast<std::int32_t>(height);
  }
}

// The files of the new folder, each picture with its size as its header
// gives it.
std::vector<WrittenFile> WrittenFiles(FileSystem& fs, const std::filesystem::path& folder) {
  std::vector<WrittenFile> files;
  std::vector<DirectoryEntry> entries;
  std::string ignored;
  if (!fs.ListDirectory(folder, &entries, &ignored)) return files;
  for (const DirectoryEntry& entry : entries) {
    WrittenFile file{entry.name};
    if (!entry.is_directory) ReadBmpFileSize(fs, folder / entry.name, &file);
    files.push_back(std::move(file));
  }
  // The same order in memory and on any disk.
  std::sort(files.begin(), files.end(),
            [](const WrittenFile& a, const WrittenFile& b) { return a.name < b.name; });
  return files;
}

JobReport Report(const ConvertJob& job, const RunRequest& request, const RunResult& result) {
  JobReport report;
  report.outcome = result.outcome;
  report.new_folder = result.new_folder;
  report.lines_written = result.lines_written;
  report.warnings = result.warnings;
  switch (result.outcome) {
    case RunOutcome::kSucceeded:
      report.exit_code = kExitSuccess;
      report.summary = DisplayPath(result.new_folder) + ": " +
                       Counted(result.lines_written, "Zeile", "Zeilen") + ", " +
                       Counted(result.bitmaps_scaled, "Bild", "Bilder") + " skaliert, " +
                       std::to_string(result.bitmaps_copied) + " kopiert, " +
                       Counted(result.warnings.size(), "Warnung", "Warnungen") + ", " +
                       Seconds(result.elapsed) + " (aus " + request.base.name + ")" +
                       (job.dry_run ? ", Probelauf: nichts geschrieben" : "");
      return report;
    case RunOutcome::kInvalidResolution:
      report.exit_code = kExitInvalidResolution;
      report.error = InvalidResolutionText(job.resolution);
      return report;
    case RunOutcome::kReplaceDeclined:
      report.exit_code = kExitTargetExists;
      report.error = "der Ordner existiert bereits und bleibt (mit --yes ersetzen): " +
                     DisplayPath(result.new_folder);
      return report;
    case RunOutcome::kSameAsBase:
    case RunOutcome::kFailed:
      break;
  }
  report.error = result.message;
  return report;
}

}  // namespace

bool ChooseBase(FileSystem& fs, const std::filesystem::path& skin_folder,
                const std::optional<BaseResolution>& from, char decimal_separator,
                BaseResolution* base, JobReport* failure) {
  if (from) {
    if (HoldsSkinFile(fs, FindEntry(fs, skin_folder, PathFromUtf8(from->name)))) {
      *base = *from;
      return true;
    }
    *failure = Failed(kExitFailure, "der Skin hat keinen Auflösungsordner " + from->name + " mit " +
                                        std::string(kSkinFileName) +
                                        " (--from): " + DisplayPath(skin_folder));
    return false;
  }
  if (auto highest = GetHighestBaseResolution(fs, skin_folder.parent_path(), skin_folder.filename(),
                                              decimal_separator)) {
    *base = *highest;
    return true;
  }
  *failure = Failed(kExitFailure, "der Skin hat keinen Auflösungsordner mit " +
                                      std::string(kSkinFileName) + ": " + DisplayPath(skin_folder));
  return false;
}

JobReport RunConvertJob(FileSystem& fs, const ConvertJob& job, const CliEnvironment& env,
                        std::ostream* progress) {
  OverlayFileSystem dry_run(fs);
  return RunConvertJob(fs, job, env, progress, &dry_run);
}

JobReport RunConvertJob(FileSystem& fs, const ConvertJob& job, const CliEnvironment& env,
                        std::ostream* progress, OverlayFileSystem* dry_run_files) {
  RunRequest request;
  JobReport failure;
  if (!MakeRequest(fs, job, env, &request, &failure)) return failure;

  FileSystem& files = job.dry_run ? static_cast<FileSystem&>(*dry_run_files) : fs;

  CliObserver observer(job.yes, progress);
  RunOptions options;
  options.filter = job.smooth ? StretchFilter::kSmooth : StretchFilter::kNearest;
  ConversionRun run(files, observer, options);
  const RunResult result = run.Execute(request);
  JobReport report = Report(job, request, result);
  if (job.report_files && result.outcome == RunOutcome::kSucceeded)
    report.files = WrittenFiles(files, result.new_folder);
  return report;
}

}  // namespace fendrix

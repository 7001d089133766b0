#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "conversion/imaging/stretch.h"
#include "conversion/run/run_observer.h"
#include "conversion/run/run_request.h"
#include "conversion/run/run_result.h"
#include "support/file_system.h"

namespace fendrix {

struct StagedFolder;

inline constexpr std::string_view kInvalidResolutionText = "Keine gültige Auflösung angegeben";
inline constexpr std::string_view kReplaceQuestionText =
    "Ein Skinverzeichnis für diese Auflösung existiert bereits, soll dieses ersetzt werden?";
inline constexpr std::string_view kSuccessText = "Der Skin wurde erfolgreich umgewandelt!";
inline constexpr std::string_view kNoSkinText =
    "Kein Skin ausgewählt. Bitte zuerst einen Skin wählen.";
inline constexpr std::string_view kSameAsBaseText =
    "Die neue Auflösung ist die Basis-Auflösung des Skins. Bitte eine andere Auflösung angeben.";

/// The size a run converts to.
struct NewSize {
  std::int32_t width;
  std::int32_t height;
  /// The folder the run writes: "800x600".
  std::string FolderName() const;
};

/// The size `request` asks for, its texts read as the run reads them ("800,4"
/// and "600" give 800x600); nothing when they give no size, or one smaller
/// than a skin is made for, which the run refuses.
std::optional<NewSize> ReadNewSize(const RunRequest& request);

/// Settings of a run that its caller fixes once.
struct RunOptions {
  StretchFilter filter = StretchFilter::kNearest;
  /// The screen's twips per pixel (1440 / dots per inch); 15 at 96 dpi.
  float twips_per_pixel_x = 15;
  float twips_per_pixel_y = 15;
};

/// Converts one skin from its base resolution folder to a new one.
///
/// The new folder is built in a staging folder beside it and swapped in only
/// when complete and on the disk; an existing folder is replaced only after
/// the caller said Yes (or in automatic mode), and only by a complete new
/// one. A run holds a lock on the folder it builds from start to end, so a
/// second run on the same skin and resolution is refused at once, and it
/// first repairs what a run that died there left. On any failure the staging
/// folder is removed and the disk holds the old state. Every outcome comes
/// back as a result with its message; the observer only sees the run work.
/// The base folder is only ever read.
class ConversionRun {
 public:
  ConversionRun(FileSystem& fs, RunObserver& observer, RunOptions options = {});

  /// Runs once from the request to the end. An exception (memory running
  /// out, say) ends the run as a failure too, with the observer idle.
  RunResult Execute(const RunRequest& request);

 private:
  RunResult Run(const RunRequest& in);
  // Asks the caller whether the existing new folder may go; true for Yes.
  bool AskToReplace();
  // Ends the run with `outcome` and, unless empty, `message` as an error.
  RunResult Refuse(RunResult& result, RunOutcome outcome, std::string message);
  // Ends the run as failed, with the staging folder removed.
  RunResult Fail(RunResult& result, std::string message);
  // Writes the new folder into staging and swaps it in.
  bool Build(const RunRequest& in, NewSize size, const std::filesystem::path& base_folder,
             const StagedFolder& folders, bool replace, RunResult* result, std::string* err);

  FileSystem& fs_;
  RunObserver& observer_;
  RunOptions options_;
  // How far Run got, for the clean-up after an exception.
  bool busy_ = false;
  std::filesystem::path staging_;
  // The lock on the folder being built; released after the clean-up.
  std::unique_ptr<FileLock> lock_;
};

}  // namespace fendrix

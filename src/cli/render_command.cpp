#include <optional>
#include <ostream>

#include "cli/commands.h"
#include "cli/dry_run.h"
#include "cli/layout_of_folder.h"
#include "cli/layout_png.h"
#include "conversion/run/conversion_run.h"
#include "repository/skin_repository.h"
#include "support/file_helpers.h"
#include "support/memory_file_system.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

// Nobody answers while a layout is drawn.
class SilentObserver : public RunObserver {
 public:
  void EnterBusy() override {}
  void EnterIdle() override {}
  void SetProgress(float) override {}
  bool ConfirmReplace(std::string_view) override { return true; }
};

// What a conversion from the skin's highest base would write, converted on a
// copy in memory; the disk keeps what it had.
bool LayoutOfConversion(FileSystem& fs, const RenderOptions& options, const BaseResolution& screen,
                        const CliEnvironment& env, LayoutDrawing* drawing, std::string* err) {
  const std::optional<BaseResolution> base = GetHighestBaseResolution(
      fs, options.skins, PathFromUtf8(options.skin), env.decimal_separator);
  if (!base) {
    *err = "der Skin hat keinen Auflösungsordner mit " + std::string(kSkinFileName);
    return false;
  }
  MemoryFileSystem memory;
  if (!LoadForDryRun(fs, options.skins, PathFromUtf8(options.skin), base->name, screen.name,
                     &memory, err)) {
    return false;
  }
  RunRequest request{.new_width_text = std::to_string(screen.width),
                     .new_height_text = std::to_string(screen.height),
                     .skins_path = options.skins,
                     .skin = FindEntry(fs, options.skins, PathFromUtf8(options.skin)).filename(),
                     .base = *base,
                     .decimal_separator = env.decimal_separator,
                     .auto_mode = true,
                     .fit = options.fit,
                     .bar_colour = options.bar_colour};
  SilentObserver observer;
  const RunResult result = ConversionRun(memory, observer).Execute(request);
  if (result.outcome != RunOutcome::kSucceeded) {
    *err = result.message;
    return false;
  }
  return LayoutOfFolder(memory, result.new_folder, screen.width, screen.height,
                        env.decimal_separator, drawing, err);
}

}  // namespace

int RenderCommand(FileSystem& fs, const RenderOptions& options, const CliEnvironment& env,
                  std::ostream& out, std::ostream& err) {
  const std::filesystem::path skin = PathFromUtf8(options.skin);
  const std::filesystem::path skin_folder = FindEntry(fs, options.skins, skin);
  if (skin != skin.filename() || skin == "." || skin == ".." || !FolderExists(fs, skin_folder)) {
    err << "skinconv: Skin nicht gefunden: " << DisplayPath(skin_folder) << "\n";
    return kExitFailure;
  }
  const std::optional<BaseResolution> screen =
      ParseResolutionName(options.resolution, env.decimal_separator);
  if (!screen) {
    err << "skinconv: keine gültige Auflösung: " << options.resolution << "\n";
    return kExitUsage;
  }

  LayoutDrawing drawing;
  std::string png, error;
  const std::filesystem::path folder = FindEntry(fs, skin_folder, PathFromUtf8(screen->name));
  const bool drawn = FolderExists(fs, folder)
                         ? LayoutOfFolder(fs, folder, screen->width, screen->height,
                                          env.decimal_separator, &drawing, &error)
                         : LayoutOfConversion(fs, options, *screen, env, &drawing, &error);
  if (!drawn || !DrawLayoutPng(drawing, &png, &error) ||
      !fs.WriteFile(options.output, png, &error)) {
    err << "skinconv: " << error << "\n";
    return kExitFailure;
  }
  out << DisplayPath(options.output) << ": " << screen->width << " x " << screen->height << ", "
      << drawing.boxes.size() << " Elemente\n";
  return kExitSuccess;
}

}  // namespace fendrix

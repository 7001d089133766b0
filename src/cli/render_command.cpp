#include <optional>
#include <ostream>

#include "cli/commands.h"
#include "cli/convert_job.h"
#include "cli/layout_of_folder.h"
#include "cli/layout_png.h"
#include "repository/skin_repository.h"
#include "support/file_helpers.h"
#include "support/memory_file_system.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

// What a conversion from the skin's highest base would write, converted on a
// copy in memory; the disk keeps what it had.
bool LayoutOfConversion(FileSystem& fs, const RenderOptions& options, const BaseResolution& screen,
                        const CliEnvironment& env, LayoutDrawing* drawing, std::string* err) {
  ConvertJob job{.skins = options.skins,
                 .skin = options.skin,
                 .resolution = options.resolution,
                 .yes = true,
                 .dry_run = true,
                 .fit = options.fit,
                 .bar_colour = options.bar_colour};
  MemoryFileSystem memory;
  const JobReport report = RunConvertJob(fs, job, env, nullptr, &memory);
  if (report.exit_code != kExitSuccess) {
    *err = report.error;
    return false;
  }
  return LayoutOfFolder(memory, report.new_folder, screen.width, screen.height,
                        env.decimal_separator, drawing, err);
}

}  // namespace

int RenderCommand(FileSystem& fs, const RenderOptions& options, const CliEnvironment& env,
                  std::ostream& out, std::ostream& err) {
  std::filesystem::path skin_folder;
  std::string error;
  if (!FindSkinFolder(fs, options.skins, PathFromUtf8(options.skin), &skin_folder, &error)) {
    err << "skinconv: " << error << "\n";
    return kExitFailure;
  }
  const std::optional<BaseResolution> screen =
      ParseResolutionName(options.resolution, env.decimal_separator);
  if (!screen) {
    err << "skinconv: keine gültige Auflösung: " << options.resolution << "\n";
    return kExitUsage;
  }

  LayoutDrawing drawing;
  std::string png;
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

#include <optional>
#include <ostream>

#include "cli/commands.h"
#include "cli/convert_job.h"
#include "cli/counted.h"
#include "cli/layout_of_folder.h"
#include "cli/layout_png.h"
#include "cli/skin_findings.h"
#include "repository/skin_repository.h"
#include "support/file_helpers.h"
#include "support/overlay_file_system.h"
#include "support/path_text.h"

namespace fendrix {
namespace {

// What a conversion from the skin's highest base would write, converted in
// an overlay of the disk; the disk keeps what it had. The exit code, with
// `err`.
int LayoutOfConversion(FileSystem& fs, const RenderOptions& options, const CliEnvironment& env,
                       LayoutDrawing* drawing, std::string* err) {
  ConvertJob job{.skins = options.skins,
                 .skin = options.skin,
                 .resolution = options.screen.name,
                 .yes = true,
                 .dry_run = true,
                 .fit = options.fit,
                 .bar_colour = options.bar_colour};
  OverlayFileSystem overlay(fs);
  const JobReport report = RunConvertJob(fs, job, env, nullptr, &overlay);
  if (report.exit_code != kExitSuccess) {
    *err = report.error;
    return report.exit_code;
  }
  return LayoutOfFolder(overlay, report.new_folder, options.screen.width, options.screen.height,
                        env.decimal_separator, drawing, err)
             ? kExitSuccess
             : kExitFailure;
}

// The layout to draw: the folder as it stands, or a conversion in memory.
int DrawnLayout(FileSystem& fs, const RenderOptions& options, const CliEnvironment& env,
                LayoutDrawing* drawing, std::string* err) {
  std::filesystem::path skin_folder;
  if (!FindSkinFolder(fs, options.skins, PathFromUtf8(options.skin), &skin_folder, err)) {
    return kExitFailure;
  }
  const std::filesystem::path folder =
      FindEntry(fs, skin_folder, PathFromUtf8(options.screen.name));
  if (!FolderExists(fs, folder)) return LayoutOfConversion(fs, options, env, drawing, err);
  if (options.fit_given) {
    *err = "--fit wirkt nur auf eine Umwandlung im Speicher; den Ordner " + options.screen.name +
           " gibt es schon, er wird gezeichnet, wie er ist (ohne --fit aufrufen): " +
           DisplayPath(folder);
    return kExitUsage;
  }
  return LayoutOfFolder(fs, folder, options.screen.width, options.screen.height,
                        env.decimal_separator, drawing, err)
             ? kExitSuccess
             : kExitFailure;
}

}  // namespace

int RenderCommand(FileSystem& fs, const RenderOptions& options, const CliEnvironment& env,
                  std::ostream& out, std::ostream& err) {
  LayoutDrawing drawing;
  SkinFindings checked;
  std::string error, png;
  int code = DrawnLayout(fs, options, env, &drawing, &error);
  if (code == kExitSuccess) {
    code = FindSkinFindings(fs, {options.skins, options.skin, options.screen, options.fit},
                            env.decimal_separator, &checked, &error);
  }
  if (code == kExitSuccess) {
    MarkFindings(checked.findings, checked.resolution.name, &drawing);
    if (!DrawLayoutPng(drawing, &png, &error) || !fs.WriteFile(options.output, png, &error)) {
      code = kExitFailure;
    }
  }
  if (code != kExitSuccess) {
    err << "skinconv: " << error << "\n";
    return code;
  }
  out << DisplayPath(options.output) << ": " << options.screen.width << " x "
      << options.screen.height << ", " << Counted(drawing.boxes.size(), "Element", "Elemente")
      << ", " << Counted(checked.findings.size(), "Befund", "Befunde") << "\n";
  return kExitSuccess;
}

}  // namespace fendrix

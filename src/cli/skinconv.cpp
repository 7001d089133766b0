#include "cli/skinconv.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <ostream>
#include <sstream>
#include <thread>

#include "cli/commands.h"
#include "repository/skin_repository.h"
#include "support/path_text.h"
#include "version.h"

namespace fendrix {
namespace {

// The skins folder: as given, else the one beside the program.
bool ChooseSkinsFolder(const std::string& given, const CliEnvironment& env,
                       std::filesystem::path* skins, std::ostream& err) {
  if (!given.empty()) {
    *skins = PathFromUtf8(given);
    return true;
  }
  if (auto beside = DefaultSkinsPath(env.program_folder)) {
    *skins = *beside;
    return true;
  }
  err << "skinconv: kein Skin-Verzeichnis neben dem Programm (" << PathToUtf8(env.program_folder)
      << " endet nicht auf \"Tools\"); bitte --skins DIR angeben\n";
  return false;
}

// Everything the command line can say, filled in by CLI11.
struct Options {
  std::string skins;  // --skins, shared by the commands that read skins
  bool list_json = false;
  std::string decode_file, encode_file, encode_output;
  ConvertJob job;
  std::string filter = "nearest", all, fit = "stretch", bars = "000000";
  bool quiet = false;
  bool convert_json = false;
  unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
  CheckOptions check;
  RenderOptions render;
  std::string render_output;
};

constexpr char kSkinsHelp[] = "Skins folder (default: ..\\Skins beside a Tools folder)";

// --fit and --bars, for the commands that convert.
void AddFitOptions(CLI::App* command, Options* o) {
  command->add_option("--fit", o->fit, "stretch (each axis alone) or keep (proportions, bars)")
      ->check(CLI::IsMember({"stretch", "keep"}));
  command
      ->add_option("--bars", o->bars, "Colour of the bars with --fit keep, RRGGBB (default black)")
      ->check([](const std::string& text) {
        return text.size() == 6 &&
                       text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos
                   ? std::string()
                   : std::string("RRGGBB expected");
      });
}

CLI::App* AddConvertCommand(CLI::App& app, Options* o) {
  auto* convert = app.add_subcommand(
      "convert", "Convert a skin (or with --all every skin) to a new resolution");
  convert->add_option("SKIN", o->job.skin, "Name of the skin folder");
  convert->add_option("RESOLUTION", o->job.resolution, "New resolution, WxH");
  convert->add_option("--all", o->all,
                      "Convert every skin to each of these resolutions, WxH[,WxH...]");
  convert->add_option("--skins", o->skins, kSkinsHelp);
  convert->add_option("--from", o->job.from, "Base resolution WxH (default: the skin's highest)");
  convert->add_option("--jobs", o->jobs, "Conversions at once with --all (default: the cores)")
      ->check(CLI::Range(1u, 64u));
  convert->add_flag("--yes", o->job.yes, "Replace an existing resolution folder");
  convert->add_option("--filter", o->filter, "Resampling: nearest (exact colours) or smooth")
      ->check(CLI::IsMember({"nearest", "smooth"}));
  convert->add_flag("--quiet", o->quiet, "Print nothing but errors");
  convert->add_flag("--json", o->convert_json,
                    "Print the result as JSON (one object a conversion)");
  convert->add_flag("--dry-run", o->job.dry_run, "Run in memory and report, writing nothing");
  AddFitOptions(convert, o);
  return convert;
}

CLI::App* AddCheckCommand(CLI::App& app, Options* o) {
  auto* check = app.add_subcommand(
      "check", "Report what a resolution folder of a skin gets wrong, each with its line");
  check->add_option("SKIN", o->check.skin, "Name of the skin folder")->required();
  check->add_option("RESOLUTION", o->check.resolution,
                    "Resolution folder WxH (default: the skin's highest)");
  check->add_option("--skins", o->skins, kSkinsHelp);
  check->add_flag("--json", o->check.json, "Print JSON");
  return check;
}

CLI::App* AddRenderCommand(CLI::App& app, Options* o) {
  auto* render = app.add_subcommand(
      "render", "Draw a skin's layout at a resolution into a PNG (converted in memory if needed)");
  render->add_option("SKIN", o->render.skin, "Name of the skin folder")->required();
  render->add_option("RESOLUTION", o->render.resolution, "Screen WxH")->required();
  render->add_option("--skins", o->skins, kSkinsHelp);
  render->add_option("-o,--output", o->render_output, "PNG file to write")->required();
  AddFitOptions(render, o);
  return render;
}

FitMode Fit(const Options& o) { return o.fit == "keep" ? FitMode::kKeep : FitMode::kStretch; }
std::uint32_t Bars(const Options& o) {
  return static_cast<std::uint32_t>(std::stoul(o.bars, nullptr, 16));
}

// One skin and one resolution, or --all and a list.
int RunConvert(FileSystem& fs, Options& o, const CliEnvironment& env, std::ostream& out,
               std::ostream& err) {
  ConvertJob& job = o.job;
  const bool batch = !o.all.empty();
  if (batch == !job.resolution.empty() || (batch && !job.skin.empty()) ||
      (batch && !job.from.empty())) {
    err << "skinconv: convert braucht SKIN und AUFLÖSUNG, oder --all AUFLÖSUNGEN ohne SKIN und "
           "--from (skinconv convert --help)\n";
    return kExitUsage;
  }
  if (!ChooseSkinsFolder(o.skins, env, &job.skins, err)) return kExitUsage;
  job.smooth = o.filter == "smooth";
  job.fit = Fit(o);
  job.bar_colour = Bars(o);
  job.report_files = o.convert_json;
  if (!batch) return ConvertCommand(fs, job, o.quiet, o.convert_json, env, out, err);

  BatchOptions options{.each = job, .quiet = o.quiet, .json = o.convert_json, .jobs = o.jobs};
  std::istringstream list_text(o.all);
  for (std::string resolution; std::getline(list_text, resolution, ',');) {
    options.resolutions.push_back(resolution);
  }
  return BatchCommand(fs, options, env, out, err);
}

}  // namespace

int RunSkinconv(FileSystem& fs, const std::vector<std::string>& args, const CliEnvironment& env,
                std::ostream& out, std::ostream& err) {
  CLI::App app{"skinconv: converts jukebox skins to a new screen resolution", "skinconv"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "skinconv " FENDRIX_VERSION_TEXT, "Print the version and exit");
  // On Windows CLI11 would take "/Skins/Demo" for an option; there it is a
  // path from the drive's root, and every option here is spelled "--".
  app.allow_windows_style_options(false);
  Options o;
  auto* list = app.add_subcommand("list", "List the skins and their resolution folders");
  list->add_option("--skins", o.skins, kSkinsHelp);
  list->add_flag("--json", o.list_json, "Print JSON");
  auto* decode = app.add_subcommand("decode", "Print the deciphered lines of a Skin.vsk as UTF-8");
  decode->add_option("FILE", o.decode_file, "Skin.vsk to decipher")->required();
  auto* encode = app.add_subcommand("encode", "Encipher UTF-8 plain lines into a Skin.vsk");
  encode->add_option("FILE", o.encode_file, "Plain text, one line per line feed")->required();
  encode->add_option("-o,--output", o.encode_output, "Skin.vsk to write")->required();
  CLI::App* convert = AddConvertCommand(app, &o);
  CLI::App* check = AddCheckCommand(app, &o);
  AddRenderCommand(app, &o);  // the one left below when no other was asked for

  std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitSuccess;
  } catch (const CLI::CallForAllHelp&) {
    out << app.help("", CLI::AppFormatMode::All);
    return kExitSuccess;
  } catch (const CLI::CallForVersion& version) {
    out << version.what() << "\n";
    return kExitSuccess;
  } catch (const CLI::ParseError& e) {
    err << "skinconv: " << e.what() << " (skinconv --help)\n";
    return kExitUsage;
  }

  if (*decode) return DecodeCommand(fs, PathFromUtf8(o.decode_file), out, err);
  if (*encode) {
    return EncodeCommand(fs, PathFromUtf8(o.encode_file), PathFromUtf8(o.encode_output), err);
  }
  if (*convert) return RunConvert(fs, o, env, out, err);
  std::filesystem::path skins;
  if (!ChooseSkinsFolder(o.skins, env, &skins, err)) return kExitUsage;
  if (*list) return ListCommand(fs, skins, o.list_json, env, out, err);
  if (*check) {
    o.check.skins = skins;
    return CheckCommand(fs, o.check, env, out, err);
  }
  o.render.skins = skins;
  o.render.output = PathFromUtf8(o.render_output);
  o.render.fit = Fit(o);
  o.render.bar_colour = Bars(o);
  return RenderCommand(fs, o.render, env, out, err);
}

}  // namespace fendrix

#include "cli/skinconv.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <ostream>
#include <sstream>
#include <thread>

#include "cli/commands.h"
#include "repository/skin_repository.h"
#include "support/path_text.h"

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

// `skinconv check`, its options given to `options` and `skins`.
CLI::App* AddCheckCommand(CLI::App& app, CheckOptions* options, std::string* skins) {
  auto* check = app.add_subcommand(
      "check", "Report what a resolution folder of a skin gets wrong, each with its line");
  check->add_option("SKIN", options->skin, "Name of the skin folder")->required();
  check->add_option("RESOLUTION", options->resolution,
                    "Resolution folder WxH (default: the skin's highest)");
  check->add_option("--skins", *skins, "Skins folder (default: ..\\Skins beside a Tools folder)");
  check->add_flag("--json", options->json, "Print JSON");
  return check;
}

// `skinconv render`, its options given to `options` and `skins`.
CLI::App* AddRenderCommand(CLI::App& app, RenderOptions* options, std::string* skins,
                           std::string* output) {
  auto* render = app.add_subcommand(
      "render", "Draw a skin's layout at a resolution into a PNG (converted in memory if needed)");
  render->add_option("SKIN", options->skin, "Name of the skin folder")->required();
  render->add_option("RESOLUTION", options->resolution, "Screen WxH")->required();
  render->add_option("--skins", *skins, "Skins folder (default: ..\\Skins beside a Tools folder)");
  render->add_option("-o,--output", *output, "PNG file to write")->required();
  return render;
}

}  // namespace

int RunSkinconv(FileSystem& fs, const std::vector<std::string>& args, const CliEnvironment& env,
                std::ostream& out, std::ostream& err) {
  CLI::App app{"skinconv: converts jukebox skins to a new screen resolution", "skinconv"};
  app.require_subcommand(1);

  std::string skins_option;
  bool json = false;
  auto* list = app.add_subcommand("list", "List the skins and their resolution folders");
  list->add_option("--skins", skins_option,
                   "Skins folder (default: ..\\Skins beside a Tools folder)");
  list->add_flag("--json", json, "Print JSON");

  std::string decode_file;
  auto* decode = app.add_subcommand("decode", "Print the deciphered lines of a Skin.vsk as UTF-8");
  decode->add_option("FILE", decode_file, "Skin.vsk to decipher")->required();

  std::string encode_file, encode_output;
  auto* encode = app.add_subcommand("encode", "Encipher UTF-8 plain lines into a Skin.vsk");
  encode->add_option("FILE", encode_file, "Plain text, one line per line feed")->required();
  encode->add_option("-o,--output", encode_output, "Skin.vsk to write")->required();

  ConvertJob job;
  std::string filter = "nearest", all;
  bool quiet = false;
  unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
  auto* convert = app.add_subcommand(
      "convert", "Convert a skin (or with --all every skin) to a new resolution");
  convert->add_option("SKIN", job.skin, "Name of the skin folder");
  convert->add_option("RESOLUTION", job.resolution, "New resolution, WxH");
  convert->add_option("--all", all,
                      "Convert every skin to each of these resolutions, WxH[,WxH...]");
  convert->add_option("--skins", skins_option,
                      "Skins folder (default: ..\\Skins beside a Tools folder)");
  convert->add_option("--from", job.from, "Base resolution WxH (default: the skin's highest)");
  convert->add_option("--jobs", jobs, "Conversions at once with --all (default: the cores)")
      ->check(CLI::Range(1u, 64u));
  convert->add_flag("--yes", job.yes, "Replace an existing resolution folder");
  convert->add_option("--filter", filter, "Resampling: nearest (exact colours) or smooth")
      ->check(CLI::IsMember({"nearest", "smooth"}));
  convert->add_flag("--quiet", quiet, "Print nothing but errors");
  bool json_result = false;
  convert->add_flag("--json", json_result, "Print the result as JSON (one object a conversion)");
  convert->add_flag("--dry-run", job.dry_run, "Run in memory and report, writing nothing");

  CheckOptions check_options;
  CLI::App* check = AddCheckCommand(app, &check_options, &skins_option);
  RenderOptions render_options;
  std::string render_output;
  CLI::App* render = AddRenderCommand(app, &render_options, &skins_option, &render_output);

  std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitSuccess;
  } catch (const CLI::CallForAllHelp&) {
    out << app.help("", CLI::AppFormatMode::All);
    return kExitSuccess;
  } catch (const CLI::ParseError& e) {
    err << "skinconv: " << e.what() << " (skinconv --help)\n";
    return kExitUsage;
  }

  std::filesystem::path skins;
  if (*list) {
    if (!ChooseSkinsFolder(skins_option, env, &skins, err)) return kExitUsage;
    return ListCommand(fs, skins, json, env, out, err);
  }
  if (*check) {
    if (!ChooseSkinsFolder(skins_option, env, &skins, err)) return kExitUsage;
    check_options.skins = skins;
    return CheckCommand(fs, check_options, env, out, err);
  }
  if (*render) {
    if (!ChooseSkinsFolder(skins_option, env, &skins, err)) return kExitUsage;
    render_options.skins = skins;
    render_options.output = PathFromUtf8(render_output);
    return RenderCommand(fs, render_options, env, out, err);
  }
  if (*decode) return DecodeCommand(fs, PathFromUtf8(decode_file), out, err);
  if (*encode)
    return EncodeCommand(fs, PathFromUtf8(encode_file), PathFromUtf8(encode_output), err);
  // Either one skin and one resolution, or --all and a list.
  bool batch = !all.empty();
  if (batch == !job.resolution.empty() || (batch && !job.skin.empty()) ||
      (batch && !job.from.empty())) {
    err << "skinconv: convert braucht SKIN und AUFLÖSUNG, oder --all AUFLÖSUNGEN ohne SKIN und "
           "--from "
           "(skinconv convert --help)\n";
    return kExitUsage;
  }
  if (!ChooseSkinsFolder(skins_option, env, &skins, err)) return kExitUsage;
  job.skins = skins;
  job.smooth = filter == "smooth";
  if (!batch) return ConvertCommand(fs, job, quiet, json_result, env, out, err);

  BatchOptions options{skins, {}, job.yes, job.smooth, quiet, json_result, job.dry_run, jobs};
  std::istringstream list_text(all);
  for (std::string resolution; std::getline(list_text, resolution, ',');) {
    options.resolutions.push_back(resolution);
  }
  return BatchCommand(fs, options, env, out, err);
}

}  // namespace fendrix

#include "cli/skinconv.h"

#include <CLI/CLI.hpp>
#include <ostream>

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

}  // namespace

int RunSkinconv(const std::vector<std::string>& args, const CliEnvironment& env, std::ostream& out,
                std::ostream& err) {
  CLI::App app{"skinconv: converts jukebox skins to a new screen resolution", "skinconv"};
  app.require_subcommand(1);

  std::string skins_option;
  bool json = false;
  auto* list = app.add_subcommand("list", "List the skins and their resolution folders");
  list->add_option("--skins", skins_option, "Skins folder (default: ..\\Skins beside a Tools folder)");
  list->add_flag("--json", json, "Print JSON");

  std::string decode_file;
  auto* decode = app.add_subcommand("decode", "Print the deciphered lines of a Skin.vsk as UTF-8");
  decode->add_option("FILE", decode_file, "Skin.vsk to decipher")->required();

  std::string encode_file, encode_output;
  auto* encode = app.add_subcommand("encode", "Encipher UTF-8 plain lines into a Skin.vsk");
  encode->add_option("FILE", encode_file, "Plain text, one line per line feed")->required();
  encode->add_option("-o,--output", encode_output, "Skin.vsk to write")->required();

  ConvertOptions convert_options;
  std::string filter = "nearest";
  auto* convert = app.add_subcommand("convert", "Convert a skin to a new resolution");
  convert->add_option("SKIN", convert_options.skin, "Name of the skin folder")->required();
  convert->add_option("RESOLUTION", convert_options.resolution, "New resolution, WxH")->required();
  convert->add_option("--skins", skins_option, "Skins folder (default: ..\\Skins beside a Tools folder)");
  convert->add_option("--from", convert_options.from, "Base resolution WxH (default: the highest)");
  convert->add_flag("--yes", convert_options.yes, "Replace an existing resolution folder");
  convert->add_option("--filter", filter, "Resampling: nearest (exact colours) or smooth")
      ->check(CLI::IsMember({"nearest", "smooth"}));
  convert->add_flag("--quiet", convert_options.quiet, "Print nothing but errors");

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
    return ListCommand(skins, json, env, out, err);
  }
  if (*decode) return DecodeCommand(PathFromUtf8(decode_file), out, err);
  if (*encode) return EncodeCommand(PathFromUtf8(encode_file), PathFromUtf8(encode_output), err);
  if (!ChooseSkinsFolder(skins_option, env, &skins, err)) return kExitUsage;
  convert_options.smooth = filter == "smooth";
  return ConvertCommand(skins, convert_options, env, out, err);
}

}  // namespace fendrix
